#pragma once

#include <functional>
#include <string>
#include <vector>

namespace tavlin::platform {

// One entry of the status item's menu: a titled command or a separator. A checkable
// command carries the question whose answer is its check mark, asked each time the
// menu opens. The title is in the interface's source language, marked where it is
// named as TAVLIN_TRANSLATE_NOOP("StatusMenu", title) (platform/Translatable.h); the
// status item shows it in the interface's language.
struct MenuEntry {
    std::string title;
    std::function<void()> action;
    std::string keyEquivalent; // empty for none
    bool separator = false;
    std::function<bool()> checked; // empty for a command without a check mark

    static MenuEntry command(std::string title, std::function<void()> action, std::string keyEquivalent = {}) {
        return MenuEntry{std::move(title), std::move(action), std::move(keyEquivalent), false, {}};
    }
    static MenuEntry checkable(std::string title, std::function<void()> action, std::function<bool()> checked) {
        return MenuEntry{std::move(title), std::move(action), {}, false, std::move(checked)};
    }
    static MenuEntry separatorEntry() { return MenuEntry{{}, {}, {}, true, {}}; }
};

// The program's item in the desktop's tray, with its menu.
class StatusItem {
public:
    virtual ~StatusItem() = default;
    // Whether the item has a button that can carry an image.
    virtual bool hasButton() const = 0;
    // Sets the button's image from a symbol name; false when there is no such image.
    virtual bool setImage(const std::string& symbolName, const std::string& accessibilityDescription) = 0;
    // Attaches the menu that a click on the item opens.
    virtual void setMenu(std::vector<MenuEntry> entries) = 0;
    // A short note shown with the item's description (as its tooltip), such as why the
    // hot key is missing; empty for none.
    virtual void setNote(const std::string& note) = 0;
};

} // namespace tavlin::platform
