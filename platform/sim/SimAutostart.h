#pragma once

#include "platform/Autostart.h"

#include <cstddef>
#include <string>

namespace tavlin::platform::sim {

// The start-at-login setting held in memory; the test may change it behind the program's
// back (as a user deleting the file would) or make every change fail.
class SimAutostart : public Autostart {
public:
    bool isEnabled() const override {
        ++queries_;
        return enabled_;
    }
    bool setEnabled(bool enabled) override {
        if (refuseChanges_) return false;
        enabled_ = enabled;
        return true;
    }

    std::string problem() const override { return refuseChanges_ ? "the folder is read-only" : ""; }

    void set(bool enabled) { enabled_ = enabled; }
    void refuseChanges(bool refuse) { refuseChanges_ = refuse; }
    std::size_t queries() const { return queries_; }

private:
    bool enabled_ = false;
    bool refuseChanges_ = false;
    mutable std::size_t queries_ = 0;
};

} // namespace tavlin::platform::sim
