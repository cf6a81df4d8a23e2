#!/usr/bin/python3
"""Drives zentavo's main window through the accessibility tree.

usage: window.py TIMEOUT BUTTON-CAPTION [ERROR-TEXT CAPTION open|closed]
Waits for the frame titled "Zentavo", checks its four buttons by caption and
order, presses the one named (or none for "-"), then waits for the window to
close. With ERROR-TEXT it waits instead for an error box holding that text,
checks the box's CAPTION, presses its OK button and checks that the main window
then stays open or closes. Prints what it saw; exits non-zero on any mismatch.
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


def find_text(node, text, depth=0):
    if node is None or depth > 20:
        return False
    if text in (node.name or ""):
        return True
    return any(find_text(child, text, depth + 1) for child in node)


def find_error_box(app, text):
    for child in app:
        if child is None or child.getRoleName() not in ("alert", "dialog"):
            continue
        if find_text(child, text):
            return child
    return None


def wait_closed(deadline):
    while time.time() < deadline:
        _, frame = find_frame("Zentavo")
        if frame is None:
            print("window closed")
            return 0
        time.sleep(0.2)
    print("window still open")
    return 2


def answer_error(app, text, caption, then, deadline):
    box = None
    while time.time() < deadline and box is None:
        box = find_error_box(app, text)
        time.sleep(0.2)
    if box is None:
        print("no error box with", repr(text))
        return 1
    print("error box:", box.name)
    if box.name != caption:
        print("error box caption is not", repr(caption))
        return 1
    ok = [b for b in buttons(box, []) if b[0] in ("OK", "_OK")]
    if not ok:
        print("error box has no OK button")
        return 1
    ok[0][5].queryAction().doAction(0)
    if then == "closed":
        return wait_closed(deadline)
    time.sleep(1.0)
    _, frame = find_frame("Zentavo")
    if frame is None:
        print("window closed after an error")
        return 1
    print("window stays open")
    return 0


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
    if press != "-":
        target = [b for b in found if b[0] == press]
        if not target:
            print("no button", press)
            return 1
        target[0][5].queryAction().doAction(0)
        print("pressed:", press)
    if len(sys.argv) > 5:
        return answer_error(app, sys.argv[3], sys.argv[4], sys.argv[5], deadline)
    if press == "-":
        return 0
    return wait_closed(deadline)


if __name__ == "__main__":
    sys.exit(main())
