"""What the end-to-end tests share: a check that logs what it saw, a wait with a limit, and the
end of the program they started."""

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
