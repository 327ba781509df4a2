#include "tools/JsonText.h"

#include <gtest/gtest.h>

using tavlin::tools::JsonText;

TEST(JsonText, QuotesAndEscapesWhatJsonRequires) {
    const std::pair<std::string, std::string> cases[] = {
        {"", R"("")"},
        {"Save As...", R"("Save As...")"},
        {"say \"hi\"", R"("say \"hi\"")"},
        {"C:\\path", R"("C:\\path")"},
        {"a\tb\nc\rd\be\ff", R"("a\tb\nc\rd\be\ff")"},
        {std::string("nul\0x", 5), R"("nul\u0000x")"},
        {"\x01\x1f", R"("\u0001\u001f")"},
        {"\x7f", "\"\x7f\""},
        {"⇧⌘Z メニュー", "\"⇧⌘Z メニュー\""},
        {"/slash", R"("/slash")"},
    };
    for (const auto& [text, json] : cases) EXPECT_EQ(JsonText::quoted(text), json) << text;
}
