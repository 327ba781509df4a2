#pragma once

#include <string>
#include <string_view>

namespace tavlin::tools {

// Text as a JSON string literal.
struct JsonText {
    // `text` (UTF-8) in double quotes, with quotes, backslashes and control characters
    // escaped; other characters are kept as they are.
    static std::string quoted(std::string_view text);
};

} // namespace tavlin::tools
