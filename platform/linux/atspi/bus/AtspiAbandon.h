#pragma once

#include <chrono>
#include <functional>
#include <utility>

namespace tavlin::platform::atspi {

// Whether the read under way on this thread is no longer wanted (the show it was for
// has been dropped). Its batches then send no more calls and stop waiting, as at their
// deadline, so that the next read need not wait for it. Set for a thread while an
// object of this type lives there.
class AtspiAbandon {
public:
    using Check = std::function<bool()>;

    explicit AtspiAbandon(const Check* check) : previous_(std::exchange(current(), check)) {}
    ~AtspiAbandon() { current() = previous_; }
    AtspiAbandon(const AtspiAbandon&) = delete;
    AtspiAbandon& operator=(const AtspiAbandon&) = delete;

    static bool requested() {
        const Check* check = current();
        return check && *check && (*check)();
    }
    // How often a batch waiting for replies asks.
    static constexpr std::chrono::milliseconds pollInterval{50};

private:
    static const Check*& current() {
        static thread_local const Check* check = nullptr;
        return check;
    }
    const Check* previous_;
};

} // namespace tavlin::platform::atspi
