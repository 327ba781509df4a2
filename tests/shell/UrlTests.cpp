#include "platform/Url.h"

#include <gtest/gtest.h>

using tavlin::platform::QueryItem;
using tavlin::platform::Url;

namespace {

using Items = std::vector<QueryItem>;
const std::nullopt_t none = std::nullopt;

struct UrlCase {
    std::string text;
    std::optional<Url> parts;
};

TEST(Url, PartsOfWellFormedAndMalformedUrls) {
    const UrlCase cases[] = {
        {"tavlin://show", Url{"tavlin", "show", none}},
        {"tavlin://show?bundle=com.apple.finder", Url{"tavlin", "show", Items{{"bundle", "com.apple.finder"}}}},
        {"tavlin://show?x=1&bundle=a&bundle=b", Url{"tavlin", "show", Items{{"x", "1"}, {"bundle", "a"}, {"bundle", "b"}}}},
        {"tavlin://show?bundle", Url{"tavlin", "show", Items{{"bundle", none}}}},
        {"tavlin://show?bundle=", Url{"tavlin", "show", Items{{"bundle", ""}}}},
        {"tavlin://show?", Url{"tavlin", "show", Items{}}},
        {"tavlin://show?a=b=c", Url{"tavlin", "show", Items{{"a", "b=c"}}}},
        // percent-decoded names and values; '+' is not a space
        {"tavlin://show?b%75ndle=com.ex%2Bample+x%20y", Url{"tavlin", "show", Items{{"bundle", "com.ex+ample+x y"}}}},
        {"tavlin://show?n=%E3%81%82", Url{"tavlin", "show", Items{{"n", "あ"}}}},
        // path, port, user and fragment are there but not read
        {"tavlin://user@show:80/path?bundle=a#bundle=b", Url{"tavlin", "show", Items{{"bundle", "a"}}}},
        {"tavlin://sh%6Fw", Url{"tavlin", "show", none}},
        {"TAVLIN://show", Url{"TAVLIN", "show", none}},
        {"tavlin:show", Url{"tavlin", none, none}},
        {"tavlin:///show", Url{"tavlin", "", none}},
        {"//show?bundle=a", Url{none, "show", Items{{"bundle", "a"}}}},
        {"", Url{none, none, none}},
        // an encoded NUL cannot survive uriparser's C strings: no query items rather than cut ones
        {"tavlin://show?bundle=com.a%00b", Url{"tavlin", "show", none}},
        // not URLs
        {"tavlin://show?bundle=a b", none},
        {"tavlin://sh ow", none},
        {"tavlin://show?bundle=%zz", none},
        {"tavlin://[::1", none},
        {":show", none},
        {std::string("tavlin://show\0x", 15), none},
    };
    for (const UrlCase& c : cases) EXPECT_EQ(Url::parse(c.text), c.parts) << c.text;
}

} // namespace
