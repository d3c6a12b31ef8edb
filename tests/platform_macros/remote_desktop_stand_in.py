#!/usr/bin/python3
"""A stand-in for the desktop portal's RemoteDesktop interface on the session bus.

It answers as xdg-desktop-portal does (Request objects whose Response follows the call, Session objects
that can be closed) and keeps every call with the moment it came, the Notify calls among them. The test
steers it through org.orvanta.test.RemoteDesktopStandIn: refuse the next Starts with a response code, or
grant only some devices.
"""
import os
import sys
import time

import dbus
import dbus.service

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
from portal_objects import OBJECT, request_object, sender_part, serve  # noqa: E402

REMOTE = "org.freedesktop.portal.RemoteDesktop"
CONTROL = "org.orvanta.test.RemoteDesktopStandIn"
VERSION = 2


class Session(dbus.service.Object):
    def __init__(self, portal, path):
        super().__init__(portal.bus, path)
        self.portal = portal
        self.path = path
        self.started = False
        self.devices = 0

    @dbus.service.method("org.freedesktop.portal.Session", in_signature="", out_signature="")
    def Close(self):
        self.portal.log("Close", "")
        self.portal.sessions.pop(self.path, None)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, OBJECT)
        self.bus = bus
        self.sessions = {}
        self.calls = []
        self.start_code = 0
        self.granted = 3
        self.tokens = 0

    def log(self, method, detail):
        self.calls.append((method, detail, time.monotonic() * 1000.0))

    def request(self, sender, options):
        return request_object(self.bus, sender, options, "t%d" % len(self.calls))

    def live(self, session_path, device):
        session = self.sessions.get(str(session_path))
        if session is None or not session.started or not session.devices & device:
            raise dbus.exceptions.DBusException("the session may not do that",
                                                name="org.freedesktop.DBus.Error.AccessDenied")

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, prop):
        if interface == REMOTE and prop == "version":
            return dbus.UInt32(VERSION, variant_level=1)
        if interface == REMOTE and prop == "AvailableDeviceTypes":
            return dbus.UInt32(7, variant_level=1)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.UnknownProperty")

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"version": dbus.UInt32(VERSION), "AvailableDeviceTypes": dbus.UInt32(7)} if interface == REMOTE else {}

    @dbus.service.method(REMOTE, in_signature="a{sv}", out_signature="o", sender_keyword="sender")
    def CreateSession(self, options, sender=None):
        request = self.request(sender, options)
        path = "%s/session/%s/%s" % (OBJECT, sender_part(sender), options["session_handle_token"])
        self.sessions[path] = Session(self, path)
        self.log("CreateSession", "")
        request.answer_later(0, {"session_handle": dbus.String(path)})
        return request.__dbus_object_path__

    @dbus.service.method(REMOTE, in_signature="oa{sv}", out_signature="o", sender_keyword="sender")
    def SelectDevices(self, session_path, options, sender=None):
        request = self.request(sender, options)
        self.log("SelectDevices", "types=%d persist=%d token=%s" % (
            int(options.get("types", 0)), int(options.get("persist_mode", 0)), str(options.get("restore_token", ""))))
        code = 0 if str(session_path) in self.sessions else 2
        request.answer_later(code, {})
        return request.__dbus_object_path__

    @dbus.service.method(REMOTE, in_signature="osa{sv}", out_signature="o", sender_keyword="sender")
    def Start(self, session_path, parent, options, sender=None):
        request = self.request(sender, options)
        self.log("Start", "")
        session = self.sessions.get(str(session_path))
        if self.start_code != 0 or session is None:
            request.answer_later(self.start_code or 2, {})
            return request.__dbus_object_path__
        session.started = True
        session.devices = self.granted
        self.tokens += 1
        request.answer_later(0, {"devices": dbus.UInt32(self.granted),
                                 "restore_token": dbus.String("token-%d" % self.tokens)})
        return request.__dbus_object_path__

    @dbus.service.method(REMOTE, in_signature="oa{sv}iu", out_signature="")
    def NotifyKeyboardKeysym(self, session_path, options, keysym, state):
        self.live(session_path, 1)
        self.log("NotifyKeyboardKeysym", "%d %d" % (keysym, state))

    @dbus.service.method(REMOTE, in_signature="oa{sv}iu", out_signature="")
    def NotifyKeyboardKeycode(self, session_path, options, keycode, state):
        self.live(session_path, 1)
        self.log("NotifyKeyboardKeycode", "%d %d" % (keycode, state))

    @dbus.service.method(REMOTE, in_signature="oa{sv}dd", out_signature="")
    def NotifyPointerMotion(self, session_path, options, dx, dy):
        self.live(session_path, 2)
        self.log("NotifyPointerMotion", "%g %g" % (dx, dy))

    @dbus.service.method(REMOTE, in_signature="oa{sv}iu", out_signature="")
    def NotifyPointerButton(self, session_path, options, button, state):
        self.live(session_path, 2)
        self.log("NotifyPointerButton", "%d %d" % (button, state))

    @dbus.service.method(REMOTE, in_signature="oa{sv}ui", out_signature="")
    def NotifyPointerAxisDiscrete(self, session_path, options, axis, steps):
        self.live(session_path, 2)
        self.log("NotifyPointerAxisDiscrete", "%d %d" % (axis, steps))

    # The test's controls.
    @dbus.service.method(CONTROL, in_signature="u", out_signature="")
    def AnswerStarts(self, code):
        self.start_code = int(code)

    @dbus.service.method(CONTROL, in_signature="u", out_signature="")
    def Grant(self, devices):
        self.granted = int(devices)

    @dbus.service.method(CONTROL, in_signature="", out_signature="a(ssd)")
    def Calls(self):
        return dbus.Array([dbus.Struct(c, signature="ssd") for c in self.calls], signature="(ssd)")

    @dbus.service.method(CONTROL, in_signature="", out_signature="i")
    def OpenSessions(self):
        return len(self.sessions)


if __name__ == "__main__":
    sys.exit(serve(Portal))
