#include "platform/linux/QtStatusItem.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QPainter>
#include <QSvgRenderer>

namespace tavlin::platform {
namespace {

// The one symbol the status item knows: a command key in a rounded square.
constexpr std::string_view commandSquare = "command.square";

// The menu's titles come from the shell in Japanese; these are their entries in the
// translation tables.
constexpr const char* menuContext = "StatusMenu";
[[maybe_unused]] const char* const menuTitles[] = {
    QT_TRANSLATE_NOOP("StatusMenu", "ショートカットを表示  ⌥Space"),
    QT_TRANSLATE_NOOP("StatusMenu", "アクセシビリティ設定を開く"),
    QT_TRANSLATE_NOOP("StatusMenu", "ログイン時に起動"),
    QT_TRANSLATE_NOOP("StatusMenu", "Tavlinを終了"),
};

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
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return nullptr;
    return std::unique_ptr<QtStatusItem>(new QtStatusItem());
}

QtStatusItem::QtStatusItem() {
    tray_.setIcon(programIcon());
    tray_.setToolTip(QStringLiteral("Tavlin"));
    tray_.setContextMenu(&menu_);
    // A left click opens the same menu as a right click, as on a menu bar.
    QObject::connect(&tray_, &QSystemTrayIcon::activated, &menu_, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger && !menu_.isVisible()) menu_.popup(QCursor::pos());
    });
    tray_.show();
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
    tray_.setToolTip(QString::fromStdString(accessibilityDescription));
    return true;
}

void QtStatusItem::setMenu(std::vector<MenuEntry> entries) {
    menu_.clear();
    entries_ = std::move(entries);
    for (const MenuEntry& entry : entries_) {
        if (entry.separator) {
            menu_.addSeparator();
            continue;
        }
        QAction* action = menu_.addAction(QCoreApplication::translate(menuContext, entry.title.c_str()));
        if (!entry.keyEquivalent.empty())
            // The key equivalent goes with the Command modifier, which is Ctrl here.
            action->setShortcut(QKeySequence(QStringLiteral("Ctrl+") + QString::fromStdString(entry.keyEquivalent).toUpper()));
        auto callback = entry.action;
        QObject::connect(action, &QAction::triggered, &menu_, [callback] {
            if (callback) callback();
        });
    }
}

} // namespace tavlin::platform
