#!/usr/bin/python3
"""Starts Zorvane on the X display and finds its controls over the
accessibility bus (AT-SPI), as screen readers and UI test tools do; then
chooses File > Exit there and expects the program to end at once.

Usage: atspi_controls.py PATH-TO-ZORVANE
Run inside a D-Bus session (dbus-run-session); the accessibility bus is
started on demand by the session bus (org.a11y.Bus). Exits 77 (skipped)
when there is no display or no pyatspi.
"""
import os
import signal
import subprocess
import sys
import time

SKIP = 77

# Accessible name -> what the description must speak of (any description).
NAMED = ["PicWave", "PicTime", "ScrollStart", "ScrollEnd", "VolSlider", "TxtNumFrames"]
CAPTIONS = [
    "Filename:",
    "Time: 0:0 / Frame: 0",
    "Start: 0",
    "End: 0",
    "Total Length:(Time:0:0 / Seconds: 0)",
    "Selected:(Seconds: 0 / Frames: 0)",
    "Frames Per Second:",
]
MENUS = ["File", "Edit"]


def skip(why):
    print(f"SKIP: {why}")
    sys.exit(SKIP)


def walk(node, depth=0, out=None):
    out = [] if out is None else out
    if node is None or depth > 30:
        return out
    out.append(node)
    try:
        count = node.childCount
    except Exception:
        return out
    for i in range(count):
        try:
            walk(node.getChildAtIndex(i), depth + 1, out)
        except Exception:
            pass
    return out


def find_app(pyatspi, pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            continue
    return None


def exit_through_menu(names, proc):
    item = names.get("Exit")
    if item is None:
        print("FAIL: no Exit menu item")
        return 1
    action = item.queryAction()
    try:
        action.doAction(0)
    except Exception as e:
        # The program may end before it answers the call: that is the point.
        print(f"(no answer to Press: {e})")
    try:
        code = proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        print("FAIL: still running 5 s after File > Exit")
        return 1
    if code != 0:
        print(f"FAIL: File > Exit ended the program with {code}")
        return 1
    print("File > Exit ended the program")
    return 0


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    if not os.environ.get("DISPLAY"):
        skip("DISPLAY is not set")
    if not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        skip("no D-Bus session (run under dbus-run-session)")
    try:
        import pyatspi  # noqa: F401  (Debian: python3-pyatspi)
    except ImportError:
        skip("pyatspi is not installed")

    env = dict(os.environ)
    env.update(QT_ACCESSIBILITY="1", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    proc = subprocess.Popen([sys.argv[1]], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        missing = None
        deadline = time.monotonic() + 30
        while time.monotonic() < deadline:
            time.sleep(0.5)
            if proc.poll() is not None:
                print(f"FAIL: zorvane ended early with {proc.returncode}")
                return 1
            app = find_app(pyatspi, proc.pid)
            if app is None:
                continue
            nodes = walk(app)
            names = {}
            for n in nodes:
                try:
                    names.setdefault(n.name, n)
                except Exception:
                    pass
            missing = [x for x in NAMED + CAPTIONS + MENUS if x not in names]
            if missing:
                continue
            bare = [x for x in NAMED if not names[x].description]
            if bare:
                print(f"FAIL: no accessible description on {bare}")
                return 1
            roles = {x: names[x].getRoleName() for x in NAMED}
            print("found every control:", ", ".join(f"{k} ({v})" for k, v in roles.items()))
            return exit_through_menu(names, proc)
        print(f"FAIL: not found over AT-SPI within 30 s: {missing if missing is not None else 'the application'}")
        return 1
    finally:
        if proc.poll() is None:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(timeout=5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()


if __name__ == "__main__":
    sys.exit(main())
