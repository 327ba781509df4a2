#pragma once

#include "Tavlin/AppDelegate.h"
#include "platform/sim/SimAccessibility.h"
#include "platform/sim/SimApplicationShortcuts.h"
#include "platform/sim/SimAutostart.h"
#include "platform/sim/SimHotKeys.h"
#include "platform/sim/SimMainQueue.h"
#include "platform/sim/SimMenuBar.h"
#include "platform/sim/SimWindowSystem.h"
#include "platform/sim/SimWorkQueue.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tavlin::testing {

using namespace tavlin::platform;
using namespace tavlin::platform::sim;

inline RunningApplication app(std::int32_t pid, std::optional<std::string> bundle, std::optional<std::string> name) {
    auto icon = std::make_shared<Image>(Image{1, 1, {0, 0, 0, 255}});
    return RunningApplication{pid, std::move(bundle), std::move(name), icon};
}

// A whole program on the in-memory desktop: an editor and a viewer are running, the
// editor in front, one 1440 × 875 screen.
struct Shell {
    const RunningApplication editor = app(101, "com.example.Editor", "Editor");
    const RunningApplication viewer = app(102, "com.example.Viewer", "Viewer");
    const RunningApplication self = app(SimWindowSystem::defaultProcessIdentifier, "org.tavlin.Tavlin", "Tavlin");

    SimWindowSystem desktop;
    SimHotKeys hotKeys;
    SimMainQueue queue;
    SimWorkQueue work{queue};
    SimAccessibilityService ax;
    SimAutostart autostart;
    std::shared_ptr<AppDelegate> delegate = std::make_shared<AppDelegate>(desktop, hotKeys, queue, work, ax, autostart);

    Shell() {
        for (const auto& a : {editor, viewer, self}) desktop.addApplication(a);
        desktop.setFrontmost(editor);
        desktop.setScreens({Screen{{0, 0, 1440, 875}}});
    }

    void launch() { delegate->applicationDidFinishLaunching(); }
    // Option+Space, then the main thread gets to run.
    void pressHotKey() {
        hotKeys.press(AppDelegate::hotKeyCode, AppDelegate::hotKeyModifiers);
        queue.runDue();
    }
    // A delivery of URLs, then the main thread and the work queue get to run.
    void deliver(const std::vector<std::string>& urls) {
        delegate->application(urls);
        queue.runDue();
    }
    void pressKey(std::uint16_t keyCode) {
        desktop.pressKey(keyCode);
        queue.runDue();
    }
    bool choose(const std::string& title) { return desktop.statusItem() && desktop.statusItem()->choose(title); }

    SimPanel* panel() const { return desktop.panel(); }
    bool visible() const { return panel() && panel()->isVisible(); }
    const ShortcutOverlay& shown() const { return *panel()->content(); }
    std::int32_t target() const {
        return delegate->lastExternalApp() ? delegate->lastExternalApp()->processIdentifier : 0;
    }
};

} // namespace tavlin::testing
