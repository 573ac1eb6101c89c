#!/usr/bin/env python3
"""Reads the real Orvida through AT-SPI, the way a screen reader does.

Copies the built program into a temporary folder with a prepared conf.ini, starts it with
Qt's accessibility bridge on, and reads its accessibility tree from the registry: every
window, button, box and label has its Italian name and its role; pressing the roll button
through its accessible action rolls, and so does a mouse click where the registry places
it; the new sum is announced by an event. Meant to run inside
`scripts/lib/with-xvfb dbus-run-session --`, with the Debian python3 (python3-pyatspi).

Exit status: 0 passed, 1 failed, 77 skipped (pyatspi or xdotool is missing).
"""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import traceback

import e2e_checks
from e2e_checks import WAIT, Failure, check, stop_program

try:
    import pyatspi
    from gi.repository import GLib
except ImportError as missing:
    print("skipped: %s (install python3-pyatspi)" % missing, flush=True)
    sys.exit(77)
if not shutil.which("xdotool"):
    print("skipped: no xdotool", flush=True)
    sys.exit(77)


MAIN_TITLE = "Orvida"
SPLASH_TITLE = "Informazioni su..."
CONFIG_TITLE = "Configura la Pulsantiera Veloce"

# Slot 1 rolls 8d6; the other slots are "S<n>", n d6.
CAPTIONS = {1: "Palla di fuoco 8d6"}

# Words a control's name would hold were it left in English.
ENGLISH = {"about", "box", "button", "cancel", "close", "count", "dice", "die", "edit", "exit"}
ENGLISH |= {"image", "keypad", "label", "open", "page", "quit", "result", "roll", "show", "sides"}
# An object's name in the code (Command1, Text2, cmndUpDown, line_1) rather than a word.
IDENTIFIER = re.compile(r"[A-Za-z]+\d+|\w*[a-z][A-Z]\w*|\w+_\w*")


def caption(n):
    return CAPTIONS.get(n, "S%d" % n)


def config_bytes():
    lines = []
    for n in range(1, 21):
        lines += [caption(n), " %d" % (8 if n == 1 else n), " 6"]
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def check_names(window, what):
    """Every control a user reaches in `window` (its labels are read as they show) has an
    Italian name of its own there."""
    named = [(role, name) for role, name in controls(window) if role not in ("label", "separator")]
    check(named, "%s has controls" % what)
    for role, name in named:
        english = set(re.findall(r"[a-z]+", name.lower())) & ENGLISH
        check(
            name.strip() and not IDENTIFIER.fullmatch(name) and not english,
            "%s: the %s %r has an Italian name" % (what, role, name),
        )
    names = [name for _, name in named]
    twice = sorted({name for name in names if names.count(name) > 1})
    check(not twice, "%s: no two controls share a name (%s)" % (what, twice))


def pump():
    """Delivers the events that have reached us."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def poll(what, probe, timeout=WAIT):
    """Calls probe() until it returns something true; returns that value. Events are delivered
    before each call, and a probe that finds the tree changing under it is asked again."""
    return e2e_checks.poll(what, probe, timeout, before=pump, transient=(GLib.Error,))


def children(accessible):
    found = (accessible.getChildAtIndex(i) for i in range(accessible.childCount))
    return [child for child in found if child is not None]


def showing(accessible):
    return accessible.getState().contains(pyatspi.STATE_SHOWING)


def controls(window):
    """The (role, name) of every showing descendant of a window, sorted."""
    found = []
    for child in children(window):
        if showing(child):
            found.append((child.getRoleName(), child.name))
            found += controls(child)
    return sorted(found)


def find(window, role, name):
    for child in children(window):
        if child.getRoleName() == role and child.name == name and showing(child):
            return child
        inner = find(child, role, name)
        if inner is not None:
            return inner
    return None


def press(window, name):
    """Presses a push button through its accessible action, as a screen reader does."""
    button = find(window, "push button", name)
    check(button is not None, "the button %r is there" % name)
    action = button.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    check("Press" in names, "the button %r can be pressed (%s)" % (name, names))
    action.doAction(names.index("Press"))


def click(window, name):
    """Clicks a push button with the mouse, in the middle of where the registry says it is."""
    button = find(window, "push button", name)
    check(button is not None, "the button %r is there" % name)
    box = button.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    middle = (str(box.x + box.width // 2), str(box.y + box.height // 2))
    subprocess.run(["xdotool", "mousemove", *middle, "click", "1"], check=True, timeout=WAIT)


def box_text(box):
    return box.queryText().getText(0, -1)


class Program:
    def __init__(self, executable, cwd, log_path):
        self.log = open(log_path, "wb")
        env = dict(os.environ)
        env["QT_QPA_PLATFORM"] = "xcb"
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        runtime = os.path.join(cwd, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env["XDG_RUNTIME_DIR"] = runtime
        self.process = subprocess.Popen(
            [executable],
            cwd=cwd,
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=self.log,
            stderr=subprocess.STDOUT,
            start_new_session=True,
        )

    def alive(self):
        return self.process.poll() is None

    def application(self):
        def probe():
            if not self.alive():
                raise Failure("the program ended before it showed up in the registry")
            for app in children(pyatspi.Registry.getDesktop(0)):
                if app is not None and app.get_process_id() == self.process.pid:
                    return app
            return None

        return poll("the program in the accessibility registry", probe)

    def window(self, app, title):
        def probe():
            for window in children(app):
                if window.name == title and showing(window):
                    return window
            return None

        return poll("the window %r" % title, probe)

    def stop(self):
        stop_program(self.process, self.log)


def scenario(program):
    app = program.application()
    check(app.name == MAIN_TITLE, "the application is called %r" % app.name)

    splash = program.window(app, SPLASH_TITLE)
    check(splash.getRoleName() == "dialog", "the About window is a dialog")
    check_names(splash, "the About window")
    press(splash, "OK")

    main = program.window(app, MAIN_TITLE)
    check(main.getRoleName() == "frame", "the main window is a frame")
    press(main, "Apri Pulsantiera Veloce")
    poll("the keypad panel to open", lambda: find(main, "panel", "Pulsantiera Veloce"))
    check_names(main, "the main window")
    read = [name for role, name in controls(main) if role == "push button"]
    for n in range(1, 21):
        shown = caption(n)
        check(any(name.endswith(" " + shown) for name in read), "button %d reads %r" % (n, shown))

    # A new sum is announced: the result box's description changes, with an event.
    result = find(main, "text", "Risultato del lancio")
    count = find(main, "text", "Numero di dadi")
    sides = find(main, "text", "Numero di facce di ogni dado")
    events = []

    def heard(event):
        if event.source == result:
            events.append(event.type)

    pyatspi.Registry.registerEventListener(heard, "object:property-change:accessible-description")
    try:
        for attempt in range(1, 4):
            before = len(events)
            (press if attempt < 3 else click)(main, "Tira i dadi")  # 3d6
            poll("the roll's announcement", lambda: len(events) > before)
            value = int(box_text(result))
            check(3 <= value <= 18, "roll %d: the result box reads a sum of 3d6 (%d)" % (attempt, value))
            check(
                result.description == "Ultimo lancio: %d" % value,
                "roll %d: its description tells the new sum (%r)" % (attempt, result.description),
            )
        # Pressed as a screen reader does, then clicked with the mouse.
        for roll, name, dice in ((press, "1: Palla di fuoco 8d6", 8), (click, "2: S2", 2)):
            before = len(events)
            roll(main, "Pulsante veloce " + name)
            poll("the keypad roll's announcement", lambda: len(events) > before)
            check(box_text(count) == str(dice) and box_text(sides) == "6", "it sets %dd6" % dice)
            value = int(box_text(result))
            check(dice <= value <= 6 * dice, "the result box reads a sum (%d)" % value)
            check(result.description == "Ultimo lancio: %d" % value, "and announces it")
    finally:
        pyatspi.Registry.deregisterEventListener(
            heard, "object:property-change:accessible-description"
        )

    press(main, "Configura Pulsantiera Veloce")
    dialog = program.window(app, CONFIG_TITLE)
    check(dialog.getRoleName() == "dialog", "the configuration window is a dialog")
    check_names(dialog, "the dialog")
    boxes = [find(dialog, "text", name) for role, name in controls(dialog) if role == "text"]
    boxes = {box_text(box) for box in boxes}
    for n in range(1, 11):
        check(caption(n) in boxes, "a box of the first page reads caption %d" % n)
    press(dialog, "Annulla")
    poll(
        "the dialog to close",
        lambda: not any(w.name == CONFIG_TITLE and showing(w) for w in children(app)),
    )

    press(main, "Esci")
    poll("the program to end", lambda: not program.alive())
    check(program.process.returncode == 0, "Esci ends the program with status 0")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True, help="the built Orvida executable")
    args = parser.parse_args()
    if not os.environ.get("DISPLAY") or not os.environ.get("DBUS_SESSION_BUS_ADDRESS"):
        print("run this under scripts/lib/with-xvfb dbus-run-session --", file=sys.stderr)
        return 1

    # Ended from outside (a ctest time-out): still stop the program on the way out.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit("terminated"))
    temp = tempfile.mkdtemp(prefix="orvida-atspi-")
    program = None
    try:
        folder = os.path.join(temp, "bin")
        os.makedirs(folder)
        executable = os.path.join(folder, "Orvida")
        shutil.copy2(args.program, executable)
        with open(os.path.join(folder, "conf.ini"), "wb") as conf:
            conf.write(config_bytes())
        program = Program(executable, temp, os.path.join(temp, "program.log"))
        scenario(program)
        print("atspi: all checks passed", flush=True)
        return 0
    except (Failure, GLib.Error, subprocess.SubprocessError, OSError, ValueError) as error:
        print("FAILED:", error, file=sys.stderr, flush=True)
        traceback.print_exc()
        return 1
    finally:
        if program is not None:
            program.stop()
            with open(os.path.join(temp, "program.log"), "rb") as log:
                output = log.read().decode("utf-8", "replace").strip()
            if output:
                print("program output:\n" + output, flush=True)
        shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
