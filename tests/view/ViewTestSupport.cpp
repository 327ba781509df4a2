#include "tests/view/ViewTestSupport.h"

#include "TavlinUI/Overlay/FittedLabel.h"
#include "TavlinUI/Overlay/OverlayView.h"

#include <QCoreApplication>
#include <QEvent>

#include <algorithm>

namespace tavlin::test {

ShortcutOverlay overlay(std::vector<ShortcutItem> rows, bool granted, ActionCounts& counts,
                        std::shared_ptr<const platform::Image> icon, std::string appName) {
    return ShortcutOverlay(std::move(appName), std::move(icon), std::move(rows), granted,
                           [&counts] { ++counts.openSettings; }, [&counts] { ++counts.close; });
}

ShortcutOverlay overlay(std::vector<ShortcutItem> rows, bool granted) {
    return ShortcutOverlay("テスト", nullptr, std::move(rows), granted, {}, {});
}

std::vector<ShortcutItem> rowsInGroups(const std::vector<std::string>& groups, int perGroup) {
    std::vector<ShortcutItem> rows;
    for (const std::string& group : groups)
        for (int n = 0; n < perGroup; ++n)
            rows.emplace_back(group, group + "-" + std::to_string(n), "⌘" + std::to_string(n % 10));
    return rows;
}

ShownOverlay::ShownOverlay(const ShortcutOverlay& overlay, QSize panelSize, KeyText::Notation notation)
    : panel_(QRect(QPoint(0, 0), panelSize)) {
    panel_.setContent(new OverlayView(overlay, notation));
    panel_.makeKeyAndOrderFront();
    settle();
}

void ShownOverlay::resize(QSize panelSize) {
    panel_.resize(panelSize);
    settle();
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

QRect rectIn(const QWidget* widget, const QWidget* ancestor) {
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

std::vector<std::string> headingsOf(const QWidget* column) {
    QList<FittedLabel*> headings = column->findChildren<FittedLabel*>(QStringLiteral("groupHeading"));
    std::sort(headings.begin(), headings.end(), [column](const FittedLabel* a, const FittedLabel* b) {
        return a->mapTo(column, QPoint()).y() < b->mapTo(column, QPoint()).y();
    });
    std::vector<std::string> texts;
    for (const FittedLabel* heading : headings) texts.push_back(heading->text().toStdString());
    return texts;
}

} // namespace tavlin::test
