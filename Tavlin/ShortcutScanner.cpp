#include "Tavlin/ShortcutScanner.h"

#include "Tavlin/KeyNotation.h"
#include "TavlinUI/Text.h"
#include "platform/AXRead.h"

#include <unordered_set>

namespace tavlin {
namespace {

using platform::AXRead;

constexpr std::string_view defaultGroup = "メニュー";

// A menu bar is a tree, but a hostile or broken accessibility tree can hand back the
// same elements over and over (a cycle below a very wide menu). The walk then stops
// after this many children in all, far beyond any real menu bar.
constexpr std::size_t childBudget = 1'000'000;

// A row's identity for dropping repeats: its title and keys in canonical form, kept as
// a pair so that no title can run into the keys.
struct Identity {
    std::string title, keys;
    friend bool operator==(const Identity&, const Identity&) = default;
};
struct IdentityHash {
    std::size_t operator()(const Identity& identity) const {
        const std::size_t h = std::hash<std::string>{}(identity.title);
        return h ^ (std::hash<std::string>{}(identity.keys) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
    }
};

} // namespace

std::vector<ShortcutItem> ShortcutScanner::shortcuts(platform::AccessibilityService& ax, std::int32_t pid) {
    const platform::AXElementRef application = ax.createApplication(pid);
    if (!application) return {};
    const platform::AXElementRef menuBar = AXRead::element(*application, "AXMenuBar");
    if (!menuBar) return {};

    std::vector<ShortcutItem> collected;
    std::size_t childrenLeft = childBudget;
    for (const platform::AXElementRef& topLevel : AXRead::elements(*menuBar, "AXChildren")) {
        const std::string group = AXRead::text(*topLevel, "AXTitle").value_or(std::string(defaultGroup));
        if (group.empty()) continue;
        const std::vector<platform::AXElementRef> children = AXRead::elements(*topLevel, "AXChildren");
        if (children.empty()) continue;
        collect(*children.front(), group, 0, collected, childrenLeft);
    }

    std::unordered_set<Identity, IdentityHash> seen;
    std::vector<ShortcutItem> result;
    for (ShortcutItem& row : collected) {
        if (result.size() == resultCap) break;
        if (seen.insert(Identity{Text::nfc(row.title()), Text::nfc(row.keys())}).second)
            result.push_back(std::move(row));
    }
    return result;
}

void ShortcutScanner::collect(const platform::AXElement& element, const std::string& group, int depth,
                              std::vector<ShortcutItem>& into, std::size_t& childrenLeft) {
    if (depth > depthBound) return;
    const std::vector<platform::AXElementRef> children = AXRead::elements(element, "AXChildren");
    for (const platform::AXElementRef& child : children) {
        if (childrenLeft == 0) return;
        --childrenLeft;
        const bool enabled = AXRead::boolean(*child, "AXEnabled").value_or(true);
        const std::string title = AXRead::text(*child, "AXTitle").value_or(std::string());
        if (enabled && !title.empty()) {
            const std::string character = AXRead::text(*child, "AXMenuItemCmdChar").value_or(std::string());
            const std::optional<std::int64_t> glyph = AXRead::integer(*child, "AXMenuItemCmdGlyph");
            const std::optional<std::int64_t> virtualKey = AXRead::integer(*child, "AXMenuItemCmdVirtualKey");
            if (std::optional<std::string> key = KeyNotation::keyPart(character, glyph, virtualKey)) {
                const std::int64_t modifiers = AXRead::integer(*child, "AXMenuItemCmdModifiers").value_or(0);
                into.emplace_back(group, title, KeyNotation::prefix(modifiers) + *key);
            }
        }
        collect(*child, group, depth + 1, into, childrenLeft);
    }
}

} // namespace tavlin
