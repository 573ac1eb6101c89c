#!/usr/bin/env python3
"""Drives the installed Orvida in a real X session, the way a user does.

Installs the program into a temporary prefix, puts a prepared conf.ini beside the
executable and starts it from another folder. Keys go in through xdotool (XTEST) and reach
the controls as a keyboard user's do: access keys, Esc, Space and the tab order. The boxes are
read back through the clipboard (select all, Ctrl+C, xclip) and each window is saved as a
screenshot. Meant to run inside scripts/lib/with-xvfb; needs no window manager.

With --scenario read-only it checks instead that a program folder the user cannot write
makes saving fail with a message and loses nothing.

With --wine it drives the Windows build the same way: the build is installed, as its ZIP
unpacks, into C:\Giochi\Città di prova\Orvida of the Wine prefix in WINEPREFIX, and
Orvida.exe runs there under Wine on the windows platform. The read-only scenario then gives
conf.ini the read-only attribute, and also checks the path in the error message. --scale
sets Windows' display scale (Wine's LogPixels) first: the main window's sizes on the screen
must then be that share of those that a 100 % run wrote to --sizes.

Exit status: 0 passed, 1 failed, 77 skipped (a needed tool is missing).
"""

import argparse
import contextlib
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback

from e2e_checks import START_WAIT, WAIT, Failure, check, ping, poll, stop_program

SPLASH_TITLE = "Informazioni su..."
MAIN_TITLE = "Orvida"
CONFIG_TITLE = "Configura la Pulsantiera Veloce"
MESSAGE_TITLE = "Orvida"

TOOLS = ("xdotool", "xclip", "import")
# The main window's tab order with the keypad open: its buttons 1 to 20 follow "&Tira".
MAIN_TABS = ("count", "result", "sides", "tira", *range(1, 21), "updown", "config", "about", "exit")
# The configuration dialog's, from the page buttons (the one of the page shown is disabled).
DIALOG_TABS = ("page2", "cancel", "ok", "caption1", "count1", "sides1", "caption2")


# --- The prepared presets ---------------------------------------------------------------------


def signed_text(value):
    """The normal form of a number line: a blank before zero and positive numbers."""
    return (" %d" % value) if value >= 0 else "-%d" % -value


class Slot:
    """One preset: its lines as prepared, and the numbers the program reads from them."""

    def __init__(self, caption, count_line, sides_line, count, sides, ends=(b"\r\n",) * 3):
        self.caption = caption
        self.lines = (caption, count_line.encode("ascii"), sides_line.encode("ascii"))
        self.count = count
        self.sides = sides
        self.ends = ends

    def prepared(self):
        return b"".join(line + end for line, end in zip(self.lines, self.ends))

    def normal(self):
        return b"".join(
            (
                self.caption + b"\r\n",
                signed_text(self.count).encode("ascii") + b"\r\n",
                signed_text(self.sides).encode("ascii") + b"\r\n",
            )
        )


def prepared_slots():
    """Twenty presets whose number lines are mostly not in the normal form."""
    return [
        Slot(b"1d4", "001", "+4", 1, 4),
        Slot(b"Spada lunga", "1", "8", 1, 8),
        Slot(b"  spazi ai lati  ", "2", "  6", 2, 6),
        Slot(b'Virgola, "virgolette"', "+3", "006", 3, 6),
        Slot(b"Palla di fuoco", "007", "+6", 7, 6),
        Slot(b"Mezzi", "2.5", "3.5", 2, 4),
        Slot(b"", "0", "0", 0, 0),
        Slot(b"Negativo", "-2", "parola", -2, 0),
        Slot(b"Percento", " 1", "100x", 1, 100),
        Slot("Però".encode("cp1252"), "1", "20", 1, 20),
        Slot(b"2d4", " 2", " 4", 2, 4),
        Slot(b"2d6", "02", "06", 2, 6),
        Slot(b"3d6", "3", "6", 3, 6),
        Slot(b"4d6", "4", "6", 4, 6),
        # Lone line feeds are read as line ends too; the program always writes CR LF.
        Slot(b"2d8", "2", "8", 2, 8, ends=(b"\n", b"\n", b"\r\n")),
        Slot(b"3d8", "3", "8", 3, 8),
        Slot(b"4d8", "4", "8", 4, 8),
        Slot(b"2d10", "2", "10", 2, 10),
        Slot(b"2d12", "2", "12", 2, 12),
        # The last line may lack its line end.
        Slot(b"5d6", "5", "6", 5, 6, ends=(b"\r\n", b"\r\n", b"")),
    ]


# --- Talking to X -----------------------------------------------------------------------------


def reached(message):
    """Logs a state that the wait just before it has already checked (it fails on time-out)."""
    print("ok:", message, flush=True)


def run(*args, timeout=WAIT, check_status=True):
    result = subprocess.run(
        args, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, timeout=timeout
    )
    if check_status and result.returncode != 0:
        raise Failure("%s failed (%d): %s" % (" ".join(args), result.returncode, result.stderr))
    return result.stdout


def key(*keys):
    run("xdotool", "key", "--clearmodifiers", "--delay", "30", *keys)


def type_text(text):
    run("xdotool", "type", "--clearmodifiers", "--delay", "20", text)


def focus(window):
    run("xdotool", "windowfocus", "--sync", window)


def window_size(window):
    """The window's size in screen pixels."""
    lines = run("xdotool", "getwindowgeometry", "--shell", window).splitlines()
    values = dict(line.partition("=")[::2] for line in lines)
    return int(values["WIDTH"]), int(values["HEIGHT"])


def screenshot(window, path):
    run("import", "-window", window, path)
    print("screenshot:", path, flush=True)


class Clipboard:
    """Reads what the program copies: the clipboard is first set to a fresh marker, so a
    copy that never happened cannot pass for one that did."""

    def __init__(self):
        self.count = 0

    def copy(self, send_copy_key):
        self.count += 1
        marker = "orvida-e2e-marker-%d-%d" % (os.getpid(), self.count)
        # xclip stays in the background to serve the marker until the program takes over.
        subprocess.run(
            ["xclip", "-selection", "clipboard", "-i"],
            input=marker.encode(),
            stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL,
            timeout=WAIT,
            check=True,
        )
        poll("the marker in the clipboard", lambda: self._read() == marker)
        send_copy_key()
        return poll("the copied text", lambda: self._text_unless(marker))

    def _text_unless(self, marker):
        text = self._read()
        return None if text is None or text == marker else [text]

    @staticmethod
    def _read():
        try:
            result = subprocess.run(
                ["xclip", "-o", "-selection", "clipboard"],
                stdout=subprocess.PIPE,
                stderr=subprocess.DEVNULL,
                timeout=3,
            )
        except subprocess.TimeoutExpired:
            return None
        return result.stdout.decode("utf-8", "replace") if result.returncode == 0 else None


# --- The program under test -------------------------------------------------------------------


class Program:
    def __init__(self, executable, cwd, log_path, user=None, wine=None):
        """Starts the program in cwd; as the given pwd entry's user, when there is one; under
        the given wine, when there is one (`executable` is then a Windows path)."""
        self.log = open(log_path, "wb")
        self.wine = wine
        env = dict(os.environ)
        if wine:
            env.pop("QT_QPA_PLATFORM", None)
            # Wine reads the command line in the locale's encoding: the folder has an "à".
            env["LC_ALL"] = "C.UTF-8"
        else:
            env["QT_QPA_PLATFORM"] = "xcb"
        runtime = os.path.join(cwd, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env["XDG_RUNTIME_DIR"] = runtime
        identity = {}
        if user is not None:
            # The other user needs a home, its own runtime folder and the X cookie.
            env["HOME"] = cwd
            cookie = os.path.join(cwd, "Xauthority")
            if os.environ.get("XAUTHORITY"):
                shutil.copyfile(os.environ["XAUTHORITY"], cookie)
                env["XAUTHORITY"] = cookie
            for path in (cwd, runtime) + ((cookie,) if "XAUTHORITY" in env else ()):
                os.chown(path, user.pw_uid, user.pw_gid)
            identity = {"user": user.pw_uid, "group": user.pw_gid, "extra_groups": []}
        self.process = subprocess.Popen(
            [wine, executable] if wine else [executable],
            cwd=cwd,
            env=env,
            stdin=subprocess.DEVNULL,
            stdout=self.log,
            stderr=subprocess.STDOUT,
            start_new_session=True,
            **identity,
        )
        self.clipboard = Clipboard()

    def alive(self):
        return self.process.poll() is None

    def windows(self):
        """The program's visible top-level windows, as (id, title) pairs."""
        # Wine names each X window's class after the executable.
        owner = ["--classname", "orvida.exe"] if self.wine else ["--pid", str(self.process.pid)]
        found = []
        for window in run("xdotool", "search", "--onlyvisible", *owner, check_status=False).split():
            # Nothing at all, not even a line end, for a window that closed meanwhile.
            name = run("xdotool", "getwindowname", window, check_status=False)
            if name:
                found.append((window, name.rstrip("\n")))
        return found

    def titles(self):
        return sorted(title for _, title in self.windows())

    def wait_window(self, title, exclude=(), timeout=WAIT):
        def probe():
            if not self.alive():
                raise Failure("the program ended while waiting for " + repr(title))
            for window, name in self.windows():
                if name == title and window not in exclude:
                    return window
            return None

        return poll("the window " + repr(title), probe, timeout=timeout)

    def wait_gone(self, window):
        poll(
            "window %s to close" % window,
            lambda: window not in [w for w, _ in self.windows()],
        )

    def read_focused_box(self, window):
        focus(window)
        return self.clipboard.copy(lambda: key("ctrl+a", "ctrl+c"))[0]

    def stop(self):
        stop_program(self.process, self.log)


class Keys:
    """Moves through a window's controls with Tab and Shift+Tab, as a keyboard user does,
    remembering where the focus is; `tabs` names them in their tab order."""

    def __init__(self, program, window, tabs, at):
        self.program, self.window, self.tabs, self.at = program, window, tabs, at

    def to(self, name):
        focus(self.window)
        steps = self.tabs.index(name) - self.tabs.index(self.at)
        if steps:
            key(*["Tab" if steps > 0 else "shift+Tab"] * abs(steps))
        self.at = name

    def read(self, name):
        self.to(name)
        return self.program.read_focused_box(self.window)

    def set(self, **texts):
        for name, text in texts.items():
            self.to(name)
            key("ctrl+a", "BackSpace")
            type_text(text)

    def press(self, name):
        self.to(name)
        key("space")


def roll_sum(text, low, high, what):
    check(text.strip().lstrip("-").isdigit(), "%s shows a number (%r)" % (what, text))
    value = int(text)
    check(low <= value <= high, "%s: %d lies in %d..%d" % (what, value, low, high))
    check(text == str(value), "%s is shown without blanks (%r)" % (what, text))
    return value


# --- The scenario ------------------------------------------------------------------------------


def compare_sizes(path, scale, sizes):
    """At 100 % writes the main window's sizes to `path`; at another scale checks that they
    are that share of the sizes written there, within a pixel of rounding."""
    if scale == 100:
        with open(path, "w") as record:
            record.write(" ".join(map(str, sizes)))
        return
    with open(path) as record:
        ours = [int(value) for value in record.read().split()]
    check(
        all(abs(size - value * scale / 100) <= 1 for size, value in zip(sizes, ours)),
        "at %d %% the main window measures %s, against %s at 100 %%" % (scale, sizes, ours),
    )


def scenario(program, folder, shots, sizes, scale):
    conf = os.path.join(folder, "conf.ini")
    slots = prepared_slots()
    prepared = open(conf, "rb").read()

    # Start-up: the About window alone, as a splash.
    splash = program.wait_window(SPLASH_TITLE, timeout=START_WAIT)
    ping(splash, turns=3)  # a main window that Start() shows, or posts, would now be up
    check(program.titles() == [SPLASH_TITLE], "the splash comes first, alone")
    screenshot(splash, os.path.join(shots, "about.png"))

    # Its "&OK" closes it and opens the main window.
    focus(splash)
    key("alt+o")
    main = program.wait_window(MAIN_TITLE)
    program.wait_gone(splash)
    check(program.titles() == [MAIN_TITLE], "closing the splash opens the main window")
    closed = window_size(main)
    screenshot(main, os.path.join(shots, "main-closed.png"))

    # The focus starts in the count box, which holds 3; the sides box holds 6.
    check(program.read_focused_box(main) == "3", "the count box starts with 3")
    keys = Keys(program, main, MAIN_TABS, "count")
    check(keys.read("sides") == "6", "the sides box starts with 6")

    def tira():
        key("alt+t")
        # Alt+T holds Tira down 100 ms before it rolls (Qt's animated click), and keys sent
        # meanwhile were seen to get lost; nothing outside the program marks the roll's end.
        time.sleep(0.3)

    # A typed roll, pressed with Alt+T.
    keys.set(count="4", sides="8", result="-")
    tira()
    roll_sum(keys.read("result"), 4, 32, "4d8 rolled with Alt+T")
    check(keys.read("count") == "4", "the count box keeps what was typed")

    # Esc presses "&Tira" too, and so does Space on it.
    keys.set(result="-")
    key("Escape")
    roll_sum(keys.read("result"), 4, 32, "4d8 rolled with Esc")
    keys.set(count="1", sides="1", result="-")
    keys.press("tira")
    check(keys.read("result") == "1", "1d1 rolled with Space on Tira shows 1")

    # The quick keypad opens the window taller and as wide, and a preset rolls.
    focus(main)
    key("alt+p")

    def opened():
        size = window_size(main)
        return size if size[0] == closed[0] and size[1] > closed[1] else None

    opened_size = poll("the keypad to open", opened)
    reached("Alt+P opens the keypad: the window grows from %s to %s" % (closed, opened_size))
    if sizes:
        compare_sizes(sizes, scale, closed + opened_size)
    screenshot(main, os.path.join(shots, "main-open.png"))
    fireball = slots[4]
    keys.set(result="-")
    keys.press(5)
    roll_sum(
        keys.read("result"), fireball.count, fireball.count * fireball.sides, "preset 5 (007 d +6)"
    )
    check(keys.read("count") == "7", "preset 5 puts its count 7 in the count box")
    check(keys.read("sides") == "6", "preset 5 puts its sides 6 in the sides box")
    # An unconfigured preset does nothing.
    keys.set(result="-")
    keys.press(7)
    check(keys.read("result") == "-", "preset 7 (0 d 0) does nothing")

    # "&Cancel" leaves conf.ini untouched, whatever was typed.
    focus(main)
    key("alt+c")
    dialog = program.wait_window(CONFIG_TITLE)
    screenshot(dialog, os.path.join(shots, "config.png"))
    type_text("scartato")
    rows = Keys(program, dialog, DIALOG_TABS, "caption1")
    typed = rows.read("caption1")
    check(typed.endswith("scartato"), "a caption is typed: %r" % typed)
    check(rows.read("count1") == " 1", "the dialog shows counts as ' 1'")
    type_text("99")
    focus(dialog)
    key("alt+c")
    program.wait_gone(dialog)
    check(program.titles() == [MAIN_TITLE], "Cancel closes the dialog")
    check(open(conf, "rb").read() == prepared, "Cancel leaves conf.ini byte for byte untouched")

    # "&OK" rewrites conf.ini in the normal form, with the edits of both pages.
    focus(main)
    key("alt+c")
    dialog = program.wait_window(CONFIG_TITLE)
    check(program.read_focused_box(dialog) == "1d4", "the dialog opens with row 1's caption")
    rows = Keys(program, dialog, DIALOG_TABS, "caption1")
    rows.set(caption1="Pugnale", count1="0012")
    rows.press("page2")
    rows.at = "caption1"  # the new page's first box takes the focus
    poll("the second page", lambda: rows.read("caption2") == "2d6")
    screenshot(dialog, os.path.join(shots, "config-page2.png"))
    rows.set(caption2="Ascia")
    focus(dialog)
    key("alt+o")
    program.wait_gone(dialog)
    slots[0].caption, slots[0].count = b"Pugnale", 12
    slots[11].caption = b"Ascia"
    expected = b"".join(slot.normal() for slot in slots)
    written = open(conf, "rb").read()
    if written != expected:
        print("expected:", expected, "\nwritten: ", written, file=sys.stderr)
    check(written == expected, "OK rewrites conf.ini in its normal form, byte for byte")
    check(written.count(b"\r\n") == 60 and written.endswith(b"\r\n"), "conf.ini has 60 lines")

    # The keypad rolls the saved preset at once.
    keys.set(result="-")
    keys.press(1)
    roll_sum(keys.read("result"), 12, 48, "the edited preset 1 (12d4)")

    # An overflow shows a message titled "Orvida", and the program goes on.
    keys.set(count="40000", sides="6", result="-")
    tira()
    message = program.wait_window(MESSAGE_TITLE, exclude=(main,))
    screenshot(message, os.path.join(shots, "overflow-message.png"))
    reached("40000 dice show a message box titled 'Orvida'")
    focus(message)
    key("Return")
    program.wait_gone(message)
    check(program.alive() and program.titles() == [MAIN_TITLE], "the program survives it")
    check(keys.read("result") == "-", "the failed roll left the result alone")
    keys.set(count="2")
    tira()
    roll_sum(keys.read("result"), 2, 12, "2d6 rolled after the overflow")
    keys.set(count="3000", sides="10")
    tira()
    roll_sum(keys.read("result"), 3000, 30000, "a five-digit sum (3000d10)")
    screenshot(main, os.path.join(shots, "main-five-digits.png"))

    # "&Informazioni su..." opens the About window again; closing it leaves the main window.
    focus(main)
    key("alt+i")
    about = program.wait_window(SPLASH_TITLE)
    focus(about)
    key("Escape")
    program.wait_gone(about)
    check(program.titles() == [MAIN_TITLE], "the About window opens and closes again")

    # "&Esci" with the About window open closes the main window; the program ends when the
    # About window closes too, with status 0. Nothing is saved on the way out.
    keys.press("about")
    about = program.wait_window(SPLASH_TITLE)
    # Wine gives the keys to the window in front: a click on the main window's corner brings
    # it forward. No --sync: it waits for the pointer to move, forever when it is already there.
    run("xdotool", "mousemove", "--window", main, "1", "1", "click", "1")
    keys.press("exit")
    program.wait_gone(main)
    # The end, if it wrongly comes, is posted as the main window goes: three turns of the event
    # loop later, it would have come, and the About window would not answer.
    ping(about, turns=3)
    check(program.alive(), "the program goes on while the About window is open")
    check(program.titles() == [SPLASH_TITLE], "the About window stays")
    focus(about)
    key("Escape")
    poll("the program to end", lambda: not program.alive())
    check(program.process.returncode == 0, "closing the About window ends it with status 0")
    check(open(conf, "rb").read() == expected, "nothing is written on exit")


def read_only_scenario(program, folder, shots, shown_path=None):
    """The program folder cannot be written: saving fails with a message, and nothing is
    lost, neither the file nor what was typed. The message names `shown_path`, when given."""
    conf = os.path.join(folder, "conf.ini")
    before = open(conf, "rb").read()
    files = sorted(os.listdir(folder))

    splash = program.wait_window(SPLASH_TITLE, timeout=START_WAIT)
    focus(splash)
    key("Escape")
    main = program.wait_window(MAIN_TITLE)
    program.wait_gone(splash)

    focus(main)
    key("alt+c")
    dialog = program.wait_window(CONFIG_TITLE)
    focus(dialog)  # the focus starts in row 1's caption
    key("ctrl+a", "BackSpace")
    type_text("Nuovo")
    key("alt+o")
    message = program.wait_window(MESSAGE_TITLE, exclude=(main,))
    screenshot(message, os.path.join(shots, "save-error-message.png"))
    reached("OK in a folder that cannot be written shows a message titled 'Orvida'")
    if shown_path:
        # A Windows message box copies its title and text with Ctrl+C.
        text = program.clipboard.copy(lambda: (focus(message), key("ctrl+c")))[0]
        check(shown_path in text, "the message names %s: %r" % (shown_path, text))
    focus(message)
    key("Return")
    program.wait_gone(message)
    check(program.alive(), "the program survives the failed save")
    check(open(conf, "rb").read() == before, "conf.ini is left as it was")
    check(sorted(os.listdir(folder)) == files, "no file is left behind in the folder")
    check(CONFIG_TITLE in program.titles(), "the dialog stays open")
    typed = program.read_focused_box(dialog)
    check(typed == "Nuovo", "what was typed is still there: %r" % typed)

    focus(dialog)
    key("alt+c")
    program.wait_gone(dialog)
    focus(main)
    key("alt+e")
    poll("the program to end", lambda: not program.alive())
    check(program.process.returncode == 0, "Alt+E ends the program with status 0")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--cmake", default="cmake", help="the cmake that installs the build")
    parser.add_argument("--build-dir", required=True, help="the build folder to install")
    parser.add_argument("--screenshots", required=True, help="where the screenshots go")
    parser.add_argument("--keep", action="store_true", help="keep the temporary folder")
    parser.add_argument("--wine", help="run the Windows build under this wine")
    parser.add_argument(
        "--scale",
        type=int,
        default=100,
        help="with --wine: Windows' display scale in per cent (125, 150, 200...)",
    )
    parser.add_argument("--sizes", help="the main window's sizes: written at 100 %%, else read")
    parser.add_argument(
        "--scenario",
        choices=("full", "read-only"),
        default="full",
        help="the whole program, or a program folder that cannot be written",
    )
    args = parser.parse_args()

    missing = [tool for tool in TOOLS if not shutil.which(tool)]
    if missing:
        print("skipped: missing " + ", ".join(missing), flush=True)
        return 77
    if not os.environ.get("DISPLAY"):
        print("no DISPLAY: run this under scripts/lib/with-xvfb", file=sys.stderr)
        return 1

    # Ended from outside (a ctest time-out): still stop the program on the way out.
    signal.signal(signal.SIGTERM, lambda signum, frame: sys.exit("terminated"))
    os.makedirs(args.screenshots, exist_ok=True)
    for name in os.listdir(args.screenshots):
        # A run beside this one in the same build folder may have removed it already.
        if name.endswith(".png"):
            with contextlib.suppress(FileNotFoundError):
                os.remove(os.path.join(args.screenshots, name))
    temp = tempfile.mkdtemp(prefix="orvida-e2e-")
    program = None
    try:
        if args.wine:
            # A folder whose name has an accent and a blank: the program finds its conf.ini
            # through its own path in UTF-16.
            drive_c = os.path.join(os.environ.get("WINEPREFIX", ""), "drive_c")
            if not os.environ.get("WINEPREFIX"):
                raise Failure("WINEPREFIX must name the Wine prefix to use")
            if not os.path.isdir(drive_c):
                run(args.wine, "wineboot", "--init", timeout=600)
            # Windows' display scale: 96 dots per inch are 100 %.
            dpi = ("/v", "LogPixels", "/t", "REG_DWORD", "/d", str(96 * args.scale // 100), "/f")
            run(args.wine, "reg", "add", "HKCU\\Control Panel\\Desktop", *dpi, timeout=60)
            prefix = os.path.join(drive_c, "Giochi", "Città di prova", "Orvida")
            shutil.rmtree(os.path.dirname(prefix), ignore_errors=True)
            folder = prefix
            executable = "C:\\Giochi\\Città di prova\\Orvida\\Orvida.exe"
        else:
            prefix = os.path.join(temp, "prefix")
            folder = os.path.join(prefix, "bin")
            executable = os.path.join(folder, "Orvida")
        run(args.cmake, "--install", args.build_dir, "--prefix", prefix, timeout=120)
        installed = os.path.join(folder, "Orvida.exe" if args.wine else "Orvida")
        check(os.path.isfile(installed), "the installed program is " + installed)
        elsewhere = os.path.join(temp, "elsewhere")
        os.makedirs(elsewhere)
        log = os.path.join(temp, "program.log")
        if args.scenario == "full":
            with open(os.path.join(folder, "conf.ini"), "wb") as conf:
                conf.write(b"".join(slot.prepared() for slot in prepared_slots()))
            program = Program(executable, elsewhere, log, wine=args.wine)
            scenario(program, folder, args.screenshots, args.sizes, args.scale)
        elif args.wine:
            # Windows has no user to become: conf.ini gets the read-only attribute, which
            # Wine takes from the file's missing write permission.
            conf = os.path.join(folder, "conf.ini")
            os.chmod(conf, 0o444)
            program = Program(executable, elsewhere, log, wine=args.wine)
            read_only_scenario(
                program, folder, args.screenshots, executable[: -len("Orvida.exe")] + "conf.ini"
            )
        else:
            # Root writes anywhere: the program then runs as an ordinary user, as whom the
            # folder installed by root is read-only. Anyone else takes the write bits away.
            user = None
            if os.geteuid() == 0:
                user = pwd.getpwnam("nobody")
                os.chmod(temp, 0o755)
                info = os.stat(folder)
                writable = info.st_uid == user.pw_uid or bool(info.st_mode & 0o002)
            else:
                os.chmod(folder, 0o555)
                writable = os.access(folder, os.W_OK)
            check(not writable, "the program folder cannot be written")
            program = Program(executable, elsewhere, log, user)
            read_only_scenario(program, folder, args.screenshots)
        print("e2e: all checks passed", flush=True)
        return 0
    except (Failure, subprocess.SubprocessError, OSError) as error:
        print("FAILED:", error, file=sys.stderr, flush=True)
        traceback.print_exc()
        if program is not None:
            try:
                print("visible windows:", program.windows(), file=sys.stderr)
                run("import", "-window", "root", os.path.join(args.screenshots, "failure.png"))
                print("screen saved in", os.path.join(args.screenshots, "failure.png"))
            except (Failure, subprocess.SubprocessError, OSError):
                pass
        return 1
    finally:
        if program is not None:
            program.stop()
            with open(os.path.join(temp, "program.log"), "rb") as log:
                output = log.read().decode("utf-8", "replace").strip()
            if output:
                print("program output:\n" + output, flush=True)
        if os.path.isdir(os.path.join(temp, "prefix", "bin")):
            os.chmod(os.path.join(temp, "prefix", "bin"), 0o755)
        if args.wine and not args.keep and os.environ.get("WINEPREFIX"):
            shutil.rmtree(
                os.path.join(os.environ["WINEPREFIX"], "drive_c", "Giochi"), ignore_errors=True
            )
        if args.keep:
            print("kept:", temp)
        else:
            shutil.rmtree(temp, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
