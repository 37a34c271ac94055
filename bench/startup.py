#!/usr/bin/python3
"""Start-up to the first window: Acquenza's splash against a bare Qt window.

    bench/startup.py [--runs N] [--platform xcb|offscreen] [--budget RATIO] [BUILD_FOLDER]

Starts build/acquenza and build/bench/acquenza_bare_window alternately (the
order swapped every round, so neither always comes second to a warm cache),
each with ACQUENZA_FIRST_PAINT_CLOCK set: the program writes the monotonic
clock at its first window's first paint and ends. The time from just before
the start to that paint is one figure. On xcb (the default) the programs
draw on a private Xvfb server; offscreen needs no X server at all.

Prints every figure, the medians and their ratio; with --budget, exits 1
when the ratio is above it.
"""

import argparse
import os
import socket
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path


def display_in_use(number):
    """Whether any X server holds display `number` (lock, socket file or
    abstract socket)."""
    if (Path(f"/tmp/.X{number}-lock").exists()
            or Path(f"/tmp/.X11-unix/X{number}").exists()):
        return True
    probe = socket.socket(socket.AF_UNIX)
    try:
        probe.connect(f"\0/tmp/.X11-unix/X{number}")
        return True
    except OSError:
        return False
    finally:
        probe.close()


def read_line(fd):
    """The server writes its number and the line's end in two writes, and
    dies if the pipe is closed between them: read to the end of the line."""
    text = b""
    while not text.endswith(b"\n"):
        chunk = os.read(fd, 16)
        if not chunk:
            break
        text += chunk
    os.close(fd)
    return text.decode().strip()


def start_display():
    """A private X server, ready, on a display no other server uses (Xvfb's
    own choice starts at :0 and trusts lock files another session's server
    may have lost); returns (process, ":N")."""
    first = 100 + os.getpid() % 800
    for number in list(range(first, 1000)) + list(range(100, first)):
        if display_in_use(number):
            continue
        ready, told = os.pipe()
        server = subprocess.Popen(["Xvfb", f":{number}", "-displayfd", str(told), "-screen", "0",
                                   "1280x1024x24", "-nolisten", "tcp"], pass_fds=(told,),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(told)
        answer = read_line(ready)
        if answer:
            return server, f":{number}"
        server.wait()
    sys.exit("no display number free for Xvfb")


def time_to_first_paint(program, env):
    """Milliseconds from the start of `program` to its first paint."""
    started = time.monotonic_ns()
    process = subprocess.Popen([str(program)], env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.DEVNULL, text=True)
    try:
        for line in process.stdout:
            if line.startswith("first-paint "):
                return (int(line.split()[1]) - started) / 1e6
        sys.exit(f"{program} ended without painting (status {process.wait()})")
    finally:
        try:
            process.wait(timeout=20)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build", type=Path)
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--platform", choices=("xcb", "offscreen"), default="xcb")
    parser.add_argument("--budget", type=float)
    args = parser.parse_args()
    programs = {"acquenza": args.build / "acquenza",
                "bare Qt window": args.build / "bench" / "acquenza_bare_window"}
    for program in programs.values():
        if not program.exists():
            sys.exit(f"{program} is missing: build the program and the benchmarks first")

    server = None
    with tempfile.TemporaryDirectory() as home:
        # No settings of the user's, no sound device chosen by the user: the
        # same start on every machine.
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
        env.update(ACQUENZA_FIRST_PAINT_CLOCK="1", XDG_CONFIG_HOME=home,
                   XDG_RUNTIME_DIR=home, QT_QPA_PLATFORM=args.platform)
        try:
            if args.platform == "xcb":
                server, env["DISPLAY"] = start_display()
            figures = {name: [] for name in programs}
            # One start of each first, uncounted: libraries into the cache.
            for program in programs.values():
                time_to_first_paint(program, env)
            for run in range(args.runs):
                order = list(programs.items())
                if run % 2:
                    order.reverse()
                for name, program in order:
                    figures[name].append(time_to_first_paint(program, env))
        finally:
            if server is not None:
                server.kill()
                server.wait()

    medians = {name: statistics.median(values) for name, values in figures.items()}
    for name, values in figures.items():
        print(f"{name:>15}: median {medians[name]:7.1f} ms  "
              f"(min {min(values):.1f}, max {max(values):.1f})")
        print(" " * 17 + " ".join(f"{v:.1f}" for v in values))
    ratio = medians["acquenza"] / medians["bare Qt window"]
    print(f"ratio of medians: {ratio:.2f} ({args.runs} runs each, {args.platform})")
    if args.budget is not None and ratio > args.budget:
        print(f"over the budget of {args.budget:.2f}")
        sys.exit(1)


if __name__ == "__main__":
    main()
