#pragma once

#include "platform/StatusItem.h"

#include <QMenu>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace tavlin::platform {

class X11TraySelection;

// The status item as a tray icon with a context menu. It carries the program's own
// icon from the start, so that it can be found and clicked even before an image is set.
// On X11 the item waits for a tray that is not there yet, and goes back into a tray
// that restarts (a panel started after Tavlin at login, or restarted).
class QtStatusItem final : public StatusItem {
public:
    // Null when the desktop has no tray and none can be waited for.
    static std::unique_ptr<QtStatusItem> make();
    ~QtStatusItem() override;

    bool hasButton() const override;
    bool setImage(const std::string& symbolName, const std::string& accessibilityDescription) override;
    void setMenu(std::vector<MenuEntry> entries) override;
    void setNote(const std::string& note) override;

    // The program's icon, drawn from its SVG at the usual tray and window sizes.
    static QIcon programIcon();
    // A menu entry's title as the menu shows it: in the interface's language.
    static QString shownTitle(const std::string& title);

private:
    QtStatusItem();
    // The desktop's tray came, went or was replaced.
    void trayChanged(bool present);
    // Sets each checkable entry's mark from its question; the menu is about to open.
    void refreshChecks();
    // The tooltip: the description, then the note on a line of its own.
    void showToolTip();

    QSystemTrayIcon tray_;
    QMenu menu_;
    std::unique_ptr<X11TraySelection> traySelection_; // after the icon: ends first
    std::vector<MenuEntry> entries_;
    QString description_ = QStringLiteral("Tavlin");
    QString note_;
    std::vector<std::pair<QAction*, std::function<bool()>>> checks_;
};

} // namespace tavlin::platform
