#!/usr/bin/python3
"""The real program from the command line, as a user or a script starts it.

    command_line_test.py BUILD_FOLDER CASE

CASE is one of: no-display, help-version, locale, settings, open-project,
batch, csv, unsizable.
"""

import os
import re
import socket
import subprocess
import sys
import tempfile
import time
import zipfile
from pathlib import Path

import docx

BUILD = Path(sys.argv[1])
PROGRAM = BUILD / "acquenza"
EXAMPLE = BUILD / "Acquenza-dati-esempio"
INCOMPLETE = (b'2\r\n"100","120","110","1",,,"1",,,"nuova"\r\n'
              b'"50","110","100","1",,,"1",,,""\r\n"Rete","X","","","","",""\r\n')


def fail(why):
    print("FAIL:", why)
    sys.exit(1)


def bare_environment(**extra):
    """No display of any kind, as over ssh or in a build machine."""
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM")}
    env.update(extra)
    return env


def run(args, env=None):
    return subprocess.run([str(PROGRAM), *args], capture_output=True, text=True,
                          env=env or bare_environment(), timeout=60)


def docx_text(path):
    document = docx.Document(str(path))
    texts = [p.text for p in document.paragraphs]
    for table in document.tables:
        for row in table.rows:
            texts.extend(cell.text for cell in row.cells)
    return "\n".join(texts)


def no_display():
    result = run(["--verifica-installazione"])
    if result.returncode != 0 or "Cartella dei file di Acquenza" not in result.stdout:
        fail(f"installation check without a display: {result.returncode} {result.stderr}")
    if "Traduzioni italiane delle finestre di Qt: presenti" not in result.stdout:
        fail(f"the toolkit's Italian translations are not loaded: {result.stdout}")

    # The windows without a graphical session: one Italian line that says so
    # and names what works without one, status 1, and never the toolkit's
    # English abort. Whether no display is set at all, or one is set that
    # does not answer, or a platform is named that cannot start.
    unanswered = free_display()
    for env, args, names in (
            (bare_environment(), [], "DISPLAY"),
            (bare_environment(), [str(EXAMPLE)], "DISPLAY"),
            (bare_environment(DISPLAY=unanswered), [], f'"{unanswered}"'),
            (bare_environment(DISPLAY=unanswered), [str(EXAMPLE)], f'"{unanswered}"'),
            (bare_environment(QT_QPA_PLATFORM="xcb"), [], '"xcb"')):
        result = run(args, env)
        lines = result.stderr.splitlines()
        said = f"{args} {names}: {result.returncode} {result.stderr!r}"
        if result.returncode != 1 or len(lines) != 1:
            fail(f"not one line and status 1 without a display, {said}")
        for expected in ("sessione grafica", names, "--relazione", "--stampa-pdf", "--csv",
                         "--verifica-installazione", "acquenza --help"):
            if expected not in lines[0]:
                fail(f"{expected!r} missing, {said}")
        if result.stdout or "qt." in result.stderr or "Reinstalling" in result.stderr:
            fail(f"the toolkit's own words came through, {said}")


def help_and_version():
    """--help and --version need no display, say everything and end with 0;
    a wrong command line is refused with the reason and the help, status 2."""
    shown = run(["--help"])
    if shown.returncode != 0 or shown.stderr:
        fail(f"--help: {shown.returncode} {shown.stderr}")
    for option in ("PROGETTO", "--relazione", "--stampa-pdf", "--csv", "-o, --output",
                   "--verifica-installazione", "-h, --help", "--version"):
        if not re.search(rf"^  {re.escape(option)}\b.* [a-z]", shown.stdout, re.M):
            fail(f"--help does not explain {option}: {shown.stdout}")
    if run(["-h"]).stdout != shown.stdout:
        fail("-h and --help differ")
    version = run(["--version"])
    if version.returncode != 0 or not re.fullmatch(r"Acquenza \d+\.\d+\.\d+ - \S.*\n",
                                                   version.stdout):
        fail(f"--version: {version.returncode} {version.stdout!r} {version.stderr!r}")

    out = Path(tempfile.mkdtemp()) / "relazione.docx"
    for args, reason in (
            (["--colore"], "Opzione sconosciuta: --colore."),
            (["--relazione"], "Manca il valore dell'opzione --relazione."),
            (["--help=si"], "L'opzione --help non vuole un valore."),
            ([str(EXAMPLE), str(EXAMPLE)], "Si può indicare un solo progetto alla volta."),
            ([str(EXAMPLE), "--csv", str(EXAMPLE)], "Si può indicare un solo progetto"),
            (["--csv", str(EXAMPLE), "--relazione", str(EXAMPLE)],
             "Si può indicare un solo progetto"),
            ([str(EXAMPLE), "-o", str(out)], "L'opzione -o vale solo con --relazione")):
        result = run(args)
        if (result.returncode != 2 or not result.stderr.startswith(reason)
                or "Uso: acquenza" not in result.stderr or out.exists()):
            fail(f"{args}: {result.returncode} {result.stderr!r}")
    # A value joined to its option.
    result = run([f"--relazione={EXAMPLE}", f"--output={out}"])
    if result.returncode != 0 or not out.exists():
        fail(f"--relazione=...: {result.returncode} {result.stderr}")


def settings(work):
    """The office comes from the settings files, the user's over the system's."""
    user, system = work / "user", work / "system"
    for folder, text in (
            (user, "[ufficio]\nnome=Studio Tecnico Rossi & Bianchi\n"),
            (system, "[ufficio]\nnome=Studio di Sistema\n"
                     "indirizzo=Via Verdi 3, 00100 Roma\n")):
        (folder / "Acquenza").mkdir(parents=True)
        (folder / "Acquenza" / "acquenza.conf").write_text(text, encoding="utf-8")
    out = work / "relazione.docx"
    result = run(["--relazione", str(EXAMPLE), "-o", str(out)],
                 bare_environment(XDG_CONFIG_HOME=str(user), XDG_CONFIG_DIRS=str(system)))
    if result.returncode != 0:
        fail(f"--relazione: {result.returncode} {result.stderr}")
    text = docx_text(out)
    for expected in ("Studio Tecnico Rossi & Bianchi", "Via Verdi 3, 00100 Roma"):
        if expected not in text:
            fail(f"{expected!r} not in the report")
    if "Studio di Sistema" in text:
        fail("the system's office name won over the user's")

    # A value that cannot be read: said once on the error stream, naming the
    # file, the section and the key; the document is written all the same.
    (user / "Acquenza" / "acquenza.conf").write_text(
        "[ufficio]\nnome=Studio Rossi; Bianchi\n[verifica]\nvelocita_min=0,6 m/s\n"
        "velocita_max=1,5\n", encoding="utf-8")
    result = run(["--relazione", str(EXAMPLE), "-o", str(out)],
                 bare_environment(XDG_CONFIG_HOME=str(user), XDG_CONFIG_DIRS=str(system)))
    expected = (f"File {user}/Acquenza/acquenza.conf, sezione [verifica], chiave "
                "velocita_min: il valore «0,6 m/s»")
    if result.returncode != 0 or result.stderr.count(expected) != 1:
        fail(f"unreadable setting: {result.returncode} {result.stderr}")
    if "Studio Rossi; Bianchi" not in docx_text(out):
        fail("a ';' in a value was taken for a comment")

    # No settings at all: the office the build gives (none, by default), and
    # the installation check names the files it looked for.
    empty = work / "vuota"
    empty.mkdir()
    env = bare_environment(XDG_CONFIG_HOME=str(empty), XDG_CONFIG_DIRS=str(empty))
    result = run(["--relazione", str(EXAMPLE), "-o", str(out)], env)
    office = re.search(r'DefaultOfficeName = "(.*)";',
                       (BUILD / "src/app/generated/app/office.h").read_text()).group(1)
    lines = [p.text for p in docx.Document(str(out)).paragraphs]
    if result.returncode != 0 or "progettista: " + office not in lines:
        fail(f"office without settings: {result.stderr} {lines[:20]}")
    if not office and "()" in lines:
        fail("empty brackets for the missing office name")
    check = run(["--verifica-installazione"], env).stdout
    for expected in (f"{empty}/Acquenza/acquenza.conf (questo utente): assente",
                     f"{empty}/Acquenza/acquenza.conf (tutti gli utenti): assente"):
        if expected not in check:
            fail(f"{expected!r} not in {check}")
    if not office and "[ufficio]" not in check:
        fail(f"the installation check does not say where the office is set: {check}")


def wait_for_window(name, env, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        found = subprocess.run(["xdotool", "search", "--name", name], env=env,
                               capture_output=True, text=True)
        if found.returncode == 0 and found.stdout.strip():
            return True
        time.sleep(0.3)
    return False


def display_in_use(number):
    """Whether any X server, of this session or another, holds display
    `number`: its lock file, its socket file or its abstract socket."""
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
    """A private X server, ready, on a display no other server uses; returns
    (process, ":N"). Xvfb's own choice (-displayfd alone) starts at :0 and
    trusts the lock file, which a server of another session may have lost:
    clients then reach that server, or none."""
    first = 100 + os.getpid() % 800
    for number in list(range(first, 1000)) + list(range(100, first)):
        if display_in_use(number):
            continue
        ready, told = os.pipe()
        server = subprocess.Popen(["Xvfb", f":{number}", "-displayfd", str(told), "-screen", "0",
                                   "1280x1024x24", "-nolisten", "tcp"], pass_fds=(told,),
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(told)
        # Written once the server accepts clients; nothing when it gave up
        # (another server took the number meanwhile).
        answer = read_line(ready)
        if answer:
            return server, f":{number}"
        server.wait()
    fail("no display number free for Xvfb")


def free_display():
    """A display number no X server on this machine answers to."""
    for number in range(987, 1100):
        if not display_in_use(number):
            return f":{number}"
    fail("no free display number")


def open_project(work):
    """acquenza FILE on a real X display: the data window names the project;
    an unreadable file gets the Open command's message."""
    display, number = start_display()
    try:
        env = bare_environment(DISPLAY=number, XDG_CONFIG_HOME=str(work))
        project = work / "Acquenza-dati-villa"
        project.write_bytes(EXAMPLE.read_bytes())
        for path, window in ((project, "Acquenza-dati-villa"),
                             (work / "manca" / "Acquenza-dati-x", "Acquenza: archivio dati")):
            program = subprocess.Popen([str(PROGRAM), str(path)], env=env,
                                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                if not wait_for_window(window, env):
                    fail(f"no window {window!r} after starting with {path}")
            finally:
                program.kill()
                program.wait()
                # The server tidies up after a killed client for a moment, and
                # refuses a new one meanwhile: wait until its windows are gone.
                deadline = time.time() + 10
                while time.time() < deadline and subprocess.run(
                        ["xdotool", "search", "--name", "Acquenza"], env=env,
                        capture_output=True, text=True).stdout.strip():
                    time.sleep(0.2)
                time.sleep(0.5)
    finally:
        display.kill()
        display.wait()


def batch(work):
    out = work / "relazione.docx"
    result = run(["--relazione", str(EXAMPLE), "-o", str(out)])
    if result.returncode != 0 or not out.exists():
        fail(f"--relazione: {result.returncode} {result.stderr}")
    text = docx_text(out)
    for expected in ("CALCOLI IDRAULICI", "DATI E RISULTATI DEL CALCOLO", "Tronco n. 1"):
        if expected not in text:
            fail(f"{expected!r} not in the report")

    pdf = work / "relazione.pdf"
    result = run(["--stampa-pdf", str(EXAMPLE), "-o", str(pdf)])
    if result.returncode != 0:
        fail(f"--stampa-pdf: {result.returncode} {result.stderr}")
    printed = subprocess.run(["pdftotext", "-layout", str(pdf), "-"],
                             capture_output=True, text=True).stdout
    for expected in ("CRITERI DI CALCOLO", "MAPPA DELLE PERDITE DI CARICO", "pagina"):
        if expected not in printed:
            fail(f"{expected!r} not in the printed PDF")

    incomplete = work / "Acquenza-dati-incompleto"
    incomplete.write_bytes(INCOMPLETE)
    for option, target in (("--relazione", work / "no.docx"), ("--stampa-pdf", work / "no.pdf")):
        result = run([option, str(incomplete), "-o", str(target)])
        if result.returncode != 1 or "Tronco n. 2" not in result.stderr:
            fail(f"{option} on an incomplete project: {result.returncode} {result.stderr}")
        if "tipo di condotta" not in result.stderr or target.exists():
            fail(f"{option} on an incomplete project wrote {target} or said {result.stderr}")
    if run(["--stampa-pdf", str(EXAMPLE)]).returncode != 2:
        fail("--stampa-pdf without -o is not refused")

    # The project itself is never the output, not even through a link.
    project = work / "Acquenza-dati-villa"
    project.write_bytes(EXAMPLE.read_bytes())
    (work / "link.pdf").symlink_to(project)
    for option, target in (("--relazione", project), ("--csv", project),
                           ("--stampa-pdf", work / "link.pdf")):
        result = run([option, str(project), "-o", str(target)])
        if result.returncode != 1 or "è il file di dati del progetto" not in result.stderr:
            fail(f"{option} -o {target}: {result.returncode} {result.stderr}")
        if project.read_bytes() != EXAMPLE.read_bytes():
            fail(f"{option} -o {target} changed the project")
    result = run(["--relazione", str(project), "-o", str(work / "relazione-villa")])
    if (result.returncode != 0 or not (work / "relazione-villa.docx").exists()
            or "aggiunta l'estensione .docx" not in result.stderr):
        fail(f"--relazione without an extension: {result.returncode} {result.stderr}")


def italian_locale(work):
    """LC_ALL=it_IT.UTF-8, compiled here (the machine need not have it)."""
    locales = work / "locales"
    locales.mkdir()
    made = subprocess.run(["localedef", "-i", "it_IT", "-f", "UTF-8",
                           str(locales / "it_IT.UTF-8")], capture_output=True, text=True)
    if made.returncode > 1 or not (locales / "it_IT.UTF-8" / "LC_NUMERIC").exists():
        return None
    return {"LOCPATH": str(locales), "LANG": "it_IT.UTF-8", "LC_ALL": "it_IT.UTF-8"}


def documents_in_any_language(work):
    """The system's language never reaches a number the program writes: the
    documents of a run under LANG=C and under an Italian locale (decimal
    comma in C's printf) are the same, byte for byte (the .docx apart from
    its creation time)."""
    italian = italian_locale(work)
    if italian is None:
        print("skip: localedef cannot make it_IT.UTF-8 (package locales)")
        return
    check = subprocess.run(["printf", "%.1f", "1.5"], env={**os.environ, **italian},
                           capture_output=True, text=True).stdout
    if check != "1,5":
        fail(f"the Italian locale is not in effect: printf gives {check!r}")
    made = {}
    for name, env in (("C", bare_environment(LANG="C", LC_ALL="C")),
                      ("it", bare_environment(**italian))):
        folder = work / name
        folder.mkdir()
        for args in (["--csv", str(EXAMPLE), "-o", str(folder / "riepilogo.csv")],
                     ["--relazione", str(EXAMPLE), "-o", str(folder / "relazione.docx")],
                     ["--stampa-pdf", str(EXAMPLE), "-o", str(folder / "relazione.pdf")]):
            result = run(args, env)
            if result.returncode != 0:
                fail(f"{name} {args[0]}: {result.returncode} {result.stderr}")
        with zipfile.ZipFile(folder / "relazione.docx") as docx_file:
            parts = {n: docx_file.read(n) for n in docx_file.namelist()
                     if n != "docProps/core.xml"}
        printed = subprocess.run(["pdftotext", "-layout", str(folder / "relazione.pdf"), "-"],
                                 capture_output=True).stdout
        made[name] = ((folder / "riepilogo.csv").read_bytes(), parts, printed)
    for what, c, it in zip(("the CSV", "the .docx", "the printed PDF"), made["C"], made["it"]):
        if c != it:
            fail(f"{what} changes with the system's language")


def csv_export(work):
    """The network summary as a spreadsheet: read back with the csv module,
    every number as the report's data table prints it."""
    import csv
    out = work / "riepilogo.csv"
    result = run(["--csv", str(EXAMPLE), "-o", str(out)])
    if result.returncode != 0:
        fail(f"--csv: {result.returncode} {result.stderr}")
    raw = out.read_bytes()
    if not raw.startswith(b"\xef\xbb\xbf") or b"\r\n" not in raw:
        fail("the file lacks the byte-order mark or the CR LF line ends")
    with open(out, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, delimiter=";"))
    # The example is a network: its columns come with the plain ones.
    wanted = ["Tronco", "Tronco a monte", "Lunghezza (m)", "Antincendio", "Velocità (m/s)",
              "Pressione al nodo (m)"]
    if rows[0][0] != "Tronco" or any(h not in rows[0] for h in wanted):
        fail(f"headings: {rows[0]}")
    at = {h: i for i, h in enumerate(rows[0])}
    report = work / "relazione.docx"
    run(["--relazione", str(EXAMPLE), "-o", str(report)])
    table = docx.Document(str(report)).tables[3]
    cells = [[c.text for c in row.cells] for row in table.rows][2:]
    if len(cells) != len(rows) - 1 or len(cells) != 12:
        fail(f"{len(rows) - 1} rows in the CSV, {len(cells)} in the report")
    # CSV column -> the report's data table column
    pairs = {at[h]: r for h, r in [("Lunghezza (m)", 1), ("Quota iniziale (m)", 2),
                                   ("Quota finale (m)", 3), ("Portata lungo il tronco (l/s)", 4),
                                   ("Portata all'estremità (l/s)", 7), ("Perdita di carico (m)", 10),
                                   ("Diametro (cm)", 11), ("Velocità (m/s)", 12), ("Scabrezza", 13)]}
    for csv_row, report_row in zip(rows[1:], cells):
        for c, r in pairs.items():
            value = csv_row[c]
            if "." in value or "," not in value:
                fail(f"{value!r} is not written with a decimal comma")
            if abs(float(value.replace(",", ".")) - float(report_row[r].replace(",", "."))) > 1e-9:
                fail(f"section {csv_row[0]}, {rows[0][c]}: {csv_row[c]} vs {report_row[r]}")


UNSIZABLE = (b'3\r\n"100","120","110","1",,,"1",,,"nuova"\r\n'
             b'"80","110","112","1",,,"1",,,"nuova"\r\n'
             b'"60","112","100","1",,,"1",,,"in uso"\r\n"Rete","X","","","","",""\r\n')


def network_with_pipes(work):
    """The example with its sections joined into a tree from a source and PE
    pipes laid: the network block after the title line."""
    lines = EXAMPLE.read_bytes().split(b"\r\n")
    links = {1: 0, 2: 1, 3: 2, 4: 2, 5: 4, 6: 3, 7: 5, 8: 6, 9: 7, 10: 8, 11: 9, 12: 10}
    block = [b'"Acquenza: dati della rete",1', b'"carico alla sorgente","440"',
             b'"serie delle tubazioni","PE100 SDR11 PN16"',
             b'"tronchi della rete","tronco","tronco a monte","misura"']
    block += [f'"{s}","{u}","{"250" if s == 4 else ""}"'.encode() for s, u in links.items()]
    block.append(b'"fine dei dati della rete"')
    project = work / "Acquenza-dati-rete"
    project.write_bytes(b"\r\n".join(lines[:14] + block + lines[14:]))
    return project


def bill_of_pipes(work):
    """--computo: the bill of the pipes laid and the pipe of each section, a
    user catalogue's bad line named, and a project without pipes refused."""
    import csv
    project = network_with_pipes(work)
    home = work / "config"
    (home / "Acquenza" / "tubazioni").mkdir(parents=True)
    (home / "Acquenza" / "tubazioni" / "storto.txt").write_text(
        "serie: PVC\nmateriale: PVC\npn (bar): 10\nscabrezza (mm): 0,01\n"
        "Misura;Diametro interno (mm)\n110;cento\n", encoding="utf-8")
    out = work / "computo.csv"
    result = run(["--computo", str(project), "-o", str(out)],
                 bare_environment(XDG_CONFIG_HOME=str(home)))
    if result.returncode != 0:
        fail(f"--computo: {result.returncode} {result.stderr}")
    if "storto.txt, riga 6" not in result.stderr:
        fail(f"the bad catalogue line is not named: {result.stderr}")
    raw = out.read_bytes()
    if not raw.startswith(b"\xef\xbb\xbf") or b"\r\n" not in raw:
        fail("the file lacks the byte-order mark or the CR LF line ends")
    with open(out, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, delimiter=";"))
    blank = rows.index([])
    bill, pipes = rows[1:blank], rows[blank + 1:]
    lengths = [float(line.split(b",")[0].strip(b'"')) for line in EXAMPLE.read_bytes()
               .split(b"\r\n")[1:13]]
    total = [r for r in bill if r[0] == "Totale generale"]
    if not total or float(total[0][5].replace(",", ".")) != sum(lengths):
        fail(f"the total is not the network's length {sum(lengths)}: {total}")
    if sum(float(r[5].replace(",", ".")) for r in bill if not r[0].startswith("Totale")) \
            != sum(lengths):
        fail("the rows do not add up to the total")
    heading = pipes[0]
    for name in ("Tubazione", "Diametro interno (mm)", "Perdita effettiva (m)", "PN (bar)"):
        if name not in heading:
            fail(f"no column {name}: {heading}")
    if len(pipes) != 13 or pipes[4][2] != "PE100 SDR11 PN16 Ø 250 — DI 204,6 mm":
        fail(f"the pipes of the sections: {pipes}")
    report = work / "relazione.docx"
    run(["--relazione", str(project), "-o", str(report)])
    if "COMPUTO DELLE TUBAZIONI" not in docx_text(report):
        fail("the report has no bill")
    # The example's network without its series: no pipe is laid.
    bare = work / "Acquenza-dati-senza-tubazioni"
    bare.write_bytes(EXAMPLE.read_bytes().replace(
        b'"serie delle tubazioni","PE100 SDR11 PN16"', b'"serie delle tubazioni",""'))
    plain = work / "esempio.docx"
    run(["--relazione", str(bare), "-o", str(plain)])
    if "TUBAZIONI POSATE" in docx_text(plain):
        fail("a project without pipes has their chapter")
    result = run(["--computo", str(bare), "-o", str(work / "niente.csv")])
    if result.returncode == 0 or "non posa tubazioni" not in result.stderr \
            or (work / "niente.csv").exists():
        fail(f"a project without pipes: {result.returncode} {result.stderr}")


def unsizable(work):
    """A section that rises cannot be sized: no report, exit 1, and the
    message names the section and what to change; the summary marks it."""
    project = work / "Acquenza-dati-salita"
    project.write_bytes(UNSIZABLE)
    for option, target in (("--relazione", work / "no.docx"), ("--stampa-pdf", work / "no.pdf")):
        result = run([option, str(project), "-o", str(target)])
        if result.returncode != 1 or target.exists():
            fail(f"{option} on a rising section: {result.returncode}, {target} written")
        if ("Tronco n. 2:" not in result.stderr
                or "il dislivello non consente il dimensionamento" not in result.stderr):
            fail(f"{option} on a rising section said {result.stderr!r}")
    out = work / "riepilogo.csv"
    if run(["--csv", str(project), "-o", str(out)]).returncode != 0:
        fail("--csv of a project with a rising section failed")
    import csv
    with open(out, encoding="utf-8-sig", newline="") as f:
        rows = list(csv.reader(f, delimiter=";"))
    if rows[2][11] != "non dimensionabile" or rows[2][-1] != "non dimensionabile":
        fail(f"section 2 in the CSV: {rows[2]}")
    if rows[2][4] != "-2,00" or rows[3][11] == "non dimensionabile":
        fail(f"sections 2 and 3 in the CSV: {rows[2]} {rows[3]}")


def main():
    case = sys.argv[2]
    with tempfile.TemporaryDirectory() as folder:
        work = Path(folder)
        {"no-display": lambda: no_display(),
         "help-version": lambda: help_and_version(),
         "locale": lambda: documents_in_any_language(work),
         "settings": lambda: settings(work),
         "open-project": lambda: open_project(work),
         "batch": lambda: batch(work),
         "csv": lambda: csv_export(work),
         "computo": lambda: bill_of_pipes(work),
         "unsizable": lambda: unsizable(work)}[case]()
    print("ok", case)


if __name__ == "__main__":
    main()
