#include "platform/linux/desktop/AccessibilitySettings.h"

#include <QStandardPaths>
#include <QString>

#include <algorithm>

namespace tavlin::platform {
namespace {

bool isInstalled(const std::string& program) {
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

// XDG_CURRENT_DESKTOP is a colon-separated list, e.g. "ubuntu:GNOME".
bool namesDesktop(std::string_view currentDesktop, std::string_view desktop) {
    std::size_t start = 0;
    while (start <= currentDesktop.size()) {
        const std::size_t end = std::min(currentDesktop.find(':', start), currentDesktop.size());
        if (currentDesktop.substr(start, end - start) == desktop) return true;
        start = end + 1;
    }
    return false;
}

} // namespace

const std::vector<AccessibilitySettings::Tool>& AccessibilitySettings::known() {
    static const std::vector<Tool> tools{
        {"gnome-control-center", {"universal-access"}, {"org.gnome.Settings", "gnome-control-center"}, "GNOME"},
        {"systemsettings", {"kcm_access"}, {"org.kde.systemsettings", "systemsettings"}, "KDE"},
        {"xfce4-accessibility-settings", {}, {"xfce4-accessibility-settings"}, "XFCE"},
    };
    return tools;
}

std::optional<AccessibilitySettings::Tool> AccessibilitySettings::installed(std::string_view currentDesktop) {
    for (const Tool& tool : known())
        if (namesDesktop(currentDesktop, tool.desktop) && isInstalled(tool.program)) return tool;
    for (const Tool& tool : known())
        if (isInstalled(tool.program)) return tool;
    return std::nullopt;
}

std::vector<std::string> AccessibilitySettings::applicationIds(std::string_view currentDesktop) {
    std::vector<std::string> ids;
    auto add = [&ids](const Tool& tool) {
        for (const auto& id : tool.applicationIds)
            if (std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    };
    if (auto tool = installed(currentDesktop)) add(*tool);
    for (const Tool& tool : known()) add(tool);
    return ids;
}

} // namespace tavlin::platform
