#pragma once

#include "platform/Accessibility.h"

#include <map>
#include <memory>
#include <string>

namespace tavlin::platform::sim {

// An in-memory element: each read is answered from a table of attribute values;
// an attribute missing from the table answers with a failure status.
class SimElement : public AXElement {
public:
    static std::shared_ptr<SimElement> make() { return std::make_shared<SimElement>(); }

    SimElement& set(std::string attribute, AXValue value);
    SimElement& setText(std::string attribute, std::string text);
    SimElement& setInteger(std::string attribute, std::int64_t number);
    SimElement& setChildren(std::string attribute, const std::vector<AXElementRef>& children);
    // Answers the attribute with this status and (optionally) a value.
    SimElement& setResult(std::string attribute, AXReadResult result);
    // Forgets every attribute, which also breaks reference cycles between elements.
    void clear();

    AXReadResult copyAttributeValue(std::string_view attribute) const override;
    // How many reads this element has answered.
    std::size_t readCount() const { return reads_; }

private:
    std::map<std::string, AXReadResult, std::less<>> table_;
    mutable std::size_t reads_ = 0;
};

// In-memory accessibility: applications by process id, and a trust flag.
class SimAccessibilityService : public AccessibilityService {
public:
    void addApplication(std::int32_t pid, AXElementRef application);
    void removeApplication(std::int32_t pid);
    void setTrusted(bool trusted) { trusted_ = trusted; }
    // Whether a prompting request grants the permission at once.
    void setGrantOnPrompt(bool grant) { grantOnPrompt_ = grant; }

    AXElementRef createApplication(std::int32_t pid) override;
    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;

    std::size_t createCount() const { return creates_; }
    std::size_t trustQueries() const { return trustQueries_; }
    std::size_t promptRequests() const { return prompts_; }

private:
    std::map<std::int32_t, AXElementRef> applications_;
    bool trusted_ = true;
    bool grantOnPrompt_ = false;
    std::size_t creates_ = 0, trustQueries_ = 0, prompts_ = 0;
};

} // namespace tavlin::platform::sim
