#include "Tavlin/ShortcutSources.h"

#include "Tavlin/KeyNotation.h"
#include "TavlinUI/Text.h"

#include <optional>
#include <set>
#include <unordered_set>
#include <utility>

namespace tavlin {
namespace {

std::optional<std::string> notation(const platform::KeyEquivalent& key) {
    const std::optional<std::string> part = KeyNotation::keyPart(key.character, std::nullopt, key.virtualKey);
    if (!part) return std::nullopt;
    return KeyNotation::prefix(key.modifiers) + *part;
}

} // namespace

std::vector<ShortcutSources::Row> ShortcutSources::combine(
    const std::vector<ShortcutItem>& menu, const std::vector<platform::ApplicationShortcuts::WindowRow>& window,
    const std::vector<platform::ApplicationShortcuts::TableRow>& table) {
    std::vector<Row> rows;
    rows.reserve(menu.size() + window.size());
    std::unordered_set<std::string> menuKeys;
    std::set<std::pair<std::string, std::string>> seen; // title and keys, in canonical form
    for (const ShortcutItem& item : menu) {
        menuKeys.insert(Text::identity(item.keys()));
        seen.emplace(Text::identity(item.title()), Text::identity(item.keys()));
        rows.push_back({item, Source::menu});
    }
    for (const auto& row : window) {
        if (row.title.empty()) continue;
        std::optional<std::string> keys = notation(row.key);
        if (!keys || menuKeys.contains(Text::identity(*keys))) continue;
        if (!seen.emplace(Text::identity(row.title), Text::identity(*keys)).second) continue;
        rows.push_back({ShortcutItem(row.group, row.title, std::move(*keys)), Source::shortcutsWindow});
    }
    if (!rows.empty()) return rows;
    for (const auto& row : table) {
        if (row.title.empty() || row.keys.empty()) continue;
        if (!seen.emplace(Text::identity(row.title), Text::identity(row.keys)).second) continue;
        rows.push_back({ShortcutItem(row.group, row.title, row.keys), Source::table});
    }
    return rows;
}

std::vector<ShortcutSources::Row> ShortcutSources::read(platform::ApplicationShortcuts& sources,
                                                        const platform::RunningApplication& application,
                                                        const std::vector<ShortcutItem>& menu) {
    std::vector<Row> rows = combine(menu, sources.shortcutsWindow(application), {});
    if (rows.empty()) rows = combine({}, {}, sources.table(application));
    return rows;
}

std::vector<ShortcutItem> ShortcutSources::items(const std::vector<Row>& rows) {
    std::vector<ShortcutItem> items;
    items.reserve(rows.size());
    for (const Row& row : rows) items.push_back(row.item);
    return items;
}

std::string_view ShortcutSources::name(Source source) {
    switch (source) {
    case Source::menu: return "menu";
    case Source::shortcutsWindow: return "shortcuts-window";
    case Source::table: return "table";
    }
    return "menu";
}

} // namespace tavlin
