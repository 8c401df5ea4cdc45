#!/usr/bin/python3
"""What a screen reader costs on a log book of a million contacts.

Usage: scripts/accessibility_cost.py [PROGRAM] [--contacts N] [--runs R]

Opens the same log book in the real program, R times with the accessibility bridge off and R
times with it on and a reader listening on the AT-SPI bus as Orca does, and prints the median
time from pressing "Abrir" to the log book in the window, the resident memory once it is open
and the table has been walked with the arrows, and the ratios between the two. Each run has an
X server and a D-Bus session of its own (xvfb-run, dbus-run-session); needs xdotool and
python3-pyatspi. PROGRAM defaults to build/orvanel.
"""
import argparse
import json
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def write_log(path, contacts):
    """A log book file of `contacts` contacts of about 140 bytes each."""
    rnd = random.Random(44)
    prefixes = ["EA", "EA4", "LU", "LU1", "CE", "CX", "XE", "HK", "YV", "PY", "OA", "TI"]
    names = ["José", "María", "Núñez", "Ana", "Juan", "Pedro", "Sofía", "Raúl"]
    places = ["Córdoba", "Rosario", "Santiago", "Valencia", "Bogotá", "Mérida", "Cusco"]
    with open(path, "wb") as f:
        f.write(b"%d\r\n" % contacts)
        for i in range(contacts):
            call = rnd.choice(prefixes) + "".join(rnd.choice("ABCDEFGHIJKLMNOPQRSTUVWXYZ") for _ in range(3))
            place = rnd.choice(places)
            values = [call, rnd.choice(names), place, place, place, str(1000 + i % 9000), "", "59",
                      "%02d/%02d/2024" % (1 + i % 28, 1 + i % 12), "%02d:%02d:00" % (i % 24, i % 60),
                      rnd.choice(["7.050", "14.205", "21.300"]), rnd.choice(["SSB", "CW", "FM"]), "BURO", "NO", "NO",
                      "contacto %d" % i if i % 7 == 0 else ""]
            f.write(b"".join(b'"' + v.encode("cp1252") + b'"\r\n' for v in values))


def resident_kib(pid):
    with open("/proc/%d/status" % pid) as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


def xdo(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def bus_enables_the_bridge(enable=None):
    """What the accessibility bus tells programs (org.a11y.Status IsEnabled), set first when
    asked; through dbus-send, without joining the bus as a reader."""
    command = ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus"]
    if enable is not None:
        subprocess.run(command + ["org.freedesktop.DBus.Properties.Set", "string:org.a11y.Status", "string:IsEnabled",
                                  "variant:boolean:%s" % ("true" if enable else "false")], capture_output=True)
    reply = subprocess.run(command + ["org.freedesktop.DBus.Properties.Get", "string:org.a11y.Status",
                                      "string:IsEnabled"], capture_output=True, text=True).stdout
    return "true" in reply


def one_run(program, folder, accessible):
    """Seconds from "Abrir" to the log book in the window, resident KiB, events a reader heard.
    Run in a D-Bus session of its own, where no reader has joined the bus."""
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(folder, ".config"), XDG_RUNTIME_DIR=folder)
    env.pop("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", None)
    heard = []
    pump = time.sleep
    if accessible:
        import pyatspi
        from gi.repository import GLib

        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        pyatspi.Registry.registerEventListener(lambda event: heard.append(event.type), "focus:",
                                               "object:state-changed", "object:children-changed",
                                               "object:property-change", "object:text-caret-moved",
                                               "object:selection-changed")

        def pump(seconds):
            loop = GLib.MainLoop()
            GLib.timeout_add(int(seconds * 1000), loop.quit)
            loop.run()
    elif bus_enables_the_bridge(False):
        sys.exit("the accessibility bus keeps the bridge on: no figures without a screen reader")

    process = subprocess.Popen([program], cwd=folder, env=env)
    try:
        main = None
        while not main:
            pump(0.2)
            main = xdo("search", "--onlyvisible", "--pid", str(process.pid), "--name", "^Orvanel")
        xdo("windowfocus", "--sync", main[0])
        pump(1)
        xdo("key", "ctrl+a")
        while not xdo("search", "--onlyvisible", "--pid", str(process.pid), "--name", "^Abrir$"):
            pump(0.05)
        xdo("key", "Tab")
        pump(0.3)
        start = time.monotonic()
        xdo("key", "space")
        while "Principal.LBR" not in " ".join(xdo("getwindowname", main[0])):
            pump(0.02)
        opened = time.monotonic() - start
        # The table walked with the arrows, as a reader would: cells made and let go.
        xdo("windowfocus", "--sync", main[0])
        for key in ["Down"] * 200 + ["Right"] * 10 + ["Next"] * 20:
            xdo("key", key)
        pump(2)
        if accessible and not heard:
            sys.exit("the bridge is on, yet the reader heard nothing: the figures would not be what they claim")
        return opened, resident_kib(process.pid), len(heard)
    finally:
        process.kill()
        process.wait()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program", nargs="?", default=os.path.join(HERE, "..", "build", "orvanel"))
    parser.add_argument("--contacts", type=int, default=1000000)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--one", choices=["off", "on"], help=argparse.SUPPRESS)  # one run, in its own session
    parser.add_argument("--folder", help=argparse.SUPPRESS)
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    if args.one:
        print(json.dumps(one_run(program, args.folder, args.one == "on")))
        return 0
    with tempfile.TemporaryDirectory() as folder:
        print("writing a log book of %d contacts..." % args.contacts, flush=True)
        write_log(os.path.join(folder, "Principal.LBR"), args.contacts)
        figures = {"off": [], "on": []}
        for _ in range(args.runs):
            for mode in ("off", "on"):  # alternated, so a change of load touches both alike
                out = subprocess.run(["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "dbus-run-session", "--",
                                      "/usr/bin/python3", os.path.abspath(__file__), program, "--one", mode,
                                      "--folder", folder], capture_output=True, text=True)
                if out.returncode != 0:
                    sys.exit(out.stderr.strip().splitlines()[-1] if out.stderr.strip() else "a run failed")
                opened, rss, events = json.loads(out.stdout.strip().splitlines()[-1])
                figures[mode].append((opened, rss))
                print("  accessibility %-3s  open %6.2f s   resident %7.1f MiB   %d events heard"
                      % (mode, opened, rss / 1024, events), flush=True)
        off_time, on_time = (statistics.median(t for t, _ in figures[m]) for m in ("off", "on"))
        off_rss, on_rss = (statistics.median(r for _, r in figures[m]) for m in ("off", "on"))
        print("median open: off %.2f s, on %.2f s: ratio %.2f (target below 2)" % (off_time, on_time, on_time / off_time))
        print("median resident: off %.1f MiB, on %.1f MiB: growth %.1f %% (target below 10 %%)"
              % (off_rss / 1024, on_rss / 1024, 100 * (on_rss - off_rss) / off_rss))
        return 0 if on_time < 2 * off_time and on_rss < 1.1 * off_rss else 1


if __name__ == "__main__":
    sys.exit(main())
