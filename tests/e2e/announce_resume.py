#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Tells the programs on the bus ADDRESS that the machine has just resumed, as
# logind would: announce_resume.py ADDRESS
import sys
import dbus

bus = dbus.bus.BusConnection(sys.argv[1])
bus.request_name("org.freedesktop.login1")
signal = dbus.lowlevel.SignalMessage("/org/freedesktop/login1",
                                     "org.freedesktop.login1.Manager", "PrepareForSleep")
signal.append(False, signature="b")
bus.send_message(signal)
bus.flush()
