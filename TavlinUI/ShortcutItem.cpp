#include "TavlinUI/ShortcutItem.h"

#include "TavlinUI/Text.h"

namespace tavlin {

ShortcutItem::ShortcutItem(std::string group, std::string title, std::string keys)
    : id_(Uuid::random()), group_(std::move(group)), title_(std::move(title)), keys_(std::move(keys)) {}

bool operator==(const ShortcutItem& a, const ShortcutItem& b) {
    return a.id_ == b.id_ && Text::equal(a.group_, b.group_) && Text::equal(a.title_, b.title_) &&
           Text::equal(a.keys_, b.keys_);
}

} // namespace tavlin

std::size_t std::hash<tavlin::ShortcutItem>::operator()(const tavlin::ShortcutItem& item) const {
    std::size_t seed = item.id().hash();
    for (const std::string* text : {&item.group(), &item.title(), &item.keys()})
        seed ^= tavlin::Text::hash(*text) + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
    return seed;
}
