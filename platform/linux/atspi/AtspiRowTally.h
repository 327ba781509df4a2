#pragma once

#include "Tavlin/ShortcutScanner.h"
#include "platform/linux/atspi/model/KeyBindingParser.h"
#include "platform/linux/atspi/model/MenuCapture.h"

#include <string>
#include <unordered_set>

namespace tavlin::platform::atspi {

// The rows the scanner will make of the items read so far, counted as it counts them:
// an enabled, titled item whose key binding holds a shortcut, each title and binding
// once. Reading can stop when it is full.
class AtspiRowTally {
public:
    void add(const MenuCapture::Node& node) {
        if (!node.known || !node.sensitive || node.name.empty() || node.role == MenuCapture::Role::separator ||
            !node.keyBinding || KeyBindingParser::parse(*node.keyBinding, node.name).empty())
            return;
        rows_.insert(node.name + '\0' + *node.keyBinding);
    }
    bool full() const { return rows_.size() >= ShortcutScanner::resultCap; }

private:
    std::unordered_set<std::string> rows_;
};

} // namespace tavlin::platform::atspi
