"""What the end-to-end tests share: a check that logs what it saw, a wait with a limit, and the
end of the program they started."""

import ctypes
import ctypes.util
import os
import signal
import time

WAIT = 10.0  # seconds to wait for anything the program should do at once
START_WAIT = 60.0  # seconds to wait for the first window: a start under Wine takes longer


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)
    print("ok:", message, flush=True)


def poll(what, probe, timeout=WAIT, interval=0.05, before=None, transient=()):
    """Calls probe() until it returns something true; returns that value.

    `before` runs ahead of every call (to deliver pending events); an exception of a type in
    `transient` counts as a false answer, so the probe is asked again."""
    deadline = time.monotonic() + timeout
    while True:
        if before:
            before()
        try:
            value = probe()
        except transient:
            value = None
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure("timed out waiting for " + what)
        time.sleep(interval)


def stop_program(process, log):
    """Kills the program's whole process group, if it still runs, and closes its log."""
    if process.poll() is None:
        try:
            os.killpg(process.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        process.wait(timeout=WAIT)
    log.close()


class _ClientMessage(ctypes.Structure):
    _fields_ = [
        ("type", ctypes.c_int),
        ("serial", ctypes.c_ulong),
        ("send_event", ctypes.c_int),
        ("display", ctypes.c_void_p),
        ("window", ctypes.c_ulong),
        ("message_type", ctypes.c_ulong),
        ("format", ctypes.c_int),
        ("data", ctypes.c_long * 5),
    ]


class _Event(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


# Xlib's own handler ends the process on an error; a window that is gone is no answer.
_IGNORE_X_ERRORS = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda *_: 0)


def ping(window, turns=1, timeout=WAIT):
    """Sends the X window `window` the window manager's _NET_WM_PING `turns` times, each after
    the reply to the one before, and waits for every reply: the program's event loop has then
    turned `turns` times since the call. Fails when the program stops answering."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XInternAtom.restype = ctypes.c_ulong
    display = ctypes.c_void_p(x11.XOpenDisplay(None))
    x11.XSetErrorHandler(_IGNORE_X_ERRORS)
    try:
        root = ctypes.c_ulong(x11.XDefaultRootWindow(display))
        protocols = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
        net_wm_ping = x11.XInternAtom(display, b"_NET_WM_PING", 0)
        # The answer goes to the root window, as Structure- (Qt) or SubstructureNotify (Wine).
        x11.XSelectInput(display, root, ctypes.c_long(1 << 17 | 1 << 19))
        for turn in range(1, turns + 1):
            event = _Event()
            message = event.xclient
            message.type, message.window, message.format = 33, int(window), 32  # ClientMessage
            message.message_type = protocols
            message.data[:3] = [net_wm_ping, os.getpid() * 16 + turn, int(window)]
            target = ctypes.c_ulong(int(window))
            x11.XSendEvent(display, target, 0, ctypes.c_long(0), ctypes.byref(event))
            x11.XFlush(display)
            answered = lambda: _answered(x11, display, message)  # noqa: E731
            poll("window %s to answer a ping" % window, answered, timeout)
    finally:
        x11.XCloseDisplay(display)


def _answered(x11, display, sent):
    reply = _Event()
    while x11.XPending(display):
        x11.XNextEvent(display, ctypes.byref(reply))
        got = reply.xclient
        if got.type == 33 and got.message_type == sent.message_type and got.data[1] == sent.data[1]:
            return True
    return False
