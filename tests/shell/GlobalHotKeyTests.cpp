#include "Tavlin/GlobalHotKey.h"
#include "platform/sim/SimHotKeys.h"

#include <gtest/gtest.h>

using tavlin::GlobalHotKey;
using tavlin::platform::HotKeys;
using tavlin::platform::sim::SimHotKeys;

namespace {

TEST(GlobalHotKey, RegistersTheKeyWithTheProgramsSignatureAndRunsTheActionOncePerPress) {
    SimHotKeys service;
    int runs = 0;
    auto hotKey = GlobalHotKey::make(service, 49, 2048, [&] { ++runs; });
    ASSERT_NE(hotKey, nullptr);
    ASSERT_EQ(service.registrations().size(), 1u);
    const auto& registration = service.registrations().begin()->second;
    EXPECT_EQ(registration.keyCode, 49u);
    EXPECT_EQ(registration.modifiers, 2048u);
    EXPECT_EQ(registration.id.id, 1u);
    EXPECT_EQ(registration.options, 0u);
    for (int shift : {24, 16, 8, 0}) {
        const char letter = static_cast<char>((registration.id.signature >> shift) & 0xFF);
        EXPECT_TRUE(letter >= 'A' && letter <= 'Z') << registration.id.signature;
    }

    EXPECT_TRUE(service.press(49, 2048));
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(service.press(49, 0)); // another combination is not ours
    EXPECT_TRUE(service.press(49, 2048));
    EXPECT_EQ(runs, 2);
}

TEST(GlobalHotKey, EndOfLifeUnregistersThenRemovesTheHandlerAndPressesNoLongerArrive) {
    SimHotKeys service;
    int runs = 0;
    auto hotKey = GlobalHotKey::make(service, 49, 2048, [&] { ++runs; });
    hotKey.reset();
    EXPECT_TRUE(service.registrations().empty());
    EXPECT_TRUE(service.handlers().empty());
    EXPECT_EQ(service.unregisterCount(), 1u);
    EXPECT_EQ(service.removeCount(), 1u);
    EXPECT_FALSE(service.press(49, 2048));
    EXPECT_EQ(runs, 0);
}

struct Refusal {
    const char* name;
    bool refuseHandler, refuseRegistration;
    std::size_t handlersRemoved;
};

TEST(GlobalHotKey, ARefusedHandlerOrRegistrationYieldsNothingAndLeavesNoHandlerBehind) {
    for (const Refusal r : {Refusal{"handler", true, false, 0}, Refusal{"registration", false, true, 1},
                            Refusal{"both", true, true, 0}}) {
        SimHotKeys service;
        service.refuseHandlers(r.refuseHandler);
        service.refuseRegistrations(r.refuseRegistration);
        int runs = 0;
        EXPECT_EQ(GlobalHotKey::make(service, 49, 2048, [&] { ++runs; }), nullptr) << r.name;
        EXPECT_TRUE(service.handlers().empty()) << r.name;
        EXPECT_TRUE(service.registrations().empty()) << r.name;
        EXPECT_EQ(service.removeCount(), r.handlersRemoved) << r.name;
        EXPECT_EQ(service.unregisterCount(), 0u) << r.name;
    }
}

TEST(GlobalHotKey, ACombinationAlreadyTakenIsRefused) {
    SimHotKeys service;
    auto first = GlobalHotKey::make(service, 49, 2048, [] {});
    EXPECT_EQ(GlobalHotKey::make(service, 49, 2048, [] {}), nullptr);
    EXPECT_EQ(service.handlers().size(), 1u);
}

TEST(GlobalHotKey, TheHandlerWithoutUserDataReportsNotHandledAndRunsNothing) {
    SimHotKeys service;
    int runs = 0;
    auto hotKey = GlobalHotKey::make(service, 49, 2048, [&] { ++runs; });
    const auto& handler = service.handlers().begin()->second;
    EXPECT_EQ(handler.callback(nullptr), HotKeys::eventNotHandled);
    EXPECT_EQ(handler.callback(handler.userData), 0);
    EXPECT_EQ(runs, 1);
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
