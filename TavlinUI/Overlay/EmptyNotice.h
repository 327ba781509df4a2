#pragma once

#include <QWidget>

namespace tavlin {

// Shown when the application offers no shortcut at all.
class EmptyNotice : public QWidget {
public:
    explicit EmptyNotice(QWidget* parent = nullptr);
};

} // namespace tavlin
