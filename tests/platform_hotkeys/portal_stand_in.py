#!/usr/bin/python3
"""A stand-in for the desktop portal's GlobalShortcuts and host Registry on the session bus.

It answers as xdg-desktop-portal does (Request objects whose Response follows the call, Session objects
that can be closed) and keeps a log of the calls. The test steers it through org.orvanta.test.PortalStandIn:
Activate a bound shortcut, drop a shortcut from the next binds or assign it another trigger, refuse
every bind, or answer binds only after a while, as a desktop does that asks the user first.
"""
import os
import sys

import dbus
import dbus.service

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from portal_objects import OBJECT, request_object, sender_part, serve  # noqa: E402

SHORTCUTS = "org.freedesktop.portal.GlobalShortcuts"
REGISTRY = "org.freedesktop.host.portal.Registry"
CONTROL = "org.orvanta.test.PortalStandIn"


class Session(dbus.service.Object):
    def __init__(self, portal, path):
        super().__init__(portal.bus, path)
        self.portal = portal
        self.path = path
        self.shortcuts = []
        self.bound = False

    @dbus.service.method("org.freedesktop.portal.Session", in_signature="", out_signature="")
    def Close(self):
        self.portal.log("Close", self.path)
        self.portal.sessions.pop(self.path, None)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, OBJECT)
        self.bus = bus
        self.sessions = {}
        self.calls = []
        self.dropped = set()
        self.assigned = {}
        self.refuse_binds = False
        self.bind_delay_ms = 0
        # As KDE Plasma 5.27 does: the shortcuts are taken from CreateSession's "shortcuts" option and
        # answered there, and BindShortcuts binds nothing.
        self.bind_at_create = False

    def log(self, method, detail):
        self.calls.append((method, detail))

    def request(self, sender, options):
        return request_object(self.bus, sender, options, "t%d" % len(self.calls))

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        if interface == SHORTCUTS and prop == "version":
            return dbus.UInt32(1, variant_level=1)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"version": dbus.UInt32(1)} if interface == SHORTCUTS else {}

    @dbus.service.method(REGISTRY, in_signature="sa{sv}", out_signature="", sender_keyword="sender")
    def Register(self, app_id, options, sender=None):
        self.log("Register", str(app_id))

    @dbus.service.method(SHORTCUTS, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        request = self.request(sender, options)
        path = "%s/session/%s/%s" % (OBJECT, sender_part(sender), options["session_handle_token"])
        self.sessions[path] = Session(self, path)
        offered = options.get("shortcuts", [])
        self.log("CreateSession", path)
        self.log("CreateSessionShortcuts", " ".join("%s=%s" % (sid, info.get("preferred_trigger", ""))
                                                    for sid, info in offered))
        results = {"session_handle": dbus.String(path)}
        if self.bind_at_create:
            kept = self.keep(offered)
            self.sessions[path].shortcuts = [str(sid) for sid, _ in kept]
            self.sessions[path].bound = True
            results["shortcuts"] = dbus.Array(kept, signature="(sa{sv})")
        request.answer_later(0, results)
        return request.__dbus_object_path__

    def keep(self, shortcuts):
        kept = []
        for sid, info in shortcuts:
            if str(sid) in self.dropped:
                continue
            trigger = self.assigned.get(str(sid), str(info.get("preferred_trigger", "")).title())
            kept.append(dbus.Struct((sid, dbus.Dictionary({"description": info.get("description", ""),
                                                           "trigger_description": dbus.String(trigger)},
                                                          signature="sv")), signature="sa{sv}"))
        return kept

    @dbus.service.method(SHORTCUTS, in_signature="oa(sa{sv})sa{sv}", out_signature="o", sender_keyword="sender")
    def BindShortcuts(self, session_path, shortcuts, parent, options, sender=None):
        request = self.request(sender, options)
        asked = ["%s=%s" % (sid, info.get("preferred_trigger", "")) for sid, info in shortcuts]
        self.log("BindShortcuts", " ".join(asked))
        session = self.sessions.get(session_path)
        if self.bind_at_create and session is not None:
            # What Plasma 5.27 answers, after it opened its shortcut settings for the user.
            request.answer_later(0, {"shortcuts": dbus.Array([], signature="(sa{sv})")})
            return request.__dbus_object_path__
        if self.refuse_binds or session is None or session.bound:
            request.answer_later(2, {})
            return request.__dbus_object_path__
        kept = self.keep(shortcuts)
        session.shortcuts = [str(sid) for sid, _ in kept]
        session.bound = True
        request.answer_later(0, {"shortcuts": dbus.Array(kept, signature="(sa{sv})")}, self.bind_delay_ms)
        return request.__dbus_object_path__

    @dbus.service.method(SHORTCUTS, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def ListShortcuts(self, session_path, options, sender=None):
        request = self.request(sender, options)
        session = self.sessions.get(session_path)
        listed = [dbus.Struct((sid, dbus.Dictionary({}, signature="sv")), signature="sa{sv}")
                  for sid in (session.shortcuts if session else [])]
        request.answer_later(0, {"shortcuts": dbus.Array(listed, signature="(sa{sv})")})
        return request.__dbus_object_path__

    @dbus.service.signal(SHORTCUTS, signature="osta{sv}")
    def Activated(self, session_handle, shortcut_id, timestamp, options):
        pass

    # The test's controls.
    @dbus.service.method(CONTROL, in_signature="s", out_signature="b")
    def Activate(self, shortcut_id):
        for path, session in self.sessions.items():
            if shortcut_id in session.shortcuts:
                self.Activated(dbus.ObjectPath(path), shortcut_id, dbus.UInt64(0), dbus.Dictionary({}, signature="sv"))
                return True
        return False

    @dbus.service.method(CONTROL, in_signature="s", out_signature="")
    def Drop(self, shortcut_id):
        self.dropped.add(str(shortcut_id))

    @dbus.service.method(CONTROL, in_signature="ss", out_signature="")
    def Assign(self, shortcut_id, trigger):
        self.assigned[str(shortcut_id)] = str(trigger)

    @dbus.service.method(CONTROL, in_signature="b", out_signature="")
    def RefuseBinds(self, refuse):
        self.refuse_binds = bool(refuse)

    @dbus.service.method(CONTROL, in_signature="b", out_signature="")
    def BindAtCreate(self, at_create):
        self.bind_at_create = bool(at_create)

    @dbus.service.method(CONTROL, in_signature="u", out_signature="")
    def DelayBinds(self, milliseconds):
        self.bind_delay_ms = int(milliseconds)

    @dbus.service.method(CONTROL, in_signature="", out_signature="a(ss)")
    def Calls(self):
        return dbus.Array([dbus.Struct(c, signature="ss") for c in self.calls], signature="(ss)")

    @dbus.service.method(CONTROL, in_signature="", out_signature="i")
    def OpenSessions(self):
        return len(self.sessions)


if __name__ == "__main__":
    sys.exit(serve(Portal))
