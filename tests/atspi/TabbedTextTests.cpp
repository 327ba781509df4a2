#include "tools/TabbedText.h"

#include <gtest/gtest.h>

using tavlin::tools::TabbedText;

TEST(TabbedText, AFieldStaysOnItsLineAndReadsBackUnambiguously) {
    const std::pair<std::string, std::string> cases[] = {
        {"Save As…", "Save As…"},
        {"a\tb", R"(a\tb)"},
        {"line\nbreak\r\n", R"(line\nbreak\r\n)"},
        {R"(C:\new)", R"(C:\\new)"}, // not to be read back as a newline
        {"\\\t", R"(\\\t)"},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(TabbedText::field(text), field) << text;
}
