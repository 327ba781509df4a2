#include "platform/linux/hotkeys/PortalHotKeys.h"

#include "StandIn.h"
#include "PrivateBus.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <optional>

using tavlin::platform::HotKeys;
using tavlin::platform::PortalHotKeys;
using namespace std::chrono_literals;

namespace {

constexpr std::uint32_t space = 49, option = 2048;
const std::string standIn = TAVLIN_TEST_DIR "/portal_standin.py";

// The stand-in portal, and its control that emits Activated.
class StandInPortal : public StandIn {
public:
    explicit StandInPortal(const std::string& address) : StandIn(address, "org.freedesktop.portal.Desktop") {}
    void press(const std::string& session, const char* id) {
        if (GVariant* reply = invoke("Press", g_variant_new("(os)", session.c_str(), id))) g_variant_unref(reply);
    }
};

struct Presses {
    int count = 0;
    static HotKeys::Status pressed(void* self) {
        ++static_cast<Presses*>(self)->count;
        return 0;
    }
};

// Runs the default main context, where presses arrive, for a moment.
void settle() {
    const auto end = std::chrono::steady_clock::now() + 300ms;
    while (std::chrono::steady_clock::now() < end) {
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        g_usleep(10'000);
    }
}

PortalHotKeys hotKeysOn(const PrivateBus& bus, std::chrono::milliseconds timeout = 2s) {
    return PortalHotKeys("tavlin", "show-shortcuts", "Show shortcuts", {bus.address(), timeout, timeout});
}

// Registers Alt+Space and runs the main context until the registration has settled;
// its refusal, empty when bound (none when it never settled).
std::optional<std::string> registerAndSettle(PortalHotKeys& hotKeys) {
    std::optional<std::string> outcome;
    hotKeys.onSettled([&outcome](const std::string& refusal) { outcome = refusal; });
    if (hotKeys.registerHotKey(space, option, {0, 1}, 0).first != 0) return "refused at once";
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (!outcome && std::chrono::steady_clock::now() < end) g_main_context_iteration(nullptr, TRUE);
    return outcome;
}

} // namespace

TEST(PortalHotKeys, BindsAltSpaceAndTurnsEachActivationIntoOnePress) {
    PrivateBus bus;
    ASSERT_TRUE(bus.start(standIn, {}));
    StandInPortal portal(bus.address());
    auto hotKeys = hotKeysOn(bus);
    Presses presses;
    ASSERT_EQ(hotKeys.installEventHandler(&Presses::pressed, &presses).first, 0);
    EXPECT_EQ(registerAndSettle(hotKeys), "");
    const HotKeys::HotKeyRef ref = 1; // the first registration's

    // What is bound and how it is asked for, the end-to-end portal check sees.
    const std::string session = portal.call("BindShortcuts").at(1).toString().toStdString();

    portal.press(session, "show-shortcuts");
    settle();
    EXPECT_EQ(presses.count, 1);
    // Another shortcut, another program's session, or a client posing as the portal: not ours.
    portal.press(session, "something-else");
    portal.press("/org/freedesktop/portal/desktop/session/1_99/other", "show-shortcuts");
    g_dbus_connection_emit_signal(portal.connection(), nullptr, "/org/freedesktop/portal/desktop",
                                  "org.freedesktop.portal.GlobalShortcuts", "Activated",
                                  g_variant_new("(osta{sv})", session.c_str(), "show-shortcuts", 0, nullptr), nullptr);
    settle();
    EXPECT_EQ(presses.count, 1);

    // Unregistering closes the session; later activations reach nobody.
    EXPECT_EQ(hotKeys.unregisterHotKey(ref), 0);
    settle();
    EXPECT_EQ(portal.call("Close").at(1).toString().toStdString(), session);
    portal.press(session, "show-shortcuts");
    settle();
    EXPECT_EQ(presses.count, 1);
}

TEST(PortalHotKeys, RegistrationFailsWhenThePortalCanNotGiveTheKey) {
    struct Case {
        const char* name;
        QStringList standIn; // none started when empty
        bool closesSession;
    };
    const Case cases[] = {
        {"no portal on the bus", {}, false},
        {"session refused", {"--session-response", "2"}, false},
        {"session never answered", {"--session-response", "-1"}, false},
        {"user cancelled the binding", {"--bind-response", "1"}, true},
        {"bound without a key", {"--trigger", ""}, true},
        {"bound nothing", {"--bind-nothing"}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PrivateBus bus;
        if (!c.standIn.isEmpty()) {
            ASSERT_TRUE(bus.start(standIn, c.standIn));
        }
        auto hotKeys = hotKeysOn(bus);
        Presses presses;
        hotKeys.installEventHandler(&Presses::pressed, &presses);
        const auto refusal = registerAndSettle(hotKeys);
        ASSERT_TRUE(refusal);
        EXPECT_NE(*refusal, "");
        EXPECT_EQ(hotKeys.refusal(), *refusal);
        if (c.standIn.isEmpty()) continue;
        StandInPortal portal(bus.address());
        settle();
        EXPECT_EQ(portal.call("Close").isEmpty(), !c.closesSession);
    }
}

TEST(PortalHotKeys, AskingForTheBindingsWhenTheAnswerDoesNotListThem) {
    PrivateBus bus;
    ASSERT_TRUE(bus.start(standIn, {"--quiet-bind"}));
    auto hotKeys = hotKeysOn(bus);
    EXPECT_EQ(registerAndSettle(hotKeys), "");
    EXPECT_FALSE(StandIn(bus.address(), "org.freedesktop.portal.Desktop").call("ListShortcuts").isEmpty());
}

// A portal that never answers (stopped, or waiting on a user who never decides) holds
// only the registration's worker: the registration returns while it is under way, the
// main context runs on, and ending the hot keys cancels it. Under time-outs of a minute,
// a registration that waited would hold the test for that long.
TEST(PortalHotKeys, AStoppedPortalHoldsNothingButTheRegistration) {
    for (const bool stopped : {true, false}) {
        SCOPED_TRACE(stopped ? "the portal stopped" : "the binding never answered");
        PrivateBus bus;
        ASSERT_TRUE(bus.start(standIn, stopped ? QStringList{"--stop-at", "CreateSession"}
                                               : QStringList{"--bind-response", "-1"}));
        const auto portalPid = pid_t(bus.servicePid(0));
        // The registration is stuck: the stand-in stopped in the middle of the session's
        // call, or it has the binding and will never answer it.
        const auto stuck = [&] {
            if (!stopped) return !StandInPortal(bus.address()).call("BindShortcuts").isEmpty();
            std::ifstream stat("/proc/" + std::to_string(portalPid) + "/stat");
            std::string pid, name, state;
            stat >> pid >> name >> state;
            return state == "T";
        };
        {
            auto hotKeys = hotKeysOn(bus, 60s);
            bool settled = false;
            hotKeys.onSettled([&settled](const std::string&) { settled = true; });
            EXPECT_EQ(hotKeys.registerHotKey(space, option, {0, 1}, 0).first, 0);
            while (!stuck()) {
                while (g_main_context_iteration(nullptr, FALSE)) {
                }
                g_usleep(10'000);
            }
            bool ran = false;
            g_idle_add([](gpointer flag) { *static_cast<bool*>(flag) = true; return G_SOURCE_REMOVE; }, &ran);
            while (!ran) g_main_context_iteration(nullptr, TRUE);
            EXPECT_FALSE(settled);
            EXPECT_TRUE(hotKeys.pending());
        } // cancels
        kill(portalPid, SIGCONT);
    }
}

TEST(PortalHotKeys, TriggersAreWrittenInTheShortcutsNotation) {
    EXPECT_EQ(PortalHotKeys::trigger(36, 256 | 512), "CTRL+SHIFT+Return");
    EXPECT_EQ(PortalHotKeys::trigger(53, 4096), "LOGO+Escape");
    EXPECT_EQ(PortalHotKeys::trigger(0, option), std::nullopt); // a key the portal can't name
}
