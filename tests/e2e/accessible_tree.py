#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""accessible_tree.py APP [--unnamed] [WINDOW...]
Prints what a screen reader finds of the application APP on the AT-SPI bus, one
object a line ("role: name | description"), indented by depth: all of its
showing windows, or those whose name starts with one of WINDOW (exit 2 if none).
With --unnamed, prints only the controls that have no name, and exits 1 if any."""
import sys
import pyatspi

# What a screen reader announces by name; a label is read by its text.
CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box",
            "spin button", "text", "slider", "menu item", "page tab", "image", "list item"}


def walk(node, depth):
    try:
        row = (depth, node.getRoleName(), node.name, node.description)
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
        children = [node.getChildAtIndex(i) for i in range(node.childCount)]
    except Exception:  # it went away while we looked
        return []
    return [row] + [r for c in children for r in walk(c, depth + 1)] if showing else []


args = [a for a in sys.argv[1:] if a != "--unnamed"]
unnamed = "--unnamed" in sys.argv
windows = [a.getChildAtIndex(i) for a in pyatspi.Registry.getDesktop(0)
           if a is not None and a.name == args[0] for i in range(a.childCount)]
rows = [r for w in windows if w.name.startswith(tuple(args[1:]) or "") for r in walk(w, 0)]
bad = [r for r in rows if r[1] in CONTROLS and not r[2].strip()]
for depth, role, name, desc in bad if unnamed else rows:
    print("  " * depth + f"{role}: {name}" + (f" | {desc}" if desc else ""))
sys.exit(2 if not rows else 1 if unnamed and bad else 0)
