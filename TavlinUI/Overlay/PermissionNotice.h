#pragma once

#include <QWidget>

#include <functional>

namespace tavlin {

// Shown instead of the list while the accessibility permission is missing: explains
// why it is needed and offers a button that opens the settings.
class PermissionNotice : public QWidget {
public:
    explicit PermissionNotice(std::function<void()> openSettings, QWidget* parent = nullptr);
};

} // namespace tavlin
