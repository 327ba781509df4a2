#include "platform/linux/shortcuts/ApplicationCatalogue.h"

#include <libintl.h>

#include <filesystem>
#include <system_error>

namespace tavlin::platform {

ApplicationCatalogue::ApplicationCatalogue(std::string domain, const std::string& localeDirectory)
    : domain_(std::move(domain)) {
    if (domain_.empty()) return;
    if (!localeDirectory.empty()) bindtextdomain(domain_.c_str(), localeDirectory.c_str());
    bind_textdomain_codeset(domain_.c_str(), "UTF-8");
}

std::string ApplicationCatalogue::translate(const std::string& context, const std::string& text) const {
    if (domain_.empty() || text.empty()) return text;
    // gettext's pgettext: the message id is the context and the text joined by EOT; an
    // untranslated id comes back as the same pointer.
    const std::string id = context.empty() ? text : context + '\004' + text;
    const char* translated = dgettext(domain_.c_str(), id.c_str());
    return translated == id.c_str() ? text : std::string(translated);
}

std::string ApplicationCatalogue::localeDirectoryFor(const std::string& executable) {
    const std::filesystem::path bin = std::filesystem::path(executable).parent_path();
    if (bin.filename() != "bin") return {};
    const std::filesystem::path locale = bin.parent_path() / "share" / "locale";
    std::error_code error;
    return std::filesystem::is_directory(locale, error) ? locale.string() : std::string();
}

} // namespace tavlin::platform
