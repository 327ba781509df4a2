#!/usr/bin/python3
"""A stand-in for a global menu: owns com.canonical.AppMenu.Registrar on the session bus.

Qt applications that find this name when they start export their menus over D-Bus and
register each window here (RegisterWindow) instead of showing their menu bar in the
window. The stand-in keeps what it is told and answers GetMenuForWindow; "ready" is
printed once the name is owned.
"""
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

REGISTRAR = "com.canonical.AppMenu.Registrar"
PATH = "/com/canonical/AppMenu/Registrar"


class Registrar(dbus.service.Object):
    def __init__(self, connection):
        super().__init__(connection, PATH)
        self.menus = {}

    @dbus.service.method(REGISTRAR, in_signature="uo", out_signature="", sender_keyword="sender")
    def RegisterWindow(self, window, menu, sender=None):
        self.menus[int(window)] = (sender, menu)
        self.WindowRegistered(window, sender, menu)

    @dbus.service.method(REGISTRAR, in_signature="u", out_signature="")
    def UnregisterWindow(self, window):
        self.menus.pop(int(window), None)
        self.WindowUnregistered(window)

    @dbus.service.method(REGISTRAR, in_signature="u", out_signature="so")
    def GetMenuForWindow(self, window):
        sender, menu = self.menus.get(int(window), ("", "/"))
        return sender, dbus.ObjectPath(menu)

    @dbus.service.signal(REGISTRAR, signature="uso")
    def WindowRegistered(self, window, service, menu):
        pass

    @dbus.service.signal(REGISTRAR, signature="u")
    def WindowUnregistered(self, window):
        pass


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
registrar = Registrar(bus)
name = dbus.service.BusName(REGISTRAR, bus)
print("ready", flush=True)
GLib.MainLoop().run()
