// Random accessibility trees for the scanner: any value kind under any attribute,
// children lists that point anywhere (cycles included), failing reads, malformed texts.
#include "Tavlin/ShortcutScanner.h"
#include "platform/sim/SimAccessibility.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace tavlin;
using namespace tavlin::platform;
using namespace tavlin::platform::sim;

namespace {

const char* const attributes[] = {"AXMenuBar", "AXChildren", "AXTitle", "AXEnabled", "AXMenuItemCmdChar",
                                  "AXMenuItemCmdGlyph", "AXMenuItemCmdVirtualKey", "AXMenuItemCmdModifiers",
                                  "AXMenuItemCmdFollowingChords"};

AXValue randomValue(FuzzedDataProvider& data, const std::vector<std::shared_ptr<SimElement>>& pool, int depth) {
    switch (data.ConsumeIntegralInRange(0, 5)) {
    case 0: return AXValue{AXElementRef(pool[data.ConsumeIntegralInRange<std::size_t>(0, pool.size() - 1)])};
    case 1: {
        AXValueList list;
        const int length = data.ConsumeIntegralInRange(0, depth > 1 ? 2 : 40);
        for (int i = 0; i < length && data.remaining_bytes() > 0; ++i)
            list.push_back(data.ConsumeBool() || depth > 1
                               ? AXValue{AXElementRef(pool[data.ConsumeIntegralInRange<std::size_t>(0, pool.size() - 1)])}
                               : randomValue(data, pool, depth + 1));
        return AXValue{std::move(list)};
    }
    case 2: return AXValue{data.ConsumeRandomLengthString(64)};
    case 3: return AXValue{AXNumber{data.ConsumeIntegral<std::int64_t>()}};
    case 4: return AXValue{AXNumber{data.ConsumeFloatingPoint<double>()}};
    default: return AXValue{AXElementRef()};
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider data(bytes, size);
    std::vector<std::shared_ptr<SimElement>> pool(data.ConsumeIntegralInRange<std::size_t>(1, 24));
    for (auto& element : pool) element = SimElement::make();
    while (data.remaining_bytes() > 0) {
        auto& element = *pool[data.ConsumeIntegralInRange<std::size_t>(0, pool.size() - 1)];
        const char* attribute = attributes[data.ConsumeIntegralInRange(0, 7)];
        const std::int32_t status = data.ConsumeIntegralInRange(0, 5) == 0 ? data.ConsumeIntegral<std::int32_t>() : 0;
        std::optional<AXValue> value;
        if (data.ConsumeIntegralInRange(0, 7) != 0) value = randomValue(data, pool, 0);
        element.setResult(attribute, AXReadResult{status, std::move(value)});
    }
    SimAccessibilityService ax;
    ax.addApplication(1, pool[0]);
    const auto rows = ShortcutScanner::shortcuts(ax, 1);
    if (rows.size() > ShortcutScanner::resultCap) __builtin_trap();
    for (auto& element : pool) element->clear(); // break the cycles
    return 0;
}
