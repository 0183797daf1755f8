#!/usr/bin/python3
"""Lists what a screen reader learns about a running program, through AT-SPI: one line per
accessible object of its windows, indented by depth, as "role: name", marked "(hidden)"
while not visible. The items of lists are left out (they are the data the user browses, not
controls); of a tree, its column header and the nodes it shows.

Lines starting with "UNNAMED " name each visible control, and each part of a tree, that a
screen reader cannot name.

With --events, it instead listens until it is ended and prints what a screen reader hears
change: "name: ROLE: NAME" for a new name (a status line's text), "value: ROLE: VALUE" for a
new value (the progress bar's); "listening" first, once it listens.

usage: accessible_names.py [--events] PROCESS_ID
Exits 3 when the program is not on the accessibility bus within 20 seconds.
"""
import signal
import sys
import time

import pyatspi
from gi.repository import GLib

CONTROLS = {
    "push button", "toggle button", "check box", "radio button", "combo box", "list",
    "list box", "tree", "tree table", "table", "text", "entry", "password text",
    "spin button", "slider", "menu", "menu item", "page tab", "progress bar",
}
DATA = {"list", "list box", "tree", "tree table", "table"}
TREES = {"tree", "tree table"}


def find_application(pid):
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.2)
    return None


def line(node, depth):
    visible = node.getState().contains(pyatspi.STATE_VISIBLE)
    return "  " * depth + f"{node.getRoleName()}: {node.name or ''}" + ("" if visible else " (hidden)")


def walk(node, depth, lines, unnamed):
    for child in node:
        if child is None:
            continue
        role = child.getRoleName()
        name = child.name or ""
        visible = child.getState().contains(pyatspi.STATE_VISIBLE)
        lines.append(line(child, depth))
        if visible and role in CONTROLS and not name.strip():
            unnamed.append(f"UNNAMED {role} under {node.getRoleName()}: {node.name or ''}")
        if role in TREES:
            for part in child:
                if part is not None:
                    lines.append(line(part, depth + 1))
                    if not (part.name or "").strip():
                        unnamed.append(f"UNNAMED {part.getRoleName()} in {role}: {name}")
        elif role not in DATA:
            walk(child, depth + 1, lines, unnamed)


def listen(pid):
    def heard(event):
        try:
            if event.host_application.get_process_id() != pid:
                return
            source = event.source
            if event.type.endswith("accessible-value"):
                print(f"value: {source.getRoleName()}: {source.queryValue().currentValue:g}",
                      flush=True)
            else:
                print(f"name: {source.getRoleName()}: {source.name or ''}", flush=True)
        except Exception as error:  # an object gone meanwhile: the next event counts
            print(f"unreadable event: {error}", file=sys.stderr)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-name",
                                           "object:property-change:accessible-value")
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, signal.SIGTERM, pyatspi.Registry.stop)
    print("listening", flush=True)
    pyatspi.Registry.start()
    return 0


def main():
    events = sys.argv[1] == "--events"
    pid = int(sys.argv[-1])
    app = find_application(pid)
    if app is None:
        print("the program is not on the accessibility bus", file=sys.stderr)
        return 3
    if events:
        return listen(pid)
    lines, unnamed = [], []
    walk(app, 0, lines, unnamed)
    print("\n".join(lines + unnamed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
