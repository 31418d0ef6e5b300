#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays the desktop's side of a StatusNotifier tray on the session bus: the item
# watcher with a registered host, and a notification server. Every registration
# and notification is appended to LOG, one line each, for the test to read:
#   desktop_host.py LOG
import sys
import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

log_file = open(sys.argv[1], "a", buffering=1)
def log(*fields):
    escaped = (str(f).replace("\n", "\\n").replace("\t", "\\t") for f in fields)
    log_file.write("\t".join(escaped) + "\n")

WATCHER = "org.kde.StatusNotifierWatcher"
class Watcher(dbus.service.Object):
    items = []
    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, name, sender):
        # An item names its bus name (object at the usual path) or a path on its connection.
        service, path = (sender, name) if name.startswith("/") else (name, "/StatusNotifierItem")
        self.items.append(service + path)
        log("item", service, path)
        self.StatusNotifierItemRegistered(service + path)
    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, name): pass
    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item): pass
    # Qt reads the properties only when the introspection data names them.
    @dbus.service.method(dbus.INTROSPECTABLE_IFACE, out_signature="s", path_keyword="path",
                         connection_keyword="connection")
    def Introspect(self, path, connection):
        props = "".join('<property name="%s" type="%s" access="read"/>' % p for p in
                        (("RegisteredStatusNotifierItems", "as"),
                         ("IsStatusNotifierHostRegistered", "b"), ("ProtocolVersion", "i")))
        xml = dbus.service.Object.Introspect(self, path, connection)
        return xml.replace('name="%s">' % WATCHER, 'name="%s">%s' % (WATCHER, props))
    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="ss", out_signature="v")
    def Get(self, interface, name): return self.GetAll(interface)[name]
    @dbus.service.method(dbus.PROPERTIES_IFACE, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return {"RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
                "IsStatusNotifierHostRegistered": True, "ProtocolVersion": dbus.Int32(0)}

NOTES = "org.freedesktop.Notifications"
class Notifications(dbus.service.Object):
    last = 0
    @dbus.service.method(NOTES, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        if not replaces:
            Notifications.last += 1
        id = replaces or Notifications.last
        hints = ";".join("%s=%s" % (k, int(v) if isinstance(v, dbus.Byte) else v)
                         for k, v in sorted(hints.items()))
        log("notify", app, summary, body, icon, timeout, "|".join(actions), hints, id)
        return id
    @dbus.service.method(NOTES, in_signature="us")
    def Act(self, id, action): # not in the protocol: what a click on an action makes the server do
        self.ActionInvoked(id, action)
        self.NotificationClosed(id, 2)
    @dbus.service.method(NOTES, out_signature="as")
    def GetCapabilities(self): return ["body"]
    @dbus.service.method(NOTES, in_signature="u")
    def CloseNotification(self, id):
        log("close", id)
        self.NotificationClosed(id, 3)
    @dbus.service.signal(NOTES, signature="uu")
    def NotificationClosed(self, id, reason): pass
    @dbus.service.signal(NOTES, signature="us")
    def ActionInvoked(self, id, action): pass

DBusGMainLoop(set_as_default=True)
bus = dbus.SessionBus()
names = [dbus.service.BusName(n, bus) for n in (WATCHER, NOTES)]
objects = [Watcher(bus, "/StatusNotifierWatcher"),
           Notifications(bus, "/org/freedesktop/Notifications")]
log("ready")
GLib.MainLoop().run()
