#include "TavlinUI/Overlay/QtPanel.h"

#include "TavlinUI/Overlay/OverlayPanel.h"
#include "TavlinUI/Overlay/OverlayView.h"
#include "platform/linux/ShowTiming.h"

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

void QtPanel::setFrame(const platform::Rect& frame, bool display) {
    window_->setGeometry(toQRect(frame));
    if (display && window_->isVisible()) window_->repaint();
}

void QtPanel::setContent(const ShortcutOverlay& overlay) {
    ShowTiming::mark("content given");
    // The same menus as last time (the common case: the same application shown again)
    // keep the view, its rows laid out and its shadow drawn; only the actions are new.
    auto* view = dynamic_cast<OverlayView*>(window_->content());
    if (view && view->shows(overlay, notation_)) {
        view->reuseFor(overlay);
    } else {
        window_->setContent(new OverlayView(overlay, notation_));
    }
    ShowTiming::mark("view built");
}

void QtPanel::makeKeyAndOrderFront() {
    window_->makeKeyAndOrderFront();
    ShowTiming::mark("window shown");
}

bool QtPanel::isVisible() const { return window_->isVisible(); }

void QtPanel::orderOut() { window_->hide(); }

} // namespace tavlin
