#!/usr/bin/python3
# Finds, in the accessibility tree of the running applications whose name
# contains APP, an object whose accessible name contains TEXT, and prints that
# name: how the end-to-end test reads the pane's status line without reading
# pixels of text. Exit 0 when found, 1 when not.
# usage: a11y_find.py TEXT [APP]
import sys

import pyatspi


def find(node, text, depth=0):
    if node is None or depth > 80:
        return None
    try:
        name = node.name or ""
        count = node.childCount
    except Exception:  # objects come and go while the tree is walked
        return None
    if text in name:
        return name
    for i in range(count):
        try:
            found = find(node.getChildAtIndex(i), text, depth + 1)
        except Exception:
            found = None
        if found:
            return found
    return None


def main():
    text = sys.argv[1]
    app_name = sys.argv[2] if len(sys.argv) > 2 else ""
    for app in pyatspi.Registry.getDesktop(0):
        if app is None or app_name not in (app.name or ""):
            continue
        found = find(app, text)
        if found:
            print(found)
            return 0
    return 1


sys.exit(main())
