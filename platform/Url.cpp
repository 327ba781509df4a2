#include "platform/Url.h"

#include <uriparser/Uri.h>

#include <memory>

namespace tavlin::platform {

namespace {

struct UriDeleter {
    void operator()(UriUriA* uri) const {
        uriFreeUriMembersA(uri);
        delete uri;
    }
};

struct QueryListDeleter {
    void operator()(UriQueryListA* list) const { uriFreeQueryListA(list); }
};

bool present(const UriTextRangeA& range) { return range.first != nullptr; }

std::string text(const UriTextRangeA& range) {
    if (range.first == nullptr || range.afterLast == nullptr) return {};
    return std::string(range.first, range.afterLast);
}

std::string decoded(std::string raw) {
    if (raw.empty()) return raw;
    const char* end = uriUnescapeInPlaceExA(raw.data(), URI_FALSE, URI_BR_DONT_TOUCH);
    raw.resize(static_cast<std::size_t>(end - raw.data()));
    return raw;
}

// uriparser hands the decoded names and values back as C strings, so an encoded NUL
// byte would silently cut them short. Such a query cannot be represented faithfully.
bool holdsEncodedNul(std::string_view query) {
    for (std::size_t at = query.find('%'); at != std::string_view::npos; at = query.find('%', at + 1))
        if (query.substr(at + 1, 2) == "00") return true;
    return false;
}

std::optional<std::vector<QueryItem>> itemsOf(const UriUriA& uri) {
    if (!present(uri.query)) return std::nullopt;
    if (holdsEncodedNul(text(uri.query))) return std::nullopt;
    std::vector<QueryItem> items;
    if (uri.query.first == uri.query.afterLast) return items;
    UriQueryListA* head = nullptr;
    int count = 0;
    if (uriDissectQueryMallocExA(&head, &count, uri.query.first, uri.query.afterLast, URI_FALSE,
                                 URI_BR_DONT_TOUCH) != URI_SUCCESS)
        return std::nullopt;
    std::unique_ptr<UriQueryListA, QueryListDeleter> list(head);
    for (const UriQueryListA* item = list.get(); item != nullptr; item = item->next) {
        QueryItem entry{item->key != nullptr ? std::string(item->key) : std::string(), std::nullopt};
        if (item->value != nullptr) entry.value = std::string(item->value);
        items.push_back(std::move(entry));
    }
    return items;
}

} // namespace

std::optional<Url> Url::parse(std::string_view source) {
    std::unique_ptr<UriUriA, UriDeleter> uri(new UriUriA{});
    const char* first = source.empty() ? "" : source.data();
    const char* errorPos = nullptr;
    if (uriParseSingleUriExA(uri.get(), first, first + source.size(), &errorPos) != URI_SUCCESS)
        return std::nullopt;
    Url url;
    if (present(uri->scheme)) url.scheme = text(uri->scheme);
    if (present(uri->hostText)) url.host = decoded(text(uri->hostText));
    url.queryItems = itemsOf(*uri);
    return url;
}

} // namespace tavlin::platform
