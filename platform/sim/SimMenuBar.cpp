#include "platform/sim/SimMenuBar.h"

namespace tavlin::platform::sim {

std::shared_ptr<SimElement> SimMenuBar::menu(const std::vector<SimMenuItem>& items) {
    std::vector<AXElementRef> children;
    children.reserve(items.size());
    for (const SimMenuItem& entry : items) children.push_back(item(entry));
    auto menu = SimElement::make();
    menu->setChildren("AXChildren", children);
    return menu;
}

std::shared_ptr<SimElement> SimMenuBar::item(const SimMenuItem& entry) {
    auto element = SimElement::make();
    element->setText("AXTitle", entry.title);
    element->setInteger("AXEnabled", entry.enabled ? 1 : 0);
    if (!entry.character.empty()) element->setText("AXMenuItemCmdChar", entry.character);
    if (entry.modifiers) element->setInteger("AXMenuItemCmdModifiers", *entry.modifiers);
    if (entry.glyph) element->setInteger("AXMenuItemCmdGlyph", *entry.glyph);
    if (entry.virtualKey) element->setInteger("AXMenuItemCmdVirtualKey", *entry.virtualKey);
    if (!entry.followingChords.empty()) {
        std::vector<AXElementRef> chords;
        for (const SimMenuItem& chord : entry.followingChords) chords.push_back(item(chord));
        element->setChildren("AXMenuItemCmdFollowingChords", chords);
    }
    element->setChildren("AXChildren", entry.submenu.empty() ? std::vector<AXElementRef>{}
                                                             : std::vector<AXElementRef>{menu(entry.submenu)});
    return element;
}

std::shared_ptr<SimElement> SimMenuBar::menuBar(const std::vector<SimMenu>& menus) {
    std::vector<AXElementRef> topLevel;
    topLevel.reserve(menus.size());
    for (const SimMenu& entry : menus) {
        auto element = SimElement::make();
        element->setText("AXTitle", entry.title);
        element->setChildren("AXChildren", {menu(entry.items)});
        topLevel.push_back(element);
    }
    auto bar = SimElement::make();
    bar->setChildren("AXChildren", topLevel);
    return bar;
}

std::shared_ptr<SimElement> SimMenuBar::application(const std::vector<SimMenu>& menus) {
    auto application = SimElement::make();
    application->set("AXMenuBar", AXValue{AXElementRef(menuBar(menus))});
    return application;
}

} // namespace tavlin::platform::sim
