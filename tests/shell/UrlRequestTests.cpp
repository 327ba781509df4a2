#include "ShellFixture.h"

namespace tavlin::testing {
namespace {

struct Delivery {
    const char* name;
    std::vector<std::string> urls;
    std::optional<std::string> shownFor; // none: nothing shown
};

// The editor is the current target; the viewer is running too, a mail program is not.
TEST(UrlRequest, WhichDeliveriesShowTheOverlayAndForWhom) {
    const Delivery cases[] = {
        {"plain show", {"tavlin://show"}, "Editor"},
        {"named bundle", {"tavlin://show?bundle=com.example.Viewer"}, "Viewer"},
        {"first bundle item counts", {"tavlin://show?x=1&bundle=com.example.Viewer&bundle=com.example.Editor"}, "Viewer"},
        {"first item is not running", {"tavlin://show?bundle=com.example.Mail&bundle=com.example.Viewer"}, "Editor"},
        {"bundle without value", {"tavlin://show?bundle&bundle=com.example.Viewer"}, "Editor"},
        {"empty bundle", {"tavlin://show?bundle="}, "Editor"},
        {"name compared exactly", {"tavlin://show?Bundle=com.example.Viewer"}, "Editor"},
        {"naming this program", {"tavlin://show?bundle=org.tavlin.Tavlin"}, "Tavlin"},
        {"unparsable query", {"tavlin://show?bundle=com.example.Viewer%00"}, "Editor"},
        {"first matching URL", {"https://show", "tavlin://show?bundle=com.example.Viewer", "tavlin://show"}, "Viewer"},
        {"later URLs not read", {"tavlin://show", "tavlin://show?bundle=com.example.Viewer"}, "Editor"},
        {"hide", {"tavlin://hide"}, std::nullopt},
        {"no host", {"tavlin:show"}, std::nullopt},
        {"other scheme", {"other://show"}, std::nullopt},
        {"scheme and host in any case", {"TAVLIN://SHOW?bundle=com.example.Viewer"}, "Viewer"},
        {"not a URL", {"tavlin://show?bundle=a b"}, std::nullopt},
        {"empty delivery", {}, std::nullopt},
    };
    for (const Delivery& c : cases) {
        Shell shell;
        shell.launch();
        shell.deliver(c.urls);
        EXPECT_EQ(shell.visible(), c.shownFor.has_value()) << c.name;
        if (c.shownFor) {
            EXPECT_EQ(shell.shown().appName(), *c.shownFor) << c.name;
        }
        EXPECT_EQ(shell.queue.pending(), 0u) << c.name; // nothing left for later
    }
}

TEST(UrlRequest, WithoutAnyTargetNothingIsShownUnlessTheUrlNamesOne) {
    Shell shell;
    shell.desktop.setFrontmost(std::nullopt);
    shell.launch();
    shell.deliver({"tavlin://show?bundle=com.example.Mail"});
    EXPECT_FALSE(shell.panel());
    shell.deliver({"tavlin://show?bundle=com.example.Viewer"});
    EXPECT_EQ(shell.shown().appName(), "Viewer");
}

} // namespace
} // namespace tavlin::testing
