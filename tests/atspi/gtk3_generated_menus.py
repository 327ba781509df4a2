#!/usr/bin/python3
"""A GTK 3 window with a generated menu bar, for the end-to-end checks of big menus.

  gtk3_generated_menus.py MENUS ITEMS EVERY   MENUS menus "Menu 1".. of ITEMS items "Item m.i"
                                              each, every EVERY-th item with a shortcut
                                              (Ctrl+Shift+a letter)
"""
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402


def main(menus, items, every):
    window = Gtk.Window(title="Tavlin GTK Generated Menus")
    accelerators = Gtk.AccelGroup()
    window.add_accel_group(accelerators)
    bar = Gtk.MenuBar()
    for m in range(1, menus + 1):
        top = Gtk.MenuItem(label=f"Menu {m}")
        menu = Gtk.Menu()
        menu.set_accel_group(accelerators)
        for i in range(1, items + 1):
            item = Gtk.MenuItem(label=f"Item {m}.{i}")
            if i % every == 0:
                key = Gdk.unicode_to_keyval(ord("a") + i % 26)
                item.add_accelerator("activate", accelerators, key,
                                     Gdk.ModifierType.CONTROL_MASK | Gdk.ModifierType.SHIFT_MASK,
                                     Gtk.AccelFlags.VISIBLE)
            menu.append(item)
        top.set_submenu(menu)
        bar.append(top)
    box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
    box.pack_start(bar, False, False, 0)
    window.add(box)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    Gtk.main()


if __name__ == "__main__":
    main(int(sys.argv[1]), int(sys.argv[2]), int(sys.argv[3]))
