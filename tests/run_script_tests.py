#!/usr/bin/env python3
"""Runs the script tests: every *.c file below the given folders (not *.inc.c, not under an
'include' folder) is run through oxel and checked against the expectations in its comments.

  /* expect: TEXT */                  the next line of the trace is TEXT (ended by CR LF)
  /* expect error N [in F] [line L]: TEXT */   standard error gets "C Interpreter Error: F (L) : error N : TEXT",
                                      F the script and L the line of the comment unless given
  /* exit: N */                       the exit status (default 0)
  /* args: OPTIONS */                 oxel's options (default --on-error=continue)
  /* stderr: TEXT */                  a further line of standard error, in order (default: none); stdout stays empty

A file NAME.trace next to NAME.c holds the exact trace bytes instead of the expect lines, with
{ADDR} where the trace shows an address (in decimal or hexadecimal).

With --harness the program is the Win32 oxel.exe, run under wine through the harness as "[test] NAME":
the trace is what it writes to the debugger channel, the errors are its dialogs, answered Continue or
Cancel as --on-error says; -d options go in OXEL_OPTIONS; --host=PATH means without the tests' host
library (found on WINEPATH); other stderr lines are not checked.
Tests named in a --skip file (paths from the repository root, '#' comments) are skipped.
"""
import argparse, os, re, shutil, subprocess, sys, tempfile
from pathlib import Path

DIRECTIVE = re.compile(r"/\*\s*(?:expect error (?P<error>\d+)(?: in (?P<file>\S+))?(?: line (?P<line>\d+))?: "
                       r"(?P<text>.*?)|expect: (?P<trace>.*?)|exit: (?P<exit>-?\d+)|args: (?P<args>.*?)"
                       r"|stderr: (?P<stderr>.*?))\s*\*/")
ERROR = "C Interpreter Error: "


def read(path):  # b"" when there is no such file
    return Path(path).read_bytes() if os.path.exists(path) else b""


def windows_path(path):  # the path under wine
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def parse(path):
    want = {"trace": [], "errors": [], "exit": 0, "args": ["--on-error=continue"], "stderr": []}
    for number, line in enumerate(read(path).decode("latin-1").splitlines(), 1):
        for m in DIRECTIVE.finditer(line):
            if m["error"]:
                name = m["file"] or os.path.basename(path)
                want["errors"].append(f"{ERROR}{name} ({m['line'] or number}) : error {m['error']} : {m['text']}")
            elif m["exit"]:
                want["exit"] = int(m["exit"])
            elif m["args"] is not None:
                want["args"] = m["args"].split()
            elif m["trace"] is not None:
                want["trace"].append(m["trace"])
            else:
                want["stderr"].append(m["stderr"])
    exact = os.path.splitext(path)[0] + ".trace"
    listed = "".join(t + "\r\n" for t in want["trace"]).encode("latin-1")
    want["trace"] = read(exact) if os.path.exists(exact) else listed
    return want


def win32_command(oxel, harness, args, name, trace_file):
    """The harness command line and environment for oxel.exe; None for an option it lacks."""
    answer, options, env = "1", [], dict(os.environ)
    for a in args:
        if a in ("--on-error=continue", "--on-error=cancel"):
            answer = "1" if a.endswith("continue") else "2"
        elif a.startswith("--host="):
            env.pop("WINEPATH", None)
        elif a.startswith("--"):
            return None, None
        else:
            options.append(a)
    env["OXEL_OPTIONS"] = " ".join(options)
    return ["wine", harness, windows_path(trace_file), answer, f'"{windows_path(oxel)}" [test] {name}'], env


def show(value):  # a list one item a line
    return "\n           ".join(value[:20] or ["(none)"]) if isinstance(value, list) else repr(value)


def run_one(oxel, path, harness):
    want = parse(path)
    folder, name = os.path.split(path)
    with tempfile.TemporaryDirectory() as tmp:
        # Each test runs in a copy of its folder: the files it makes cannot meet another run's.
        trace_file, work = os.path.join(tmp, "trace.out"), os.path.join(tmp, "work")
        shutil.copytree(folder or ".", work, ignore=shutil.ignore_patterns("*.tmp", "*_tmp"))
        cmd, env = (win32_command(oxel, harness, want["args"], name, trace_file) if harness
                    else ([oxel, *want["args"], f"--trace={trace_file}", name], None))
        if cmd is None:
            return [f"options {want['args']} have no Win32 form"]
        # Output goes to files: processes that wine starts on the side may keep pipes open.
        with open(os.path.join(tmp, "out"), "wb") as out, open(os.path.join(tmp, "err"), "wb") as err:
            try:
                status = subprocess.run(cmd, cwd=work, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                        timeout=60).returncode
            except subprocess.TimeoutExpired:
                return ["timed out"]
        stdout, stderr, trace = (read(os.path.join(tmp, f)) for f in ("out", "err", "trace.out"))
    lines = stderr.decode("latin-1").splitlines()
    checks = [("exit status", status, want["exit"]), ("standard output", stdout, b""),
              ("errors", [l for l in lines if l.startswith(ERROR)], want["errors"])]
    if not harness:  # on Win32 standard error holds the harness's report of the dialogs
        checks.append(("standard error", [l for l in lines if not l.startswith(ERROR)], want["stderr"]))
    if not re.fullmatch(re.escape(want["trace"]).replace(re.escape(b"{ADDR}"), b"-?[0-9a-f]+"), trace):
        checks.append(("trace", trace, want["trace"]))
    return [f"{what}:\n  got      {show(got)}\n  expected {show(expected)}"
            for what, got, expected in checks if got != expected]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--oxel", required=True, help="the oxel program to test")
    parser.add_argument("--harness", help="run the Win32 oxel.exe under wine through this test harness")
    parser.add_argument("--skip", help="a file that lists the tests to skip")
    parser.add_argument("folders", nargs="+", help="folders or single tests")
    args = parser.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    names = (line.split("#", 1)[0].strip() for line in open(args.skip)) if args.skip else ()
    skip = {os.path.join(root, name) for name in names if name}
    harness = args.harness and os.path.abspath(args.harness)
    passed = failed = 0
    for folder in args.folders:
        for top, dirs, files in os.walk(folder) if os.path.isdir(folder) else [("", [], [folder])]:
            dirs[:] = sorted(d for d in dirs if d != "include")
            paths = (os.path.join(top, f) for f in sorted(files) if f.endswith(".c") and not f.endswith(".inc.c"))
            for path in (p for p in paths if os.path.abspath(p) not in skip):
                problems = run_one(os.path.abspath(args.oxel), path, harness)
                failed += bool(problems)
                passed += not problems
                if problems:
                    print(f"FAIL {path}", *problems, sep="\n  ")
    print(f"{passed} passed, {failed} failed, {len(skip)} skipped")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
