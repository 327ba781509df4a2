#pragma once

#include "platform/Accessibility.h"
#include "platform/RowBudget.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tavlin::platform::atspi {

class AtspiLauncher;
class AtspiPeerConnection;
class AtspiPeerLinks;

// The desktop's accessibility through AT-SPI: applications by process id, their menu
// bars, and whether the desktop's accessibility is enabled (the permission).
//
// A scan reads the menu bar of the target in a few batches of calls, in menu order, until
// the items read give the row budget's rows (without one, the whole bar), and answers
// the scanner from that snapshot; it gives up after `scanBudget`, so that a hung target
// never holds the caller for longer. The first read of an application (none of its
// connections is kept yet, and a big menu bar costs it most) gets `firstScanBudget`:
// a cold read of a 5,000-item GTK menu bar takes about a second on a quiet machine, and
// a first show should not come up without the application's rows for that.
//
// Every call goes over libdbus connections of the service's own, read on the calling
// thread: use the service from one thread at a time.
class AtspiAccessibility : public AccessibilityService {
public:
    static constexpr std::chrono::milliseconds scanBudget{1000};
    static constexpr std::chrono::milliseconds firstScanBudget{3000};

    // `budget`: what the rows read are for, as the program's scanner counts them.
    explicit AtspiAccessibility(std::optional<RowBudget> budget);
    ~AtspiAccessibility() override;
    AtspiAccessibility(const AtspiAccessibility&) = delete;
    AtspiAccessibility& operator=(const AtspiAccessibility&) = delete;

    AXElementRef createApplication(std::int32_t pid) override;
    bool isProcessTrusted() override;
    bool isProcessTrustedWithOptions(bool prompt) override;

    // What tells a read under way that its result is no longer wanted: it then stops at
    // its next batch of calls, or within its wait for one. Asked on the reading thread.
    void abandonWhen(std::function<bool()> abandoned);

    // Whether an application with this process id is registered on the accessibility bus.
    bool hasApplication(std::int32_t pid);
    // The process id of the first registered application with this name.
    std::optional<std::int32_t> applicationNamed(const std::string& name);

private:
    // The connection to the accessibility bus that reaches the registry; opened when
    // first needed, and anew once closed.
    std::shared_ptr<AtspiPeerConnection> registry();

    const std::optional<RowBudget> budget_;
    const std::unique_ptr<AtspiLauncher> launcher_;
    std::shared_ptr<AtspiPeerConnection> registry_;
    // Kept from one scan to the next: how to reach the applications shown last.
    const std::shared_ptr<AtspiPeerLinks> links_;
    std::shared_ptr<const std::function<bool()>> abandoned_;
};

} // namespace tavlin::platform::atspi
