#include "platform/linux/desktop/XdgAutostart.h"

#include "platform/linux/common/GLibHandle.h" // before Qt

#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

#include <glib.h>
#include <glib/gstdio.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

Q_LOGGING_CATEGORY(lcAutostart, "tavlin.autostart")

namespace tavlin::platform {
namespace {

constexpr const char* group = G_KEY_FILE_DESKTOP_GROUP;

using KeyFile = GLibHandle<GKeyFile>;

std::string entryIn(const std::string& configDir) {
    return configDir + "/autostart/" + XdgAutostart::entryName;
}

// Whether a session would start what the entry at `path` names: the entry can be read and
// is neither hidden nor switched off through GNOME's key.
bool entryStarts(const std::string& path) {
    KeyFile file(g_key_file_new());
    GError* error = nullptr;
    if (!g_key_file_load_from_file(file.get(), path.c_str(), G_KEY_FILE_NONE, &error)) {
        qCWarning(lcAutostart) << "unreadable entry" << path.c_str() << error->message;
        g_error_free(error);
        return false;
    }
    const auto flag = [&](const char* key, bool absent) {
        if (!g_key_file_has_key(file.get(), group, key, nullptr)) return absent;
        return static_cast<bool>(g_key_file_get_boolean(file.get(), group, key, nullptr));
    };
    return !flag(G_KEY_FILE_DESKTOP_KEY_HIDDEN, false) && flag("X-GNOME-Autostart-enabled", true);
}

} // namespace

XdgAutostart::XdgAutostart(std::string configHome, std::vector<std::string> configDirs, std::string command)
    : configHome_(std::move(configHome)), configDirs_(std::move(configDirs)), command_(std::move(command)) {}

XdgAutostart XdgAutostart::forCurrentUser(const std::string& programPath) {
    QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation);
    const QString home = dirs.isEmpty() ? QString() : dirs.takeFirst();
    std::vector<std::string> systemDirs;
    for (const QString& dir : dirs) systemDirs.push_back(dir.toStdString());

    const QFileInfo program(QString::fromStdString(programPath));
    const QFileInfo onPath(QStandardPaths::findExecutable(program.fileName()));
    const bool foundByName = onPath.exists() && onPath.canonicalFilePath() == program.canonicalFilePath();
    const std::string command = foundByName ? execLine(program.fileName().toStdString())
                                            : execLine(program.absoluteFilePath().toStdString());
    return XdgAutostart(home.toStdString(), std::move(systemDirs), command);
}

std::string XdgAutostart::userEntryPath() const {
    return entryIn(configHome_);
}

bool XdgAutostart::isEnabled() const {
    // The first entry found decides: the user's own before the system's.
    if (g_file_test(userEntryPath().c_str(), G_FILE_TEST_EXISTS)) return entryStarts(userEntryPath());
    for (const std::string& dir : configDirs_)
        if (g_file_test(entryIn(dir).c_str(), G_FILE_TEST_EXISTS)) return entryStarts(entryIn(dir));
    return false;
}

bool XdgAutostart::setEnabled(bool enabled) {
    problem_.clear();
    if (enabled) return write(false);
    for (const std::string& dir : configDirs_)
        if (g_file_test(entryIn(dir).c_str(), G_FILE_TEST_EXISTS)) return write(true); // overrides the system's
    if (g_remove(userEntryPath().c_str()) == 0 || errno == ENOENT) return true;
    problem_ = "can't remove " + userEntryPath() + ": " + std::strerror(errno);
    qCWarning(lcAutostart) << problem_.c_str();
    return false;
}

bool XdgAutostart::write(bool hidden) {
    const std::string folder = configHome_ + "/autostart";
    if (g_mkdir_with_parents(folder.c_str(), 0700) != 0) {
        problem_ = "can't create " + folder + ": " + std::strerror(errno);
        qCWarning(lcAutostart) << problem_.c_str();
        return false;
    }
    KeyFile file(g_key_file_new());
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_TYPE, G_KEY_FILE_DESKTOP_TYPE_APPLICATION);
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_NAME, "Tavlin");
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_COMMENT,
                          "Shows the keyboard shortcuts of the application in front (Alt+Space)");
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_EXEC, command_.c_str());
    g_key_file_set_string(file.get(), group, G_KEY_FILE_DESKTOP_KEY_ICON, "tavlin");
    g_key_file_set_boolean(file.get(), group, G_KEY_FILE_DESKTOP_KEY_TERMINAL, FALSE);
    if (hidden) g_key_file_set_boolean(file.get(), group, G_KEY_FILE_DESKTOP_KEY_HIDDEN, TRUE);
    else g_key_file_set_boolean(file.get(), group, "X-GNOME-Autostart-enabled", TRUE);
    GError* error = nullptr;
    if (!g_key_file_save_to_file(file.get(), userEntryPath().c_str(), &error)) {
        problem_ = std::string("can't write ") + userEntryPath() + ": " + error->message;
        qCWarning(lcAutostart) << problem_.c_str();
        g_error_free(error);
        return false;
    }
    return true;
}

std::string XdgAutostart::execArgument(const std::string& program) {
    // The desktop entry rules: an argument with a reserved character goes in double
    // quotes, where ", `, $ and \ take a backslash; a literal % is written %%.
    constexpr std::string_view reserved = " \t\n\"'\\><~|&;$*?#()`";
    constexpr std::string_view escaped = "\"`$\\";
    const bool quote = program.find_first_of(reserved) != std::string::npos;
    std::string out = quote ? "\"" : "";
    for (const char c : program) {
        if (c == '%') out += '%';
        else if (quote && escaped.find(c) != std::string_view::npos) out += '\\';
        out += c;
    }
    if (quote) out += '"';
    return out;
}

std::string XdgAutostart::execLine(const std::string& program) {
    const std::string argument = execArgument(program);
    return program.find('%') == std::string::npos ? argument : "env " + argument;
}

} // namespace tavlin::platform
