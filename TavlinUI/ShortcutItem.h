#pragma once

#include "TavlinUI/Uuid.h"

#include <functional>
#include <string>

namespace tavlin {

// One row of the overlay: a command and the key combination that triggers it.
class ShortcutItem {
public:
    ShortcutItem(std::string group, std::string title, std::string keys); // fresh v4 id

    const Uuid& id() const { return id_; }
    const std::string& group() const { return group_; }
    const std::string& title() const { return title_; }
    const std::string& keys() const { return keys_; }

    // id, group, title, keys; texts by canonical equivalence.
    friend bool operator==(const ShortcutItem&, const ShortcutItem&);

private:
    Uuid id_;
    std::string group_;
    std::string title_;
    std::string keys_;
};

} // namespace tavlin

template <>
struct std::hash<tavlin::ShortcutItem> {
    std::size_t operator()(const tavlin::ShortcutItem& item) const;
};
