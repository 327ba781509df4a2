#pragma once

#include <string>
#include <vector>

namespace tavlin {

// Where the desktop keeps its accessibility settings: a link that opens them, and the
// identifiers of the settings application to bring forward, in the order tried.
struct AccessibilitySettingsLocation {
    std::string deepLink = "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
    std::vector<std::string> applicationIdentifiers{"com.apple.systempreferences", "com.apple.SystemSettings"};
};

} // namespace tavlin
