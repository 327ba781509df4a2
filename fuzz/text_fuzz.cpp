// Random texts for the text rules and the key notation.
#include "Tavlin/KeyNotation.h"
#include "TavlinUI/Text.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace tavlin;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    const std::string a = data.ConsumeRandomLengthString(256);
    const std::string b = data.ConsumeRandomLengthString(256);
    const std::optional<std::int64_t> glyph =
        data.ConsumeBool() ? std::optional<std::int64_t>(data.ConsumeIntegral<std::int64_t>()) : std::nullopt;
    const std::optional<std::int64_t> key =
        data.ConsumeBool() ? std::optional<std::int64_t>(data.ConsumeIntegral<std::int64_t>()) : std::nullopt;
    const std::int64_t modifiers = data.ConsumeIntegral<std::int64_t>();

    // Equal texts hash alike, in either order.
    if (Text::equal(a, b) != Text::equal(b, a)) __builtin_trap();
    if (Text::equal(a, b) && Text::hash(a) != Text::hash(b)) __builtin_trap();
    // The rows and groups are told apart by identity(): it must agree with equal().
    if (Text::equal(a, b) != (Text::identity(a) == Text::identity(b))) __builtin_trap();
    // The canonical form is stable and equal to what it came from (for valid input).
    const std::string n = Text::nfc(a);
    if (Text::nfc(n) != n) __builtin_trap();
    if (Text::equal(n, a) && Text::hash(n) != Text::hash(a)) __builtin_trap();
    (void)Text::upper(a);
    (void)Text::contains(a, b);

    const std::string prefix = KeyNotation::prefix(modifiers);
    if (prefix.size() > 12) __builtin_trap();
    const auto part = KeyNotation::keyPart(a, glyph, key);
    if (part.has_value() != (!a.empty() || glyph || key)) __builtin_trap();
    return 0;
}
