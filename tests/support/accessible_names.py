#!/usr/bin/python3
"""Lists what a screen reader learns about a running program, through AT-SPI: one line per
accessible object of its windows, indented by depth, as "role: name", marked "(hidden)"
while not visible. The items of lists are left out (they are the data the user browses, not
controls); of a tree, its column header and the nodes it shows.

Lines starting with "UNNAMED " name each visible control, and each part of a tree, that a
screen reader cannot name.

usage: accessible_names.py PROCESS_ID
Exits 3 when the program is not on the accessibility bus within 20 seconds.
"""
import sys
import time

import pyatspi

CONTROLS = {
    "push button", "toggle button", "check box", "radio button", "combo box", "list",
    "list box", "tree", "tree table", "table", "text", "entry", "password text",
    "spin button", "slider", "menu", "menu item", "page tab", "progress bar",
}
DATA = {"list", "list box", "tree", "tree table", "table"}


def find_application(pid):
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.get_process_id() == pid:
                return app
        time.sleep(0.2)
    return None


def walk(node, depth, lines, unnamed):
    for child in node:
        if child is None:
            continue
        role = child.getRoleName()
        name = child.name or ""
        visible = child.getState().contains(pyatspi.STATE_VISIBLE)
        lines.append("  " * depth + f"{role}: {name}" + ("" if visible else " (hidden)"))
        if visible and role in CONTROLS and not name.strip():
            unnamed.append(f"UNNAMED {role} under {node.getRoleName()}: {node.name or ''}")
        if role == "tree":
            for part in child:
                lines.append("  " * (depth + 1) + f"{part.getRoleName()}: {part.name or ''}"
                             + ("" if part.getState().contains(pyatspi.STATE_VISIBLE) else " (hidden)"))
                if not (part.name or "").strip():
                    unnamed.append(f"UNNAMED {part.getRoleName()} in tree: {name}")
        elif role not in DATA:
            walk(child, depth + 1, lines, unnamed)


def main():
    app = find_application(int(sys.argv[1]))
    if app is None:
        print("the program is not on the accessibility bus", file=sys.stderr)
        return 3
    lines, unnamed = [], []
    walk(app, 0, lines, unnamed)
    print("\n".join(lines + unnamed))
    return 0


if __name__ == "__main__":
    sys.exit(main())
