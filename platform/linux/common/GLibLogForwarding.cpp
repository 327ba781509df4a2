#include "platform/linux/common/GLibLogForwarding.h"

// GLib's headers go before Qt's, whose "signals" keyword clashes with them.
#include <glib.h>

#include <QLoggingCategory>
#include <QString>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace tavlin::platform {
namespace {

// Tavlin's domains: "tavlin-…", or "tavlin.…" as the Wayland adapter names its own.
bool isTavlinDomain(std::string_view domain) {
    return domain.size() > 7 && domain.starts_with("tavlin") && (domain[6] == '-' || domain[6] == '.');
}

// The category of each domain met, made at its first message. Kept to the very end of
// the process, as a worker thread may still log while the process exits.
class Categories {
public:
    const QLoggingCategory& forDomain(std::string_view domain) {
        std::lock_guard lock(mutex_);
        auto found = byDomain_.find(domain);
        if (found == byDomain_.end()) {
            std::string name(domain);
            std::replace(name.begin(), name.end(), '-', '.');
            found = byDomain_.emplace(std::string(domain), std::make_unique<Named>(std::move(name))).first;
        }
        return found->second->category;
    }

private:
    // A category keeps a pointer to its name.
    struct Named {
        explicit Named(std::string categoryName) : name(std::move(categoryName)), category(name.c_str(), QtInfoMsg) {}
        const std::string name;
        QLoggingCategory category;
    };

    std::mutex mutex_;
    std::map<std::string, std::unique_ptr<Named>, std::less<>> byDomain_;
};

Categories& categories() {
    static auto* kept = new Categories;
    return *kept;
}

std::string_view fieldText(const GLogField& field) {
    const auto* text = static_cast<const char*>(field.value);
    if (!text) return {};
    return field.length < 0 ? std::string_view(text) : std::string_view(text, static_cast<std::size_t>(field.length));
}

GLogWriterOutput writeMessage(GLogLevelFlags level, const GLogField* fields, gsize count, gpointer data) {
    std::string_view domain, message;
    for (gsize i = 0; i < count; ++i) {
        const std::string_view key(fields[i].key);
        if (key == "GLIB_DOMAIN") domain = fieldText(fields[i]);
        else if (key == "MESSAGE") message = fieldText(fields[i]);
    }
    if (!isTavlinDomain(domain)) return g_log_writer_default(level, fields, count, data);

    const QLoggingCategory& category = categories().forDomain(domain);
    const QString text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    if (level & (G_LOG_LEVEL_ERROR | G_LOG_LEVEL_CRITICAL)) qCCritical(category).noquote() << text;
    else if (level & G_LOG_LEVEL_WARNING) qCWarning(category).noquote() << text;
    else if (level & (G_LOG_LEVEL_MESSAGE | G_LOG_LEVEL_INFO)) qCInfo(category).noquote() << text;
    else qCDebug(category).noquote() << text;
    return G_LOG_WRITER_HANDLED;
}

} // namespace

void GLibLogForwarding::install() {
    static std::once_flag installed;
    std::call_once(installed, [] { g_log_set_writer_func(writeMessage, nullptr, nullptr); });
}

} // namespace tavlin::platform
