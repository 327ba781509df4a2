#pragma once

#include "TavlinUI/ShortcutItem.h"

#include <QString>

#include <string>

namespace tavlin {

// The texts of the always-available rows in the user's language. Their group names
// and titles are the program's own and go through the translation tables; the rows
// read from an application are its own words and stay as they are.
struct CommonRowText {
    static constexpr const char* context = "CommonShortcuts";

    // A group's name as shown: the program's own names translated, others verbatim.
    static QString group(const std::string& name);
    // The row as shown: in a group of the program's own, its title translated (a title
    // that the merge took from the application has no translation and stays).
    static ShortcutItem shown(const ShortcutItem& row);
};

} // namespace tavlin
