#!/usr/bin/python3
"""A stand-in for KDE's kglobalaccel on a private bus: answers action, doRegister and
setShortcut as kglobalaccel does, and hands the recorded calls back as JSON on the control
object (/standin, interface tavlin.StandIn, method Calls).

  --holder C,A,CF,AF   Alt+Space belongs to this action (component, action, friendly names)
  --refuse-keys        setShortcut keeps no key, as when another action got the key first
"""
import argparse
import json

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

ALT_SPACE = 0x08000000 | 0x20

args = argparse.ArgumentParser()
args.add_argument("--holder")
args.add_argument("--refuse-keys", action="store_true")
options = args.parse_args()
calls = []


class KGlobalAccel(dbus.service.Object):
    @dbus.service.method("org.kde.KGlobalAccel", in_signature="i", out_signature="as")
    def action(self, key):
        calls.append(["action", int(key)])
        return options.holder.split(",") if options.holder and key == ALT_SPACE else dbus.Array([], signature="s")

    @dbus.service.method("org.kde.KGlobalAccel", in_signature="as", out_signature="")
    def doRegister(self, action_id):
        calls.append(["doRegister", [str(s) for s in action_id]])

    @dbus.service.method("org.kde.KGlobalAccel", in_signature="asaiu", out_signature="ai")
    def setShortcut(self, action_id, keys, flags):
        calls.append(["setShortcut", [str(s) for s in action_id], [int(k) for k in keys], int(flags)])
        return dbus.Array([] if options.refuse_keys else keys, signature="i")


class Control(dbus.service.Object):
    @dbus.service.method("tavlin.StandIn", in_signature="", out_signature="s")
    def Calls(self):
        return json.dumps(calls)


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
KGlobalAccel(bus, "/kglobalaccel")
Control(bus, "/standin")
name = dbus.service.BusName("org.kde.kglobalaccel", bus)
print("ready", flush=True)
GLib.MainLoop().run()
