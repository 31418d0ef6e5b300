#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays a desktop's notification server on the session bus. Every notification
# and closing is appended to LOG, one line each, for the test to read:
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

NOTES = "org.freedesktop.Notifications"
class Notifications(dbus.service.Object):
    last = 0
    @dbus.service.method(NOTES, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        Notifications.last += not replaces
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
name = dbus.service.BusName(NOTES, bus)
server = Notifications(bus, "/org/freedesktop/Notifications")
log("ready")
GLib.MainLoop().run()
