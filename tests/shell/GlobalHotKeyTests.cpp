#include "Tavlin/GlobalHotKey.h"
#include "platform/sim/SimHotKeys.h"

#include <gtest/gtest.h>

using tavlin::GlobalHotKey;
using tavlin::platform::HotKeys;
using tavlin::platform::sim::SimHotKeys;

namespace {

TEST(GlobalHotKey, RunsTheActionOncePerPressUntilItsEndOfLife) {
    SimHotKeys service;
    int runs = 0;
    auto hotKey = GlobalHotKey::make(service, 49, 2048, [&] { ++runs; });
    ASSERT_NE(hotKey, nullptr);
    ASSERT_EQ(service.registrations().size(), 1u);

    EXPECT_TRUE(service.press(49, 2048));
    EXPECT_FALSE(service.press(49, 0)); // not ours
    EXPECT_TRUE(service.press(49, 2048));
    EXPECT_EQ(runs, 2);
    const auto handler = service.handlers().begin()->second;
    EXPECT_EQ(handler.callback(nullptr), HotKeys::eventNotHandled);
    EXPECT_EQ(runs, 2);

    hotKey.reset();
    EXPECT_TRUE(service.registrations().empty());
    EXPECT_TRUE(service.handlers().empty());
    EXPECT_FALSE(service.press(49, 2048));
    EXPECT_EQ(runs, 2);
}

TEST(GlobalHotKey, ARefusalYieldsNothingAndLeavesNoHandlerBehind) {
    struct Refusal {
        bool handler, registration;
        std::size_t removed;
    };
    for (const Refusal r : {Refusal{true, false, 0}, Refusal{false, true, 1}, Refusal{true, true, 0}}) {
        SimHotKeys service;
        service.refuseHandlers(r.handler);
        service.refuseRegistrations(r.registration);
        EXPECT_EQ(GlobalHotKey::make(service, 49, 2048, [] {}), nullptr);
        EXPECT_TRUE(service.handlers().empty());
        EXPECT_TRUE(service.registrations().empty());
        EXPECT_EQ(service.removeCount(), r.removed);
        EXPECT_EQ(service.unregisterCount(), 0u);
    }
}

TEST(GlobalHotKey, AnActionThatEndsItsOwnHotKeyRunsToItsEnd) {
    SimHotKeys service;
    std::unique_ptr<GlobalHotKey> hotKey;
    std::string trail;
    hotKey = GlobalHotKey::make(service, 49, 2048, [&, tail = std::string("done")] {
        hotKey.reset();
        trail = tail; // the closure's own state outlives the object
    });
    EXPECT_TRUE(service.press(49, 2048));
    EXPECT_EQ(trail, "done");
    EXPECT_TRUE(service.handlers().empty());
}

} // namespace
