#pragma once

#include "TavlinUI/Overlay/KeyText.h"
#include "platform/Panel.h"
#include "platform/PanelWindowHints.h"

#include <memory>

namespace tavlin {

class OverlayPanel;

// The panel port on Qt: one OverlayPanel, created with the port and kept.
class QtPanel : public platform::Panel {
public:
    explicit QtPanel(const platform::Rect& contentRect, KeyText::Notation notation = KeyText::Notation::desktop);
    ~QtPanel() override;

    void setFrame(const platform::Rect& frame, bool display) override;
    void setContent(const ShortcutOverlay& overlay) override;
    void makeKeyAndOrderFront() override;
    bool isVisible() const override;
    void orderOut() override;
    void observeKeyLoss(std::function<void()> handler) override;

    OverlayPanel& window() const { return *window_; }
    // What the window system is asked for the panel's window (OverlayPanel::setWindowHints).
    void setWindowHints(std::unique_ptr<platform::PanelWindowHints> hints);

private:
    std::unique_ptr<OverlayPanel> window_;
    KeyText::Notation notation_;
};

} // namespace tavlin
