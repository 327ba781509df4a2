#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform {

// One name=value pair of a URL's query, percent-decoded; '+' stays '+'.
struct QueryItem {
    std::string name;
    std::optional<std::string> value; // absent when the item has no '='
    friend bool operator==(const QueryItem&, const QueryItem&) = default;
};

// The parts of a URL the shell reads. Each part may be absent.
struct Url {
    std::optional<std::string> scheme;               // as written
    std::optional<std::string> host;                 // percent-decoded
    std::optional<std::vector<QueryItem>> queryItems; // in URL order; absent without a query

    // The URL's parts, or none when the text is not a URL (RFC 3986, read by uriparser).
    static std::optional<Url> parse(std::string_view text);

    friend bool operator==(const Url&, const Url&) = default;
};

} // namespace tavlin::platform
