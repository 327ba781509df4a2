#pragma once

#include <QAccessibleWidget>

class QObject;
class QString;

namespace tavlin {

// What assistive technology sees of a scroll area: its child widgets (the viewport and
// both scroll bar containers, shown or not), by index, with every index checked.
//
// Qt's own interface for scroll areas lists only the scroll bars on screen and does not
// check the index it is asked for. A screen reader asks for the child count and then
// for each child in separate calls, and the overlay can hide in between (Escape,
// another application coming to the front), so the scroll bar leaves that list and
// the next question reads past its end: a crash. Here the list holds the same widgets
// as long as the scroll area lives, and an index out of range gives no child.
class AccessibleScrollArea : public QAccessibleWidget {
public:
    explicit AccessibleScrollArea(QWidget* scrollArea);

    // Puts this interface in place of Qt's for every scroll area of the process from
    // now on (once; later calls do nothing).
    static void install();

private:
    static QAccessibleInterface* factory(const QString& className, QObject* object);
};

} // namespace tavlin
