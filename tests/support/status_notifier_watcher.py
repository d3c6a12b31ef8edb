#!/usr/bin/python3
"""A StatusNotifierWatcher with a host, as a panel of status notifier items has, on the session bus.

It prints "registered <bus name> <object path>" for every item that registers, and on a line "activate"
read from its standard input calls Activate(0, 0) on each of them, as a panel does on a click, then
prints "activated <count>".
"""
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = 'org.kde.StatusNotifierWatcher'
ITEM = 'org.kde.StatusNotifierItem'

# Listed in full: a toolkit reads the properties through the object's introspection.
INTROSPECTION = """<node>
 <interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
 </interface>
 <interface name="org.freedesktop.DBus.Properties">
  <method name="Get"><arg type="s" direction="in"/><arg type="s" direction="in"/>
   <arg type="v" direction="out"/></method>
  <method name="GetAll"><arg type="s" direction="in"/><arg type="a{sv}" direction="out"/></method>
 </interface>
 <interface name="org.freedesktop.DBus.Introspectable">
  <method name="Introspect"><arg type="s" direction="out"/></method>
 </interface>
</node>"""


class Watcher(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, '/StatusNotifierWatcher')
        self.bus = bus
        self.items = []

    @dbus.service.method(WATCHER, in_signature='s', sender_keyword='sender')
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name, or only its object path on the caller's connection.
        if service.startswith('/'):
            name, path = sender, service
        else:
            name, path = service, '/StatusNotifierItem'
        self.items.append((name, path))
        print('registered', name, path, flush=True)
        self.StatusNotifierItemRegistered(name + path)

    @dbus.service.method(WATCHER, in_signature='s')
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature='s')
    def StatusNotifierItemRegistered(self, service):
        pass

    def properties(self):
        return {'RegisteredStatusNotifierItems': dbus.Array([n + p for n, p in self.items], signature='s'),
                'IsStatusNotifierHostRegistered': dbus.Boolean(True),
                'ProtocolVersion': dbus.Int32(0)}

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature='ss', out_signature='v')
    def Get(self, interface, name):
        return self.properties()[name]

    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature='s', out_signature='a{sv}')
    def GetAll(self, interface):
        return self.properties()

    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, in_signature='', out_signature='s',
                         path_keyword='object_path', connection_keyword='connection')
    def Introspect(self, object_path, connection):
        return INTROSPECTION

    def activate_all(self):
        for name, path in self.items:
            item = self.bus.get_object(name, path)
            item.Activate(dbus.Int32(0), dbus.Int32(0), dbus_interface=ITEM)
        print('activated', len(self.items), flush=True)


def main():
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    watcher = Watcher(bus)
    name = dbus.service.BusName(WATCHER, bus)
    loop = GLib.MainLoop()

    def command(source, condition):
        line = sys.stdin.readline()
        if not line:
            loop.quit()
            return False
        if line.strip() == 'activate':
            watcher.activate_all()
        return True

    GLib.io_add_watch(sys.stdin, GLib.IO_IN | GLib.IO_HUP, command)
    print('ready', flush=True)
    loop.run()
    del name


if __name__ == '__main__':
    main()
