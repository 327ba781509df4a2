#include "TavlinUI/Overlay/QtPanel.h"

#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/OverlayView.h"
#include "platform/ShowTiming.h"

#include <cmath>

namespace tavlin {

using platform::ShowTiming;

namespace {
QRect toQRect(const platform::Rect& r) {
    return QRect(static_cast<int>(std::lround(r.x)), static_cast<int>(std::lround(r.y)),
                 static_cast<int>(std::lround(r.width)), static_cast<int>(std::lround(r.height)));
}
} // namespace

QtPanel::QtPanel(const platform::Rect& contentRect, KeyText::Notation notation)
    : window_(std::make_unique<OverlayPanel>(toQRect(contentRect))), notation_(notation) {}

QtPanel::~QtPanel() = default;

void QtPanel::setWindowHints(std::unique_ptr<platform::PanelWindowHints> hints) {
    window_->setWindowHints(std::move(hints));
}

void QtPanel::setFrame(const platform::Rect& frame, bool display) {
    window_->setGeometry(toQRect(frame));
    if (display && window_->isVisible()) window_->repaint();
}

void QtPanel::setContent(const ShortcutOverlay& overlay) {
    ShowTiming::mark("content given");
    // The same menus as last time (the common case: the same application shown again)
    // keep the view, its rows laid out and its backdrop drawn; only the actions are new.
    // Otherwise a new view takes over what of the old one it would draw the same.
    auto* previous = dynamic_cast<OverlayView*>(window_->content());
    if (previous && previous->shows(overlay, notation_)) {
        previous->reuseFor(overlay);
    } else {
        auto* view = new OverlayView(overlay, notation_);
        if (previous) view->takeOverFrom(*previous);
        window_->setContent(view);
    }
    ShowTiming::mark("view built");
}

void QtPanel::makeKeyAndOrderFront() {
    window_->makeKeyAndOrderFront();
    ShowTiming::mark("window shown");
}

bool QtPanel::isVisible() const { return window_->isVisible(); }

void QtPanel::orderOut() { window_->hide(); }

void QtPanel::observeKeyLoss(std::function<void()> handler) {
    window_->setKeyLossHandler(std::move(handler), static_cast<int>(keyGraceSeconds * 1000));
}

} // namespace tavlin
