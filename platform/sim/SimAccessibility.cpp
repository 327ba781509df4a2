#include "platform/sim/SimAccessibility.h"

namespace tavlin::platform::sim {

SimElement& SimElement::set(std::string attribute, AXValue value) {
    return setResult(std::move(attribute), AXReadResult{0, std::move(value)});
}

SimElement& SimElement::setText(std::string attribute, std::string text) {
    return set(std::move(attribute), AXValue{std::move(text)});
}

SimElement& SimElement::setInteger(std::string attribute, std::int64_t number) {
    return set(std::move(attribute), AXValue{AXNumber{number}});
}

SimElement& SimElement::setChildren(std::string attribute, const std::vector<AXElementRef>& children) {
    AXValueList list;
    list.reserve(children.size());
    for (const AXElementRef& child : children) list.push_back(AXValue{child});
    return set(std::move(attribute), AXValue{std::move(list)});
}

SimElement& SimElement::setResult(std::string attribute, AXReadResult result) {
    table_.insert_or_assign(std::move(attribute), std::move(result));
    return *this;
}

void SimElement::clear() { table_.clear(); }

AXReadResult SimElement::copyAttributeValue(std::string_view attribute) const {
    ++reads_;
    const auto found = table_.find(attribute);
    if (found == table_.end()) return AXReadResult{AXError::attributeUnsupported, std::nullopt};
    return found->second;
}

void SimAccessibilityService::addApplication(std::int32_t pid, AXElementRef application) {
    applications_.insert_or_assign(pid, std::move(application));
}

void SimAccessibilityService::removeApplication(std::int32_t pid) { applications_.erase(pid); }

AXElementRef SimAccessibilityService::createApplication(std::int32_t pid) {
    ++creates_;
    const auto found = applications_.find(pid);
    if (found != applications_.end()) return found->second;
    // Like the desktop's service: an element for any pid, whose reads all fail.
    return std::make_shared<SimElement>();
}

bool SimAccessibilityService::isProcessTrusted() {
    ++trustQueries_;
    return trusted_;
}

bool SimAccessibilityService::isProcessTrustedWithOptions(bool prompt) {
    ++trustQueries_;
    if (prompt) {
        ++prompts_;
        if (grantOnPrompt_) trusted_ = true;
    }
    return trusted_;
}

} // namespace tavlin::platform::sim
