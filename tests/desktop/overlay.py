#!/usr/bin/python3
"""Reads what Tavlin's overlay shows, through the accessibility bus, as a screen reader would.

  overlay.py texts            every name on screen in Tavlin's windows, one per line
  overlay.py centre NAME      the screen position "X Y" of the centre of the element named NAME
  overlay.py active           the process id of the application whose window is active
  overlay.py tree             every element of Tavlin's, with its role, name and states
"""
import sys

import pyatspi

APPLICATION = "Tavlin"


def tavlin():
    desktop = pyatspi.Registry.getDesktop(0)
    for index in range(desktop.childCount):
        try:
            app = desktop.getChildAtIndex(index)
            if app is not None and app.name == APPLICATION:
                return app
        except Exception as error:  # an application that does not answer (stopped, say)
            print(f"application {index} did not answer: {error}", file=sys.stderr)
    return None


def showing(node, depth=0):
    """Yields the elements under `node` that are on screen, depth first."""
    if node is None or depth > 40:
        return
    try:
        states = node.getState()
        if node.getRole() != pyatspi.ROLE_APPLICATION and not states.contains(pyatspi.STATE_SHOWING):
            return
        yield node
        for index in range(node.childCount):
            yield from showing(node.getChildAtIndex(index), depth + 1)
    except Exception:  # an element that went away while we read it
        return


def main(argv):
    app = tavlin()
    if app is None and argv[1:2] != ["active"]:
        print(f"{APPLICATION} is not on the accessibility bus", file=sys.stderr)
        return 1
    if argv[1:2] == ["texts"]:
        for node in showing(app):
            if node.name and node.getRole() != pyatspi.ROLE_APPLICATION:
                print(node.name)
        return 0
    if argv[1:2] == ["tree"]:
        def walk(node, depth):
            if node is None or depth > 12:
                return
            try:
                states = [pyatspi.stateToString(s) for s in node.getState().getStates()]
                print("  " * depth + f"{node.getRoleName()} {node.name!r} {' '.join(states)}")
                for index in range(node.childCount):
                    walk(node.getChildAtIndex(index), depth + 1)
            except Exception as error:
                print("  " * depth + f"(went away: {error})")
        walk(app, 0)
        return 0
    if argv[1:2] == ["centre"] and len(argv) == 3:
        for node in showing(app):
            if node.name == argv[2]:
                box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                print(box.x + box.width // 2, box.y + box.height // 2)
                return 0
        return 1
    if argv[1:2] == ["active"]:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and any(w is not None and w.getState().contains(pyatspi.STATE_ACTIVE) for w in app):
                    print(app.get_process_id())
                    return 0
            except Exception:  # an application that went away while we read it
                continue
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
