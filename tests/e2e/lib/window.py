#!/usr/bin/python3
"""Drives zentavo's main window through the accessibility tree.

usage: window.py TIMEOUT BUTTON-CAPTION
Waits for the frame titled "Zentavo", checks its four buttons by caption and
order, presses the one named (or none for "-"), then waits for the window to
close. Prints what it saw; exits non-zero on any mismatch.
"""
import sys
import time

import pyatspi

EXPECTED = ["Lab Barkod Yazdır 3060", "SFT Yazdır", "Lab Sonuç Barkod Yazdır",
            "Lab Barkod Yazdır 3050"]


def find_frame(title):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is None:
            continue
        for child in app:
            if child is not None and child.getRoleName() == "frame" and child.name == title:
                return app, child
    return None, None


def buttons(node, out):
    if node is None:
        return out
    if node.getRoleName() == "push button":
        ext = node.queryComponent().getExtents(pyatspi.WINDOW_COORDS)
        out.append((node.name, ext.x, ext.y, ext.width, ext.height, node))
    for child in node:
        buttons(child, out)
    return out


def main():
    timeout = float(sys.argv[1])
    press = sys.argv[2]
    deadline = time.time() + timeout
    app, frame = None, None
    while time.time() < deadline:
        app, frame = find_frame("Zentavo")
        if frame is not None:
            break
        time.sleep(0.2)
    if frame is None:
        print("no window titled Zentavo")
        return 1
    print("application:", app.name)
    if app.name != "Pelmora Korvane":
        print("application title is not Pelmora Korvane")
        return 1
    found = buttons(frame, [])
    for name, x, y, w, h, _ in found:
        print("button: %s at %d,%d size %dx%d" % (name, x, y, w, h))
    names = [b[0] for b in found]
    if sorted(names) != sorted(EXPECTED):
        print("buttons differ from", EXPECTED)
        return 1
    # Top to bottom they come in tab order, as designed.
    by_top = [b[0] for b in sorted(found, key=lambda b: b[2])]
    if by_top != EXPECTED:
        print("buttons out of order:", by_top)
        return 1
    if press == "-":
        return 0
    target = [b for b in found if b[0] == press]
    if not target:
        print("no button", press)
        return 1
    target[0][5].queryAction().doAction(0)
    print("pressed:", press)
    while time.time() < deadline:
        _, frame = find_frame("Zentavo")
        if frame is None:
            print("window closed")
            return 0
        time.sleep(0.2)
    print("window still open")
    return 2


if __name__ == "__main__":
    sys.exit(main())
