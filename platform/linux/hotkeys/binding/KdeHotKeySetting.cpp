#include "platform/linux/hotkeys/binding/KdeHotKeySetting.h"

#include "platform/linux/common/GLibHandle.h" // before Qt

#include <QKeySequence>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

namespace tavlin::platform {
namespace {

constexpr const char* service = "org.kde.kglobalaccel";
constexpr const char* path = "/kglobalaccel";
constexpr const char* interface = "org.kde.KGlobalAccel";
constexpr std::uint32_t setPresent = 2, noAutoloading = 4; // kglobalaccel's setShortcut flags

using Variant = GLibHandle<GVariant>;
using Error = GLibHandle<GError>;

GVariant* actionId() {
    const char* id[] = {KdeHotKeySetting::desktopFile, KdeHotKeySetting::launchAction, "Tavlin", "Show shortcuts"};
    return g_variant_new_strv(id, 4);
}

// Writes the hidden desktop entry `file` into `folder`; why not, when it can't.
std::optional<std::string> writeDesktopEntry(const std::string& folder, const std::string& file,
                                             const std::string& exec) {
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) return std::strerror(errno);
    GLibHandle<GKeyFile> entry(g_key_file_new());
    constexpr const char* group = "Desktop Entry";
    g_key_file_set_string(entry.get(), group, "Type", "Application");
    g_key_file_set_string(entry.get(), group, "Name", "Tavlin: show shortcuts");
    g_key_file_set_string(entry.get(), group, "Exec", exec.c_str());
    g_key_file_set_string(entry.get(), group, "Icon", "tavlin");
    g_key_file_set_boolean(entry.get(), group, "NoDisplay", TRUE);
    g_key_file_set_boolean(entry.get(), group, "X-KDE-GlobalAccel-CommandShortcut", TRUE);
    GError* raw = nullptr;
    if (g_key_file_save_to_file(entry.get(), (folder + "/" + file).c_str(), &raw)) return std::nullopt;
    const Error error(raw);
    return std::string(error ? error->message : "unknown error");
}

} // namespace

std::string KdeHotKeySetting::execLine(const std::string& program, const std::string& arguments) {
    // Inside double quotes, " ` $ and \ take a backslash; % is a field code unless doubled.
    std::string quoted = "\"";
    for (char c : program) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += '\\';
        quoted += c;
        if (c == '%') quoted += '%';
    }
    return quoted + "\" " + arguments;
}

HotKeySettingOutcome KdeHotKeySetting::bind(const std::string& program, const std::string& arguments,
                                      const std::string& applicationsDir, const std::string& busAddress) {
    using Result = HotKeySettingOutcome::Result;
    GError* raw = nullptr;
    GLibHandle<GDBusConnection> bus(
        busAddress.empty() ? g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &raw)
                           : g_dbus_connection_new_for_address_sync(
                                 busAddress.c_str(),
                                 GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                                                      G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
                                 nullptr, nullptr, &raw));
    Error error(raw);
    if (!bus) return {Result::failed, std::string("No session bus: ") + (error ? error->message : "")};
    auto call = [&](const char* method, GVariant* parameters, const char* replyType) {
        GError* raw = nullptr;
        Variant reply(g_dbus_connection_call_sync(bus.get(), service, path, interface, method, parameters,
                                                  replyType ? G_VARIANT_TYPE(replyType) : nullptr, G_DBUS_CALL_FLAGS_NONE, 10'000, nullptr,
                                                  &raw));
        error.reset(raw);
        return reply;
    };

    // Who holds Alt+Space now (KRunner, by default).
    const int key = QKeySequence(Qt::ALT | Qt::Key_Space)[0].toCombined();
    Variant holder = call("action", g_variant_new("(i)", key), "(as)");
    if (!holder)
        return {Result::failed, std::string("KDE's global shortcuts service (kglobalaccel) did not answer: ") +
                                    (error ? error->message : "")};
    std::vector<std::string> held;
    {
        gchar** strings = nullptr;
        g_variant_get(holder.get(), "(^as)", &strings);
        for (gchar** s = strings; *s; ++s) held.emplace_back(*s);
        g_strfreev(strings);
    }
    if (held.size() == 4 && held[0] != desktopFile)
        return {Result::taken, "Alt+Space is taken by " + held[2] + " (\"" + held[3] +
                                   "\"). Free it in System Settings → Shortcuts → " + held[2] +
                                   ", then run this again."};

    if (const auto problem = writeDesktopEntry(applicationsDir, desktopFile, execLine(program, arguments)))
        return {Result::failed, "Could not write " + applicationsDir + "/" + desktopFile + ": " + *problem};
    if (!call("doRegister", g_variant_new("(@as)", actionId()), nullptr))
        return {Result::failed, std::string("kglobalaccel refused the shortcut: ") + (error ? error->message : "")};
    Variant keys = call("setShortcut", g_variant_new("(@as@aiu)", actionId(),
                                                     g_variant_new_fixed_array(G_VARIANT_TYPE_INT32, &key, 1,
                                                                               sizeof key),
                                                     setPresent | noAutoloading),
                        "(ai)");
    if (!keys) return {Result::failed, std::string("kglobalaccel refused the key: ") + (error ? error->message : "")};
    Variant list(g_variant_get_child_value(keys.get(), 0));
    gsize count = 0;
    const auto* set = static_cast<const gint32*>(g_variant_get_fixed_array(list.get(), &count, sizeof(gint32)));
    if (std::find(set, set + count, key) == set + count)
        return {Result::taken, "kglobalaccel kept Alt+Space for another shortcut; see System Settings → Shortcuts."};
    return {Result::bound,
            "KDE global shortcut \"Tavlin: show shortcuts\": Alt+Space runs " + program + " " + arguments + "."};
}

} // namespace tavlin::platform
