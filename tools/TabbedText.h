#pragma once

#include <string>
#include <string_view>

namespace tavlin::tools {

// Text as one field of a tab-separated line.
struct TabbedText {
    // `text` with backslashes, tabs, newlines and carriage returns written as \\, \t, \n
    // and \r, so that a field never splits its line or another field.
    static std::string field(std::string_view text);
};

} // namespace tavlin::tools
