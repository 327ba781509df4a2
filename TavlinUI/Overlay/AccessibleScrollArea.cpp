#include "TavlinUI/Overlay/AccessibleScrollArea.h"

#include <QAbstractScrollArea>
#include <QString>

namespace tavlin {

AccessibleScrollArea::AccessibleScrollArea(QWidget* scrollArea) : QAccessibleWidget(scrollArea, QAccessible::Client) {}

void AccessibleScrollArea::install() {
    // Qt keeps each factory once, and asks the last installed first: after
    // QApplication's own, this one answers for scroll areas.
    QAccessible::installFactory(&AccessibleScrollArea::factory);
}

QAccessibleInterface* AccessibleScrollArea::factory(const QString& className, QObject* object) {
    // QAccessibleWidget's children: every child widget that is not a window, with the
    // index checked against that list.
    if (className != QLatin1String("QScrollArea") && className != QLatin1String("QAbstractScrollArea"))
        return nullptr;
    auto* scrollArea = qobject_cast<QAbstractScrollArea*>(object);
    return scrollArea ? new AccessibleScrollArea(scrollArea) : nullptr;
}

} // namespace tavlin
