#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""accessible_tree.py APP [--unnamed] [WINDOW...]
Prints what a screen reader finds of the application APP on the AT-SPI bus, one
object a line ("role: name | description"), indented by depth: all of its
showing windows, or those whose name starts with one of WINDOW. With
--unnamed, prints only the controls that have no name, and exits 1 if any."""
import sys
import pyatspi

# What a screen reader announces by name; a label is read by its text.
CONTROLS = {"push button", "toggle button", "check box", "radio button", "combo box",
            "spin button", "text", "slider", "menu item", "page tab", "image", "list item"}


def walk(node, depth, out):
    try:
        role, name, desc = node.getRoleName(), node.name, node.description
        showing = node.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:  # it went away while we looked
        return
    if not showing:
        return
    out.append((depth, role, name, desc))
    for i in range(node.childCount):
        walk(node.getChildAtIndex(i), depth + 1, out)


def main():
    args = sys.argv[1:]
    unnamed = "--unnamed" in args
    args = [a for a in args if a != "--unnamed"]
    app_name, windows = args[0], args[1:]
    desktop = pyatspi.Registry.getDesktop(0)
    apps = [a for a in desktop if a is not None and a.name == app_name]
    if not apps:
        print("no application", app_name)
        return 2
    rows = []
    for app in apps:
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if not windows or any(window.name.startswith(w) for w in windows):
                walk(window, 0, rows)
    if not rows:
        print("no window", windows)
        return 2
    bad = [r for r in rows if r[1] in CONTROLS and not r[2].strip()]
    for depth, role, name, desc in (bad if unnamed else rows):
        print("  " * depth + f"{role}: {name}" + (f" | {desc}" if desc else ""))
    return 1 if unnamed and bad else 0


sys.exit(main())
