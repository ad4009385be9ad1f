#!/usr/bin/python3
"""Reads the Qt windows as a screen reader does: on a display of its own, through the
accessibility bus of a private session bus (run under dbus-run-session), with the at-spi
registry that the bus starts. The program (screenreader_states) shows each state and says what
is on screen; every window and control must be heard with its role and its text.

    dbus-run-session -- screenreader_test.py PROGRAM
"""
import os
import subprocess
import sys
import time

ROLES = {"frame", "dialog", "label", "push button", "progress bar"}
BOUND_S = 30


def start_display():
    read, write = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                             "-nolisten", "tcp"], pass_fds=(write,), stdin=subprocess.DEVNULL,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write)
    # The server writes the number and its newline in two writes, and ends itself when the
    # second finds the pipe closed: read the whole line before closing it.
    line = b""
    while not line.endswith(b"\n"):
        chunk = os.read(read, 16)
        if not chunk:
            break
        line += chunk
    os.close(read)
    number = line.decode().strip()
    if not number:
        sys.exit("Xvfb did not start")
    return xvfb, ":" + number


def unescape(text):
    out, i = [], 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            out.append("\n" if text[i + 1] == "n" else text[i + 1])
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def heard(app):
    """Every accessible of the application: (role, name, description, value)."""
    found = []

    def walk(node, depth):
        if node is None or depth > 12:
            return
        node.clearCache()
        value = None
        try:
            value = node.queryValue().currentValue
        except NotImplementedError:
            pass
        found.append((node.getRoleName(), node.name, node.description, value))
        for child in node:
            walk(child, depth + 1)

    for window in app:
        walk(window, 0)
    return found


def missing(expected, app):
    """The expected lines that the screen reader does not hear, as text."""
    heard_now = heard(app)
    faults = []
    for role, name, detail in expected:
        if role not in ROLES:
            faults.append("unknown role " + role)
            continue
        if role == "progress bar":
            if not any(r == role and v is not None and int(v) == int(detail)
                       for r, _, _, v in heard_now):
                faults.append("no progress bar heard at %s" % detail)
            continue
        match = [h for h in heard_now if h[0] == role and h[1] == name]
        if not match:
            others = sorted({h[0] for h in heard_now if h[1] == name})
            faults.append("no %s named %r (heard as: %s)" % (role, name, ", ".join(others)))
        elif role == "dialog" and not any(h[2] == detail for h in match):
            faults.append("dialog %r described as %r, not %r" % (name, match[0][2], detail))
    return faults


def find_app(desktop, name):
    for app in desktop:
        if app is not None and app.name == name:
            return app
    return None


def main():
    program = sys.argv[1]
    xvfb, display = start_display()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb",
               QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1")
    import pyatspi  # after the session bus is known: it asks it for the accessibility bus

    shown = subprocess.Popen([program], stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=env,
                             text=True)
    failures = 0
    states = 0
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        app_name = os.path.basename(program)
        while True:
            line = shown.stdout.readline()
            if not line:
                break
            if not line.startswith("state "):
                sys.exit("unexpected line from the program: " + line)
            state = line[len("state "):].strip()
            expected = []
            for line in iter(shown.stdout.readline, ""):
                if line.strip() == "ready":
                    break
                role, name, detail = line.rstrip("\n").split("\t")
                expected.append((role, unescape(name), unescape(detail)))
            # The bus learns of changes after the program has made them: listen until
            # everything is heard, within a generous bound.
            deadline = time.monotonic() + BOUND_S
            faults = ["application not on the bus"]
            while faults and time.monotonic() < deadline:
                app = find_app(desktop, app_name)
                faults = missing(expected, app) if app is not None else faults
                if faults:
                    time.sleep(0.05)
            states += 1
            for fault in faults:
                print("FAIL %s: %s" % (state, fault))
                failures += 1
            if not faults:
                print("ok   %s: %d windows and controls heard" % (state, len(expected)))
            shown.stdin.write("next\n")
            shown.stdin.flush()
    finally:
        shown.stdin.close()
        code = shown.wait(timeout=BOUND_S)
        xvfb.terminate()
        xvfb.wait()
    if code != 0:
        print("the program ended with %d" % code)
        failures += 1
    if states < 7:
        print("only %d states shown" % states)
        failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
