#pragma once

#include <string>

namespace tavlin::platform {

// An application's gettext catalogue (its text domain), for texts it marked translatable:
// they are looked up in the current locale's language, as the application itself would.
class ApplicationCatalogue {
public:
    // Binds `domain` to the catalogues under `localeDirectory` (none: gettext's default,
    // /usr/share/locale), read as UTF-8.
    ApplicationCatalogue(std::string domain, const std::string& localeDirectory);

    // The translation of `text` in `context` (empty for none); the text itself when the
    // catalogue has none.
    std::string translate(const std::string& context, const std::string& text) const;
    const std::string& domain() const { return domain_; }

    // Where an application installed under a prefix keeps its catalogues: beside its
    // executable's bin folder (/usr/bin/x: /usr/share/locale); empty when that folder is missing.
    static std::string localeDirectoryFor(const std::string& executable);

private:
    std::string domain_;
};

} // namespace tavlin::platform
