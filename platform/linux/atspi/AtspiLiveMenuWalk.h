#pragma once

#include "platform/RowBudget.h"
#include "platform/linux/atspi/AtspiCaptureBuilder.h"
#include "platform/linux/atspi/AtspiMenuEntry.h"
#include "platform/linux/atspi/AtspiRowTally.h"
#include "platform/linux/atspi/bus/AtspiDetails.h"
#include "platform/linux/atspi/bus/AtspiPeerBatch.h"
#include "platform/linux/atspi/bus/AtspiPeerConnection.h"
#include "platform/linux/atspi/model/MenuCapture.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace tavlin::platform::atspi {

// Reads the menus below a menu bar call by call, where no cache of the toolkit's tells
// them (Qt, or LibreOffice's GTK bar): what a node is decides what is read below it.
//
// The calls go out as soon as what they depend on is in, rather than a level at a time:
// a node is asked as soon as its parent told its children, and what a node turned out to
// be decides the calls that follow. At most `window` nodes are out at once, the first in
// menu order, so that reading stops once the rows the overlay can show are in.
class AtspiLiveMenuWalk {
public:
    using Deadline = std::chrono::steady_clock::time_point;
    // Nodes being read at once, at most: about as many calls in flight.
    static constexpr std::size_t window = 50;

    // Reads the menus below the bar at `barPath`; its children are asked again unless
    // given. Gives what was read by the deadline, or once the items read give the
    // budget's rows.
    static MenuCapture read(AtspiPeerConnection& peer, const std::string& barPath,
                            const std::optional<std::vector<std::string>>& barChildren, Deadline deadline,
                            const std::optional<RowBudget>& budget);

private:
    // A node's place in menu order: the child positions from the bar down, which compare
    // in the order the scanner meets the nodes.
    using Place = std::vector<std::uint32_t>;
    using Kind = AtspiMenuEntry::Kind;
    using Entry = AtspiMenuEntry;
    // A node asked: what it was told so far, and the step that follows once the calls
    // out for it are answered.
    struct Reading;
    using Step = void (AtspiLiveMenuWalk::*)(Reading&);
    struct Reading {
        Entry entry;
        Place place;
        AtspiDetails details;
        int unanswered = 0;
        Step then = nullptr;
    };
    // Whether a node read may give one of the scanner's rows.
    enum class Outcome { noRow, row };

    AtspiLiveMenuWalk(AtspiPeerConnection& peer, Deadline deadline, const std::optional<RowBudget>& budget);

    // Queues the children of the node `index`, as `kind` at `depth` in the menu of `owner`.
    void queueChildren(std::size_t index, const Place& place, int depth, Kind kind, std::size_t owner);
    // Asks the next nodes in menu order, while fewer than `window` are out and the rows
    // aren't all in.
    void askNext();
    // Sends `calls` calls for `node`; `step` follows when all are answered, told or not.
    void expect(Reading& node, int calls, Step step);
    // One of those calls is answered; as a callback.
    void answer(Reading& node);
    std::function<void()> answered(Reading& node);
    void askName(Reading& node);
    void askStates(Reading& node);

    // Each node is asked only what tells the scan something. An item of the bar: its
    // name, states and children. An item inside a menu: its states and children (below
    // the deepest items read, whether there is a submenu changes no row, so not asked),
    // then its name and key binding only if it is enabled, as only then can it give a
    // row (a separator is a disabled item too).
    void askItem(Reading& node);
    void itemTold(Reading& node);
    void enabledItemTold(Reading& node);
    // A child of an item: its role, name and children; an entry then its states and key
    // binding.
    void askChildOfItem(Reading& node);
    void childOfItemTold(Reading& node);
    void entryTold(Reading& node);
    // The node is read: the rows before the first node still to read are counted, and
    // the next nodes asked.
    void finish(Reading& node, Outcome outcome);
    void countFinalRows();

    AtspiPeerBatch batch_;
    AtspiCaptureBuilder builder_;
    std::map<Place, Entry> queue_;       // met and not yet asked, in menu order
    std::set<Place> out_;                // asked and not fully answered
    std::deque<Reading> readings_;       // what those were told; stays put as it grows
    std::unordered_set<std::size_t> asked_;
    AtspiMenuOwners owners_; // of the nodes asked
    std::size_t bar_ = 0;
    std::map<Place, std::size_t> rows_;  // items read and not yet counted
    AtspiRowTally tally_;
    bool asking_ = false;                // askNext() under way
};

} // namespace tavlin::platform::atspi
