#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <functional>

#include <memory>

namespace tavlin {

namespace platform {
class PanelWindowHints;
} // namespace platform

// The window that carries the overlay: frameless, above other windows, with a
// transparent background so that only the card shows, on every desktop, out of the
// task bar and the pager, not moved by dragging, and able to take the keyboard focus
// (so that Escape reaches the view). Its properties are fixed at construction; the
// frame, the content and whether it is on screen change from show to show.
// Where no compositing manager runs, transparent pixels would show up black: there the
// window is cut to the card's rounded rectangle instead (checked again at each show).
class OverlayPanel : public QWidget {
public:
    explicit OverlayPanel(const QRect& contentRect);
    ~OverlayPanel() override;

    // Replaces the content; the panel owns it from now on.
    void setContent(QWidget* content);
    QWidget* content() const { return content_; }
    // Shows the panel in front of every other window with the keyboard focus.
    void makeKeyAndOrderFront();
    // Always true: the panel can take the keyboard focus, shown or not.
    bool canBecomeKey() const { return true; }
    // Cuts the window to the card's shape (true) or keeps it whole and translucent;
    // the shape follows the window's size.
    void setShaped(bool shaped);
    bool isShaped() const { return shaped_; }
    // Calls `handler` from the event loop when the panel, shown, loses the keyboard to a
    // window not its own, or has not got it `graceMs` after a show.
    void setKeyLossHandler(std::function<void()> handler, int graceMs);
    // What the window system is asked for the native window at each show; without them
    // the window takes translucency as composited and asks nothing more.
    void setWindowHints(std::unique_ptr<platform::PanelWindowHints> hints);

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Marks the moment the window is exposed, when show timing is on.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void updateShape();
    // Tells the handler, from the event loop, if the panel is still shown without the keyboard.
    void keyLostSoon();

    QPointer<QWidget> content_;
    bool shaped_ = false;
    std::function<void()> keyLoss_;
    QTimer keyGrace_; // runs from a show until the panel has the keyboard
    std::unique_ptr<platform::PanelWindowHints> hints_;
};

} // namespace tavlin
