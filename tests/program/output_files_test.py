#!/usr/bin/python3
"""Files the program writes from the command line, under hostile conditions.

    output_files_test.py BUILD_FOLDER CASE

CASE is one of: size-limit, protected, full-disk.
"""

import os
import resource
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

BUILD = Path(sys.argv[1])
PROGRAM = BUILD / "acquenza"
EXAMPLE = BUILD / "Acquenza-dati-esempio"
KINDS = (("--relazione", "relazione.docx"), ("--stampa-pdf", "relazione.pdf"),
         ("--csv", "riepilogo.csv"))


def fail(why):
    print("FAIL:", why)
    sys.exit(1)


def environment():
    return {k: v for k, v in os.environ.items()
            if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}


def run(args, limit=None):
    def capped():
        resource.setrlimit(resource.RLIMIT_FSIZE, (limit, resource.RLIM_INFINITY))
    return subprocess.run([str(PROGRAM), *args], capture_output=True, text=True,
                          env=environment(), timeout=120,
                          preexec_fn=capped if limit else None)


def size_limit(work):
    """ulimit -f: the write fails and is reported; the program is not killed."""
    for option, name in KINDS[:2]:
        out = work / name
        result = run([option, str(EXAMPLE), "-o", str(out)], limit=2048)
        if result.returncode != 1:
            fail(f"{option} past the size limit: exit {result.returncode} {result.stderr}")
        if f'"{out}": il file supera la dimensione ammessa.' not in result.stderr:
            fail(f"{option}: {result.stderr!r}")
        if os.listdir(work):
            fail(f"{option} left {os.listdir(work)}")


def protected(work):
    """Every output, PDF included, respects a read-only file (root too), and
    names a folder given as output."""
    for option, name in KINDS:
        out = work / name
        out.write_bytes(b"vecchio")
        out.chmod(0o444)
        result = run([option, str(EXAMPLE), "-o", str(out)])
        if result.returncode != 1 or "è protetto da scrittura" not in result.stderr:
            fail(f"{option} over a read-only file: {result.returncode} {result.stderr}")
        if out.read_bytes() != b"vecchio":
            fail(f"{option} changed a read-only file")
        folder = work / f"cartella{option}"
        folder.mkdir()
        result = run([option, str(EXAMPLE), "-o", str(folder)])
        if result.returncode != 1 or "è una cartella" not in result.stderr:
            fail(f"{option} into a folder: {result.returncode} {result.stderr}")
        if "stampante" in result.stderr:
            fail(f"{option} blames the printer for a file: {result.stderr}")


def full_disk(work):
    """A PDF on a full disk says so, and leaves nothing behind."""
    if os.geteuid() != 0 or shutil.which("unshare") is None:
        print("skipped: a small disk of its own needs root")
        return
    disk = work / "disco"
    disk.mkdir()
    script = ('mount -t tmpfs -o size=32k tmpfs "$1" || exit 77; '
              '"$2" --stampa-pdf "$3" -o "$1/relazione.pdf"; status=$?; '
              'ls -A "$1"; exit $status')
    result = subprocess.run(["unshare", "-m", "sh", "-c", script, "_", str(disk), str(PROGRAM),
                             str(EXAMPLE)], capture_output=True, text=True,
                            env=environment(), timeout=120)
    if result.returncode == 77:
        print("skipped: no tmpfs could be mounted here")
        return
    expected = ("Stampa della relazione non riuscita. Impossibile scrivere il file "
                f'"{disk}/relazione.pdf": il disco è pieno.')
    if result.returncode != 1 or expected not in result.stderr:
        fail(f"full disk: {result.returncode} {result.stderr!r}")
    if result.stdout.strip():
        fail(f"full disk left {result.stdout.split()}")


def main():
    case = sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        {"size-limit": size_limit, "protected": protected, "full-disk": full_disk}[case](work)
    print("ok", case)


if __name__ == "__main__":
    main()
