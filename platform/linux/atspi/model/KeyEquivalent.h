#pragma once

#include "platform/KeyEquivalent.h"

namespace tavlin::platform::atspi {

// The AT-SPI reader's name for a key equivalent, which the other sources share.
using KeyEquivalent = platform::KeyEquivalent;

} // namespace tavlin::platform::atspi
