"""A plain pyatspi walk of an application's menu bar, for comparison with tavlin-scan.

Reads what the scanner reads, one call at a time, the way a straightforward client
would: the menu bar of the active window (else of the first window that has one), then
for every menu node down to the submenus' items its children, name, role, states and key
binding. libatspi's client-side cache is cleared before every walk, so that each walk
reads the application afresh, as each scan does.

    python3 atspi_pyatspi_walk.py PID REPEAT    prints "rows min median max" in ms
"""
import statistics
import sys
import time

import pyatspi

MENU_ROLES = (pyatspi.ROLE_MENU, pyatspi.ROLE_POPUP_MENU)


def application(pid):
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.get_process_id() == pid:
            return app
    return None


def menu_bar(app):
    windows = [w for w in app if w is not None]
    windows.sort(key=lambda w: not w.getState().contains(pyatspi.STATE_ACTIVE))
    for window in windows:
        bar = pyatspi.findDescendant(window, lambda n: n.getRole() == pyatspi.ROLE_MENU_BAR, breadth_first=True)
        if bar is not None:
            return bar
    return None


def key_binding(node):
    try:
        return node.queryAction().getKeyBinding(0)
    except Exception:
        return ""


def collect(node, depth, rows):
    """Walks an item's entries; depth counts items (top-level items are 1)."""
    if depth > 3:
        return
    parent_role = node.getRole()
    for child in node:
        if child is None:
            continue
        name, role = child.name, child.getRole()
        states = child.getState()
        if parent_role != pyatspi.ROLE_MENU and role in MENU_ROLES and not name:
            collect(child, depth, rows)  # Qt: the item's menu holds its entries
            continue
        binding = key_binding(child)
        if states.contains(pyatspi.STATE_SENSITIVE) and name and binding:
            rows.append((name, binding))
        if child.childCount:
            collect(child, depth + 1, rows)


def walk(pid):
    app = application(pid)
    if app is None:
        return []
    app.clear_cache()
    bar = menu_bar(app)
    rows = []
    if bar is not None:
        for top in bar:
            if top is not None:
                top.name, key_binding(top)
                collect(top, 2, rows)
    return rows


def main():
    pid, repeat = int(sys.argv[1]), int(sys.argv[2])
    times, rows = [], []
    for _ in range(repeat):
        start = time.perf_counter()
        rows = walk(pid)
        times.append((time.perf_counter() - start) * 1000)
    print(len(rows), min(times), statistics.median(times), max(times))


if __name__ == "__main__":
    main()
