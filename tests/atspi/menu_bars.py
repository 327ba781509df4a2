#!/usr/bin/python3
"""Prints how the process PID's windows hold their menu bars, one line per bar:
"shown" when the bar is marked visible and showing, else "hidden".

  menu_bars.py PID

The end-to-end checks use it to make sure a bar they read as hidden really is.
"""
import sys

import pyatspi

pid = int(sys.argv[1])
SKIPPED = {pyatspi.ROLE_MENU, pyatspi.ROLE_POPUP_MENU, pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE_TABLE,
           pyatspi.ROLE_TREE, pyatspi.ROLE_LIST, pyatspi.ROLE_TEXT, pyatspi.ROLE_TERMINAL,
           pyatspi.ROLE_DOCUMENT_FRAME, pyatspi.ROLE_DOCUMENT_TEXT}


def walk(node, depth):
    if depth > 8:
        return
    for i in range(node.childCount):
        child = node.getChildAtIndex(i)
        if child is None:
            continue
        role = child.getRole()
        if role == pyatspi.ROLE_MENU_BAR:
            states = child.getState()
            shown = states.contains(pyatspi.STATE_VISIBLE) and states.contains(pyatspi.STATE_SHOWING)
            print("shown" if shown else "hidden")
        elif role not in SKIPPED:
            walk(child, depth + 1)


for application in pyatspi.Registry.getDesktop(0):
    if application is not None and application.get_process_id() == pid:
        walk(application, 0)
