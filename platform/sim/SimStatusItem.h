#pragma once

#include "platform/StatusItem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavlin::platform::sim {

// A tray item that records its image and menu and lets a test choose a menu command.
class SimStatusItem : public StatusItem {
public:
    struct ButtonImage {
        std::string symbolName;
        std::string accessibilityDescription;
    };

    SimStatusItem(double length, bool hasButton, bool symbolsAvailable)
        : length_(length), hasButton_(hasButton), symbolsAvailable_(symbolsAvailable) {}

    bool hasButton() const override { return hasButton_; }
    bool setImage(const std::string& symbolName, const std::string& accessibilityDescription) override;
    void setMenu(std::vector<MenuEntry> entries) override { menu_ = std::move(entries); }
    void setNote(const std::string& note) override { note_ = note; }

    double length() const { return length_; }
    const std::optional<ButtonImage>& image() const { return image_; }
    // How often an image was asked for, granted or not.
    std::size_t imageRequests() const { return imageRequests_; }
    const std::vector<MenuEntry>& menu() const { return menu_; }
    const std::string& note() const { return note_; }
    // Runs the action of the menu command with this exact title, as a click would;
    // false when the menu has no such command.
    bool choose(std::string_view title) const;

private:
    double length_;
    bool hasButton_;
    bool symbolsAvailable_;
    std::optional<ButtonImage> image_;
    std::size_t imageRequests_ = 0;
    std::vector<MenuEntry> menu_;
    std::string note_;
};

} // namespace tavlin::platform::sim
