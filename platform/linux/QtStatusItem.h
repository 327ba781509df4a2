#pragma once

#include "platform/StatusItem.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace tavlin::platform {

// The status item as a tray icon with a context menu. It carries the program's own
// icon from the start, so that it can be found and clicked even before an image is set.
class QtStatusItem final : public StatusItem {
public:
    // Null when the desktop has no tray.
    static std::unique_ptr<QtStatusItem> make();
    ~QtStatusItem() override;

    bool hasButton() const override;
    bool setImage(const std::string& symbolName, const std::string& accessibilityDescription) override;
    void setMenu(std::vector<MenuEntry> entries) override;

    // The program's icon, drawn from its SVG at the usual tray and window sizes.
    static QIcon programIcon();

private:
    QtStatusItem();
    QSystemTrayIcon tray_;
    QMenu menu_;
    std::vector<MenuEntry> entries_;
};

} // namespace tavlin::platform
