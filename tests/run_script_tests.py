#!/usr/bin/env python3
"""Runs the script tests: every *.c file below the given folders (not *.inc.c, not under an
'include' folder) is run through oxel and checked against the expectations in its comments.

  /* expect: TEXT */                  the next line of the trace is TEXT (ended by CR LF)
  /* expect error N: TEXT */          standard error gets "C Interpreter Error: FILE (L) : error N :
                                      TEXT", L being the line of the comment
  /* expect error N [in F] [line L]: TEXT */   the same, reported in file F, at line L
  /* exit: N */                       the exit status (default 0)
  /* args: OPTIONS */                 oxel's options (default --on-error=continue)
  /* stdout: TEXT */                  standard output, with \\n and \\t escapes (default: nothing)
  /* stderr: TEXT */                  a further line of standard error, in order (default: none)

A file NAME.trace next to NAME.c holds the exact trace bytes instead of the expect lines, with
{ADDR} where the trace shows an address (in decimal or hexadecimal).

With --harness the program is the Win32 oxel.exe, run under --wrapper (wine) through the harness
with the command line "[test] NAME": the trace is what it writes to the debugger channel, the
errors are the texts of its error dialogs, answered Continue or Cancel as --on-error says; the
driver options (-d...) go in OXEL_OPTIONS; a test that names another host library (--host=PATH)
runs without the tests' host library (found on WINEPATH); other stderr lines are not checked.
Tests named in a --skip file (paths from the repository root, '#' comments) are skipped.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

DIRECTIVE = re.compile(r"/\*\s*(expect error (\d+)(?: in (\S+))?(?: line (\d+))?: (.*?)|expect: (.*?)"
                       r"|exit: (-?\d+)|args: (.*?)|stdout: (.*?)|stderr: (.*?))\s*\*/")
ERROR = "C Interpreter Error: "


def parse(path):
    spec = {"trace": [], "errors": [], "exit": 0, "args": ["--on-error=continue"], "stdout": "", "stderr": []}
    with open(path, "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    for number, line in enumerate(lines, 1):
        for m in DIRECTIVE.finditer(line):
            g = m.groups()
            if g[1]:
                spec["errors"].append(f"{ERROR}{g[2] or os.path.basename(path)} ({g[3] or number}) : error {g[1]} : {g[4]}")
            elif g[5] is not None:
                spec["trace"].append(g[5])
            elif g[6]:
                spec["exit"] = int(g[6])
            elif g[7] is not None:
                spec["args"] = g[7].split()
            elif g[8] is not None:
                spec["stdout"] = g[8].encode().decode("unicode_escape")
            else:
                spec["stderr"].append(g[9])
    exact = os.path.splitext(path)[0] + ".trace"
    spec["trace"] = (open(exact, "rb").read() if os.path.exists(exact)
                     else "".join(t + "\r\n" for t in spec["trace"]).encode("latin-1"))
    return spec


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
    z = lambda p: "Z:" + os.path.abspath(p).replace("/", "\\")  # the path under wine
    return [harness, "--trace", z(trace_file), "--answers", answer, "--timeout", "50",
            f'"{z(oxel)}" [test] {name}'], env


def run_one(oxel, path, wrapper, harness):
    spec = parse(path)
    folder, name = os.path.split(path)
    with tempfile.TemporaryDirectory() as tmp:
        # Each test runs in a copy of its folder: the files it makes cannot meet another run's.
        trace_file, work = os.path.join(tmp, "trace.out"), os.path.join(tmp, "work")
        shutil.copytree(folder or ".", work, ignore=shutil.ignore_patterns("*.tmp", "*_tmp"))
        cmd, env = [oxel] + spec["args"] + [f"--trace={trace_file}", name], None
        if harness:
            cmd, env = win32_command(oxel, harness, spec["args"], name, trace_file)
            if cmd is None:
                return [f"options {spec['args']} have no Win32 form"]
        # Output goes to files: processes that wine starts on the side may keep pipes open.
        with open(os.path.join(tmp, "out"), "w+b") as out, open(os.path.join(tmp, "err"), "w+b") as err:
            try:
                proc = subprocess.run(wrapper + cmd, cwd=work, env=env, stdin=subprocess.DEVNULL,
                                      stdout=out, stderr=err, timeout=60)
            except subprocess.TimeoutExpired:
                return ["timed out"]
            out.seek(0)
            err.seek(0)
            stdout, stderr = out.read().decode("latin-1"), err.read().decode("latin-1").splitlines()
        trace = open(trace_file, "rb").read() if os.path.exists(trace_file) else b""
    problems = []
    if proc.returncode != spec["exit"]:
        problems.append(f"exit status {proc.returncode}, expected {spec['exit']}")
    want = re.escape(spec["trace"]).replace(re.escape(b"{ADDR}"), b"-?[0-9a-f]+")  # an address
    if not re.fullmatch(want, trace):
        problems.append(f"trace differs:\n  got      {trace!r}\n  expected {spec['trace']!r}")
    shown = lambda lines: "\n           ".join(lines[:20] or ["(none)"])
    for what, got, want in (("errors", [l for l in stderr if l.startswith(ERROR)], spec["errors"]),
                            ("standard error", [l for l in stderr if not l.startswith(ERROR)], spec["stderr"])):
        if got != want and not (harness and what == "standard error"):
            problems.append(f"{what} differ:\n  got      {shown(got)}\n  expected {shown(want)}")
    if stdout != spec["stdout"]:
        problems.append(f"standard output {stdout!r}, expected {spec['stdout']!r}")
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--oxel", required=True, help="the oxel program to test")
    parser.add_argument("--wrapper", default="", help="a command to run oxel under (e.g. wine)")
    parser.add_argument("--harness", help="run the Win32 oxel.exe through this test harness")
    parser.add_argument("--skip", help="a file that lists the tests to skip")
    parser.add_argument("folders", nargs="+", help="folders or single tests")
    args = parser.parse_args()
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    skip = set()
    if args.skip:
        for line in open(args.skip):
            if line.split("#", 1)[0].strip():
                skip.add(os.path.join(root, line.split("#", 1)[0].strip()))
    harness = args.harness and os.path.abspath(args.harness)
    passed = failed = 0
    for folder in args.folders:
        for top, dirs, files in os.walk(folder) if os.path.isdir(folder) else [("", [], [folder])]:
            dirs[:] = sorted(d for d in dirs if d != "include")
            for path in (os.path.join(top, f) for f in sorted(files) if f.endswith(".c") and not f.endswith(".inc.c")):
                if os.path.abspath(path) in skip:
                    continue
                problems = run_one(os.path.abspath(args.oxel), path, args.wrapper.split(), harness)
                failed += bool(problems)
                passed += not problems
                for p in [f"FAIL {path}"] * bool(problems) + ["  " + p for p in problems]:
                    print(p)
    print(f"{passed} passed, {failed} failed, {len(skip)} skipped")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
