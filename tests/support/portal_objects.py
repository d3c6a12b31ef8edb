"""What the stand-ins for the desktop portal share: its bus name and object, Request objects whose
Response follows the call as xdg-desktop-portal sends it, and serving a portal object on the session bus
until the test ends the process."""
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

BUS_NAME = "org.freedesktop.portal.Desktop"
OBJECT = "/org/freedesktop/portal/desktop"


def sender_part(sender):
    return sender[1:].replace(".", "_")


class Request(dbus.service.Object):
    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, code, results):
        pass

    def answer_later(self, code, results, delay_ms=0):
        def send():
            self.Response(dbus.UInt32(code), dbus.Dictionary(results, signature="sv"))
            self.remove_from_connection()
            return False

        if delay_ms > 0:
            GLib.timeout_add(delay_ms, send)
        else:
            GLib.idle_add(send)


def request_object(bus, sender, options, fallback_token):
    """The Request object at the path the caller can work out from its handle_token."""
    token = str(options.get("handle_token", fallback_token))
    return Request(bus, "%s/request/%s/%s" % (OBJECT, sender_part(sender), token))


def serve(make_portal):
    """Owns the portal's name with the object make_portal(bus) builds, says "ready" and runs."""
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    portal = make_portal(bus)
    name = dbus.service.BusName(BUS_NAME, bus, do_not_queue=True)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name, portal
