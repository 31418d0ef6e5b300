#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Prints a line for every top-level window the X server maps: the moment it
saw the map (ms since the epoch, read when the event arrives) and the
window's id. Used by measure.sh to time pop-ups on screen, not in a log.

    mapwatch.py  (DISPLAY from the environment; Debian: python3-xlib)
"""
import sys
import time

from Xlib import X, display

d = display.Display()
root = d.screen().root
root.change_attributes(event_mask=X.SubstructureNotifyMask)
d.sync()
print("ready", flush=True)
while True:
    e = d.next_event()
    if e.type == X.MapNotify:
        print("%.3f 0x%x" % (time.time() * 1000, e.window.id), flush=True)
