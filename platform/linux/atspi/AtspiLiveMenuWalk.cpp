#include "platform/linux/atspi/AtspiLiveMenuWalk.h"

#include "platform/linux/atspi/model/MenuSnapshot.h"

#include <glib.h>

namespace tavlin::platform::atspi {

MenuCapture AtspiLiveMenuWalk::read(AtspiPeerConnection& peer, const std::string& barPath,
                                    const std::optional<std::vector<std::string>>& barChildren, Deadline deadline,
                                    const std::optional<RowBudget>& budget) {
    AtspiLiveMenuWalk walk(peer, deadline, budget);
    AtspiCaptureBuilder& builder = walk.builder_;
    const std::size_t bar = walk.bar_ = builder.nodeFor(barPath);
    if (barChildren) {
        builder.setChildren(bar, *barChildren);
    } else {
        AtspiPeerBatch batch(peer, deadline);
        builder.askChildren(batch, bar);
        batch.wait();
        if (batch.timedOut()) return builder.take();
    }
    builder.node(bar).known = true;
    builder.node(bar).role = MenuCapture::Role::menuBar;
    walk.asked_.insert(bar);
    walk.queueChildren(bar, {}, 1, Kind::item, bar);
    walk.askNext();
    walk.batch_.wait();
    if (walk.tally_.full()) g_debug("the rows shown are in: the menus past them not read");
    return builder.take();
}

AtspiLiveMenuWalk::AtspiLiveMenuWalk(AtspiPeerConnection& peer, Deadline deadline, const std::optional<RowBudget>& budget)
    : batch_(peer, deadline), tally_(budget) {}

void AtspiLiveMenuWalk::queueChildren(std::size_t index, const Place& place, int depth, Kind kind, std::size_t owner) {
    const std::vector<std::size_t>& children = builder_.node(index).children;
    for (std::uint32_t i = 0; i < children.size(); ++i) {
        Place at = place;
        at.push_back(i);
        queue_.emplace(std::move(at), Entry{children[i], depth, kind, index, owner});
    }
}

void AtspiLiveMenuWalk::askNext() {
    // Nodes answered while this loop sends (past the deadline, at once) only queue what
    // they open; the loop sends it.
    if (asking_) return;
    asking_ = true;
    while (!queue_.empty() && out_.size() < window && !tally_.full()) {
        auto next = queue_.extract(queue_.begin());
        if (!asked_.insert(next.mapped().index).second) continue;
        out_.insert(next.key());
        owners_.met(next.mapped());
        Reading& node = readings_.emplace_back(Reading{next.mapped(), std::move(next.key()), {}});
        if (node.entry.kind == Kind::childOfItem)
            askChildOfItem(node);
        else
            askItem(node);
    }
    asking_ = false;
}

void AtspiLiveMenuWalk::expect(Reading& node, int calls, Step step) {
    node.unanswered = calls;
    node.then = step;
}

void AtspiLiveMenuWalk::answer(Reading& node) {
    if (--node.unanswered == 0) (this->*node.then)(node);
}

std::function<void()> AtspiLiveMenuWalk::answered(Reading& node) {
    return [this, &node] { answer(node); };
}

void AtspiLiveMenuWalk::askName(Reading& node) {
    batch_.name(builder_.path(node.entry.index), [this, &node](std::optional<std::string> name) {
        if (name) {
            node.details.name = std::move(*name);
            node.details.known = true;
        }
        answer(node);
    });
}

void AtspiLiveMenuWalk::askStates(Reading& node) {
    batch_.states(builder_.path(node.entry.index), [this, &node](std::optional<std::uint64_t> states) {
        if (states) {
            node.details.states = *states;
            node.details.statesKnown = true;
        }
        answer(node);
    });
}

void AtspiLiveMenuWalk::askItem(Reading& node) {
    const bool barItem = node.entry.depth == 1;
    const bool deepest = node.entry.depth >= MenuSnapshot::itemDepthBound;
    expect(node, (barItem ? 2 : 1) + (deepest ? 0 : 1), &AtspiLiveMenuWalk::itemTold);
    askStates(node);
    if (barItem) askName(node);
    if (!deepest) builder_.askChildren(batch_, node.entry.index, answered(node));
}

void AtspiLiveMenuWalk::itemTold(Reading& node) {
    const Entry& entry = node.entry;
    builder_.apply(entry.index, node.details);
    if (entry.depth < MenuSnapshot::itemDepthBound)
        queueChildren(entry.index, node.place, entry.depth, Kind::childOfItem, entry.index);
    if (entry.depth == 1 || !builder_.node(entry.index).sensitive) {
        finish(node, entry.depth > 1 ? Outcome::row : Outcome::noRow);
        return;
    }
    expect(node, 2, &AtspiLiveMenuWalk::enabledItemTold);
    askName(node);
    builder_.askKeyBinding(batch_, entry.index, answered(node));
}

void AtspiLiveMenuWalk::enabledItemTold(Reading& node) {
    builder_.apply(node.entry.index, node.details);
    finish(node, Outcome::row);
}

void AtspiLiveMenuWalk::askChildOfItem(Reading& node) {
    expect(node, 3, &AtspiLiveMenuWalk::childOfItemTold);
    batch_.role(builder_.path(node.entry.index), [this, &node](std::optional<std::uint32_t> role) {
        if (role) node.details.role = *role;
        answer(node);
    });
    askName(node);
    builder_.askChildren(batch_, node.entry.index, answered(node));
}

void AtspiLiveMenuWalk::childOfItemTold(Reading& node) {
    const Entry& entry = node.entry;
    builder_.apply(entry.index, node.details);
    if (MenuSnapshot::isMenuOf(builder_.node(entry.parent), builder_.node(entry.index))) {
        queueChildren(entry.index, node.place, entry.depth + 1, Kind::item, entry.owner);
        finish(node, Outcome::noRow);
        return;
    }
    if (entry.depth + 1 < MenuSnapshot::itemDepthBound)
        queueChildren(entry.index, node.place, entry.depth + 1, Kind::childOfItem, entry.index);
    node.details = {};
    expect(node, 2, &AtspiLiveMenuWalk::entryTold);
    askStates(node);
    builder_.askKeyBinding(batch_, entry.index, answered(node));
}

void AtspiLiveMenuWalk::entryTold(Reading& node) {
    MenuCapture::Node& item = builder_.node(node.entry.index);
    item.visible = !node.details.statesKnown || node.details.has(ATSPI_STATE_VISIBLE);
    item.sensitive = !node.details.statesKnown || node.details.has(ATSPI_STATE_SENSITIVE);
    finish(node, Outcome::row);
}

void AtspiLiveMenuWalk::finish(Reading& node, Outcome outcome) {
    if (outcome == Outcome::row) rows_.emplace(node.place, node.entry.index);
    out_.erase(node.place);
    countFinalRows();
    askNext();
}

void AtspiLiveMenuWalk::countFinalRows() {
    // The rows before the first node still to read are final.
    const Place* first = queue_.empty() ? nullptr : &queue_.begin()->first;
    if (!out_.empty() && (!first || *out_.begin() < *first)) first = &*out_.begin();
    while (!rows_.empty() && (!first || rows_.begin()->first < *first)) {
        tally_.add(builder_.capture(), owners_.itemsDownTo(rows_.begin()->second, bar_));
        rows_.erase(rows_.begin());
    }
}

} // namespace tavlin::platform::atspi
