#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""What a screen reader sees of a program, through the AT-SPI registry.

atspi-tool.py tree PID          one line per accessible object of the program:
                                depth, role, name, states (comma-separated)
atspi-tool.py press PID NAME    runs the first action of the showing object
                                named NAME; status 1 when there is none
"""
import sys

import pyatspi


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def walk(node, depth=0):
    yield depth, node
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def states(node):
    names = []
    for s in node.getState().getStates():
        names.append(pyatspi.stateToString(s) if hasattr(pyatspi, "stateToString")
                     else str(s).split("STATE_")[-1].split(" ")[0].lower())
    return ",".join(names)


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    app = application(int(sys.argv[2]))
    if app is None:
        print("the program is not in the registry", file=sys.stderr)
        return 1
    if sys.argv[1] == "tree":
        for depth, node in walk(app):
            print(f"{depth}\t{node.getRoleName()}\t{node.name}\t{states(node)}")
        return 0
    if sys.argv[1] == "press" and len(sys.argv) == 4:
        for _, node in walk(app):
            if node.name == sys.argv[3] and node.getState().contains(pyatspi.STATE_SHOWING):
                action = node.queryAction()
                if action.nActions > 0 and action.doAction(0):
                    return 0
        print(f"nothing named {sys.argv[3]!r} to press", file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
