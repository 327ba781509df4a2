#include "platform/linux/desktop/QtStatusItem.h"

#include "platform/linux/common/X11Display.h"
#include "platform/linux/desktop/X11TraySelection.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QLoggingCategory>
#include <QPainter>
#include <QSvgRenderer>

Q_LOGGING_CATEGORY(lcTray, "tavlin.tray")

namespace tavlin::platform {
namespace {

// The one symbol the status item knows: a command key in a rounded square.
constexpr std::string_view commandSquare = "command.square";

// The context of the menu's titles in the translation tables: the shell marks each
// title there as it names it (platform/Translatable.h).
constexpr const char* menuContext = "StatusMenu";

} // namespace

QIcon QtStatusItem::programIcon() {
    QSvgRenderer renderer(QStringLiteral(":/tavlin/tavlin.svg"));
    QIcon icon;
    if (!renderer.isValid()) return icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

std::unique_ptr<QtStatusItem> QtStatusItem::make() {
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        if (!X11Display::connection()) {
            qCInfo(lcTray) << "no tray: Tavlin runs without a tray icon";
            return nullptr;
        }
        qCInfo(lcTray) << "no tray yet: the icon goes into the tray once one starts";
    }
    return std::unique_ptr<QtStatusItem>(new QtStatusItem());
}

QtStatusItem::QtStatusItem() {
    tray_.setIcon(programIcon());
    showToolTip();
    tray_.setContextMenu(&menu_);
    // A left click opens the same menu as a right click, as on a menu bar.
    QObject::connect(&tray_, &QSystemTrayIcon::activated, &menu_, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && !menu_.isVisible()) menu_.popup(QCursor::pos());
    });
    QObject::connect(&menu_, &QMenu::aboutToShow, &menu_, [this] { refreshChecks(); });
    if (xcb_connection_t* connection = X11Display::connection())
        traySelection_ = std::make_unique<X11TraySelection>(connection, X11Display::rootWindow(),
                                                            [this](bool present) { trayChanged(present); });
    tray_.show();
}

void QtStatusItem::trayChanged(bool present) {
    if (!present) {
        qCInfo(lcTray) << "the tray went away; waiting for it to come back";
        return;
    }
    // Showing the icon again docks it in the tray that is there now.
    qCInfo(lcTray) << "a tray started: putting the icon into it";
    tray_.hide();
    tray_.show();
}

void QtStatusItem::refreshChecks() {
    for (const auto& [action, checked] : checks_) action->setChecked(checked());
}

QtStatusItem::~QtStatusItem() {
    tray_.hide();
}

bool QtStatusItem::hasButton() const {
    return true;
}

bool QtStatusItem::setImage(const std::string& symbolName, const std::string& accessibilityDescription) {
    if (symbolName != commandSquare) return false;
    QIcon icon = programIcon();
    if (icon.isNull()) return false;
    tray_.setIcon(icon);
    description_ = QString::fromStdString(accessibilityDescription);
    showToolTip();
    return true;
}

void QtStatusItem::setNote(const std::string& note) {
    note_ = QString::fromStdString(note);
    showToolTip();
}

void QtStatusItem::showToolTip() {
    tray_.setToolTip(note_.isEmpty() ? description_ : description_ + QLatin1Char('\n') + note_);
}

QString QtStatusItem::shownTitle(const std::string& title) {
    return QCoreApplication::translate(menuContext, title.c_str());
}

void QtStatusItem::setMenu(std::vector<MenuEntry> entries) {
    menu_.clear();
    checks_.clear();
    entries_ = std::move(entries);
    for (const MenuEntry& entry : entries_) {
        if (entry.separator) {
            menu_.addSeparator();
            continue;
        }
        QAction* action = menu_.addAction(shownTitle(entry.title));
        if (!entry.keyEquivalent.empty())
            // The key equivalent goes with the Command modifier, which is Ctrl here.
            action->setShortcut(QKeySequence(QStringLiteral("Ctrl+") + QString::fromStdString(entry.keyEquivalent).toUpper()));
        if (entry.checked) {
            action->setCheckable(true);
            checks_.emplace_back(action, entry.checked);
        }
        auto callback = entry.action;
        QObject::connect(action, &QAction::triggered, &menu_, [callback] {
            if (callback) callback();
        });
    }
}

} // namespace tavlin::platform
