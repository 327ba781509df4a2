#!/usr/bin/python3
"""A stand-in for the desktop portal's global shortcuts on a private bus.

It answers CreateSession and BindShortcuts through request objects as the portal does,
records every call, and on the control object (/standin, interface tavlin.StandIn)
emits Activated when told (Press; the session "/" is the one last bound) and hands the recorded calls back as JSON (Calls).

  --session-response N   the Response code of CreateSession (0 success, -1 never answers)
  --bind-response N      the Response code of BindShortcuts
  --trigger TEXT         the trigger_description it reports (default: the preferred trigger)
  --bind-nothing         binds nothing: answers BindShortcuts with an empty list
  --quiet-bind           answers BindShortcuts without the list; ListShortcuts gives it
  --stop-at METHOD       stops itself (SIGSTOP) when METHOD is called, before answering
"""
import argparse
import json
import os
import signal

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

PORTAL = "org.freedesktop.portal.Desktop"
PATH = "/org/freedesktop/portal/desktop"
SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"

args = argparse.ArgumentParser()
args.add_argument("--session-response", type=int, default=0)
args.add_argument("--bind-response", type=int, default=0)
args.add_argument("--trigger")
args.add_argument("--bind-nothing", action="store_true")
args.add_argument("--quiet-bind", action="store_true")
args.add_argument("--stop-at")
options = args.parse_args()

calls = []


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass


class Session(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Session", in_signature="", out_signature="")
    def Close(self):
        calls.append(["Close", str(self.__dbus_object_path__)])
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def answer(self, sender, token, response, results):
        path = "%s/request/%s/%s" % (PATH, sender[1:].replace(".", "_"), token)
        request = Request(self.connection, path)

        def emit():
            if response < 0:
                return False
            request.Response(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"))
            request.remove_from_connection()
            return False

        GLib.idle_add(emit)  # after the method's reply, as the portal does
        return dbus.ObjectPath(path)

    @dbus.service.method("org.freedesktop.host.portal.Registry", in_signature="sa{sv}", out_signature="",
                         sender_keyword="sender")
    def Register(self, app_id, opts, sender):
        calls.append(["Register", str(app_id)])

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, opts, sender):
        calls.append(["CreateSession", opts])
        if options.stop_at == "CreateSession":
            os.kill(os.getpid(), signal.SIGSTOP)
        session = "%s/session/%s/%s" % (PATH, sender[1:].replace(".", "_"), opts["session_handle_token"])
        Session(self.connection, session)
        return self.answer(sender, opts["handle_token"], options.session_response,
                           {"session_handle": dbus.String(session)})

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session, shortcuts, parent, opts, sender):
        calls.append(["BindShortcuts", session, shortcuts, parent])  # dbus values are JSON-able
        self.bound_session = str(session)
        bound = []
        for shortcut_id, props in shortcuts:
            trigger = options.trigger if options.trigger is not None else props.get("preferred_trigger", "")
            bound.append(dbus.Struct((shortcut_id, dbus.Dictionary(
                {"description": props.get("description", ""), "trigger_description": dbus.String(trigger)},
                signature="sv"))))
        self.bound = dbus.Array([] if options.bind_nothing else bound, signature="(sa{sv})")
        results = {} if options.quiet_bind else {"shortcuts": self.bound}
        return self.answer(sender, opts["handle_token"], options.bind_response, results)

    @dbus.service.method(SHORTCUTS, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def ListShortcuts(self, session, opts, sender):
        calls.append(["ListShortcuts", session])
        return self.answer(sender, opts["handle_token"], 0,
                           {"shortcuts": getattr(self, "bound", dbus.Array([], signature="(sa{sv})"))})

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == SHORTCUTS and name == "version":
            return dbus.UInt32(1)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session, shortcut_id, timestamp, opts):
        pass


class Control(dbus.service.Object):
    def __init__(self, connection, portal):
        super().__init__(connection, "/standin")
        self.portal = portal

    @dbus.service.method("tavlin.StandIn", in_signature="os", out_signature="")
    def Press(self, session, shortcut_id):
        if session == "/":
            session = getattr(self.portal, "bound_session", "/")
        self.portal.Activated(dbus.ObjectPath(session), shortcut_id, dbus.UInt64(0),
                              dbus.Dictionary({}, signature="sv"))

    @dbus.service.method("tavlin.StandIn", in_signature="", out_signature="s")
    def Calls(self):
        return json.dumps(calls)


DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
portal = Portal(bus, PATH)
control = Control(bus, portal)
name = dbus.service.BusName(PORTAL, bus)
print("ready", flush=True)
GLib.MainLoop().run()
