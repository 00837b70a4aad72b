#!/usr/bin/python3
# Finds, in the accessibility tree of the running applications whose name
# contains APP, an object whose accessible name contains TEXT, and prints that
# name: how the end-to-end tests read the pane's status line and the IDE's
# tool tips without reading pixels of text. With --press ROLE, the object
# must be named TEXT exactly and have that role ("push button"), and its
# first action (a button's press) is done. Exit 0 when found, 1 when not.
# usage: a11y_find.py [--press ROLE] TEXT [APP]
import sys

import pyatspi


def find(node, matches, depth=0):
    if node is None or depth > 80:
        return None
    try:
        name = node.name or ""
        role = node.getRoleName()
        count = node.childCount
    except Exception:  # objects come and go while the tree is walked
        return None
    if matches(name, role):
        return node
    for i in range(count):
        try:
            found = find(node.getChildAtIndex(i), matches, depth + 1)
        except Exception:
            found = None
        if found:
            return found
    return None


def main():
    arguments = sys.argv[1:]
    press_role = None
    if arguments[:1] == ["--press"]:
        press_role = arguments[1]
        arguments = arguments[2:]
    text = arguments[0]
    app_name = arguments[1] if len(arguments) > 1 else ""
    if press_role:
        matches = lambda name, role: name == text and role == press_role
    else:
        matches = lambda name, role: text in name
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app_name not in (app.name or ""):
            continue
        found = find(app, matches)
        if found:
            if press_role:
                found.queryAction().doAction(0)
            print(found.name)
            return 0
    return 1


sys.exit(main())
