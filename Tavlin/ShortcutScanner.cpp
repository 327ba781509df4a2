#include "Tavlin/ShortcutScanner.h"

#include "Tavlin/KeyNotation.h"
#include "TavlinUI/Text.h"
#include "platform/AXRead.h"

#include <unordered_map>
#include <unordered_set>

namespace tavlin {
namespace {

using platform::AXRead;

constexpr std::string_view defaultGroup = "メニュー";

// A menu bar is a tree, but a broken or hostile accessibility tree can hand back the
// same element in many places, or as its own descendant. Reading such an element again
// can only give rows that were already given, which are dropped as repeats, so the walk
// reads an element's row once and walks below it again only from a shallower depth
// (where it reaches further). As a last guard the walk stops after this many children,
// far beyond any real menu bar.
constexpr std::size_t childBudget = 1'000'000;

} // namespace

// The rows of one scan in walk order. A repeat is dropped as it is met, which keeps the
// same rows as dropping repeats after the walk, without holding them all.
struct ShortcutScanner::Collector {
    std::vector<ShortcutItem> rows;
    std::unordered_set<Identity, Identity::Hash> seen;
    std::size_t childrenLeft = childBudget;
    // Elements met so far, held so that no address is reused during the walk: whether
    // their own row was read, and the shallowest depth walked below them.
    struct Visit {
        platform::AXElementRef element;
        bool rowRead = false;
        int walkedFrom = depthBound + 2;
    };
    std::unordered_map<const platform::AXElement*, Visit> visits;

    Visit& visit(const platform::AXElementRef& element) {
        Visit& entry = visits[element.get()];
        if (!entry.element) entry.element = element;
        return entry;
    }

    void add(const std::string& group, Row row) {
        if (seen.insert(std::move(row.identity)).second) rows.emplace_back(group, std::move(row.title), std::move(row.keys));
    }
};

std::size_t ShortcutScanner::Identity::Hash::operator()(const Identity& identity) const {
    const std::size_t h = std::hash<std::string>{}(identity.title);
    return h ^ (std::hash<std::string>{}(identity.keys) + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2));
}

std::vector<ShortcutItem> ShortcutScanner::shortcuts(platform::AccessibilityService& ax, std::int32_t pid) {
    const platform::AXElementRef application = ax.createApplication(pid);
    if (!application) return {};
    const platform::AXElementRef menuBar = AXRead::element(*application, "AXMenuBar");
    if (!menuBar) return {};

    Collector collector;
    for (const platform::AXElementRef& topLevel : AXRead::elements(*menuBar, "AXChildren")) {
        const std::optional<std::string> group = ShortcutScanner::group(*topLevel);
        if (!group) continue;
        const std::vector<platform::AXElementRef> children = AXRead::elements(*topLevel, "AXChildren");
        if (children.empty()) continue;
        collect(*children.front(), *group, 0, collector);
    }
    // The cap counts rows that survived the dropping of repeats over the whole walk.
    if (collector.rows.size() > resultCap)
        collector.rows.erase(collector.rows.begin() + static_cast<std::ptrdiff_t>(resultCap), collector.rows.end());
    return std::move(collector.rows);
}

void ShortcutScanner::collect(const platform::AXElement& element, const std::string& group, int depth,
                              Collector& into) {
    if (depth > depthBound) return;
    const std::vector<platform::AXElementRef> children = AXRead::elements(element, "AXChildren");
    for (const platform::AXElementRef& child : children) {
        if (into.childrenLeft == 0) return;
        --into.childrenLeft;
        Collector::Visit& visit = into.visit(child);
        if (visit.walkedFrom <= depth + 1) continue; // its row and everything below it are in
        const bool readRow = !visit.rowRead;
        visit.rowRead = true;
        visit.walkedFrom = depth + 1;
        if (readRow) {
            if (std::optional<Row> found = row(*child)) into.add(group, std::move(*found));
        }
        collect(*child, group, depth + 1, into);
    }
}

platform::RowBudget ShortcutScanner::rowBudget() {
    return platform::RowBudget{resultCap, [](const platform::AXElement& topLevel,
                                             const platform::AXElement& item) -> std::optional<std::string> {
                                   if (!group(topLevel)) return std::nullopt;
                                   std::optional<Row> found = row(item);
                                   if (!found) return std::nullopt;
                                   // The title's length last, so that no title can run into the keys.
                                   std::string identity = std::move(found->identity.title);
                                   const std::size_t titleLength = identity.size();
                                   identity += found->identity.keys;
                                   identity.append(reinterpret_cast<const char*>(&titleLength), sizeof titleLength);
                                   return identity;
                               }};
}

std::optional<std::string> ShortcutScanner::group(const platform::AXElement& topLevel) {
    std::string group = AXRead::text(topLevel, "AXTitle").value_or(std::string(defaultGroup));
    if (group.empty()) return std::nullopt;
    return group;
}

std::optional<ShortcutScanner::Row> ShortcutScanner::row(const platform::AXElement& item) {
    if (!AXRead::boolean(item, "AXEnabled").value_or(true)) return std::nullopt;
    std::string title = AXRead::text(item, "AXTitle").value_or(std::string());
    if (title.empty()) return std::nullopt;
    std::optional<std::string> keys = chord(item);
    if (!keys) return std::nullopt;
    // A key sequence is shown whole or not at all: a step cut off, or one that can't be
    // read, would make it a wrong key.
    const std::vector<platform::AXElementRef> following = AXRead::elements(item, "AXMenuItemCmdFollowingChords");
    if (following.size() + 1 > KeyNotation::maxChords) return std::nullopt;
    for (const platform::AXElementRef& step : following) {
        const std::optional<std::string> next = chord(*step);
        if (!next) return std::nullopt;
        keys->append(KeyNotation::chordSeparator).append(*next);
    }
    Identity identity{Text::identity(title), Text::identity(*keys)};
    return Row{std::move(title), std::move(*keys), std::move(identity)};
}

std::optional<std::string> ShortcutScanner::chord(const platform::AXElement& element) {
    const std::string character = AXRead::text(element, "AXMenuItemCmdChar").value_or(std::string());
    const std::optional<std::int64_t> glyph = AXRead::integer(element, "AXMenuItemCmdGlyph");
    const std::optional<std::int64_t> virtualKey = AXRead::integer(element, "AXMenuItemCmdVirtualKey");
    const std::optional<std::string> key = KeyNotation::keyPart(character, glyph, virtualKey);
    if (!key) return std::nullopt;
    const std::int64_t modifiers = AXRead::integer(element, "AXMenuItemCmdModifiers").value_or(0);
    return KeyNotation::prefix(modifiers) + *key;
}

} // namespace tavlin
