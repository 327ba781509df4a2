// Arbitrary bytes, split at newlines into several URLs, go to the URL parser and to
// the delegate's URL hook over the in-memory desktop.
#include "Tavlin/AppDelegate.h"
#include "platform/Url.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimAutostart.h"
#include "platform/sim/SimHotKeys.h"
#include "platform/sim/SimMainQueue.h"
#include "platform/sim/SimMenuBar.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/SimWorkQueue.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

using namespace tavlin;
using namespace tavlin::platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> urls;
    std::size_t start = 0;
    for (std::size_t at = input.find('\n'); at != std::string::npos; at = input.find('\n', start)) {
        urls.push_back(input.substr(start, at - start));
        start = at + 1;
    }
    urls.push_back(input.substr(start));

    for (const std::string& text : urls) {
        const auto url = Url::parse(text);
        if (url && url->queryItems)
            for (const QueryItem& item : *url->queryItems) (void)item.name.size();
    }

    sim::SimWindowSystem desktop;
    sim::SimHotKeys hotKeys;
    sim::SimMainQueue queue;
    sim::SimWorkQueue work(queue);
    sim::SimAccessibilityService ax;
    sim::SimAutostart autostart;
    desktop.setScreens({Screen{{0, 0, 1440, 875}}});
    desktop.addApplication({101, "com.example.Editor", "Editor", nullptr});
    desktop.addApplication({102, "a", "A", nullptr});
    desktop.addApplication({sim::SimWindowSystem::defaultProcessIdentifier, "org.tavlin.Tavlin", "Tavlin", nullptr});
    ax.addApplication(102, sim::SimMenuBar::application({{"Edit", {{"Undo", "z", 0, {}, {}, true, {}}}}}));
    desktop.setFrontmost(desktop.runningApplications("com.example.Editor").front());
    auto delegate = std::make_shared<AppDelegate>(desktop, hotKeys, queue, work, ax, autostart);
    delegate->applicationDidFinishLaunching();
    delegate->application(urls);
    queue.runDue(); // the show's reading and presentation
    if (desktop.panel() && desktop.panel()->content()) desktop.panel()->content()->close()();
    queue.drain();
    return 0;
}
