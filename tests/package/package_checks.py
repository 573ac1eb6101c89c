"""What the packaging tests share: a check that logs what it saw, and the verdict."""

failures = []


def check(condition, message):
    print(("ok: " if condition else "FAILED: ") + message, flush=True)
    if not condition:
        failures.append(message)


def verdict(name):
    """The exit status for the checks made: 1 when any failed, else 0."""
    if failures:
        print("%d check(s) failed" % len(failures))
        return 1
    print("%s: all checks passed" % name)
    return 0
