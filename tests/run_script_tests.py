#!/usr/bin/env python3
"""Runs the script tests: every *.c file below the given folders is run through oxel and checked
against the expectations written in its comments.

  /* expect: TEXT */              the next line of the trace output is TEXT (ended by CR LF)
  /* expect error N: TEXT */      standard error gets "C Interpreter Error: FILE (L) : error N : TEXT",
                                  L being the line of this comment
  /* expect error N line L: TEXT */   the same, reported at line L
  /* expect error N in F line L: TEXT */   the same, reported in file F
  /* exit: N */                   the exit status (default 0)
  /* args: OPTIONS */             oxel's options (default --on-error=continue)
  /* stdout: TEXT */              standard output, with \\n and \\t escapes (default: nothing)

A file NAME.trace next to NAME.c holds the exact trace bytes instead of the expect lines.
Files named *.inc.c or under an 'include' folder are not tests themselves.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

DIRECTIVE = re.compile(r"/\*\s*(expect error (\d+)(?: in (\S+))?(?: line (\d+))?: (.*?)|expect: (.*?)"
                       r"|exit: (-?\d+)|args: (.*?)|stdout: (.*?))\s*\*/")


def parse(path):
    spec = {"trace": [], "errors": [], "exit": 0, "args": ["--on-error=continue"], "stdout": ""}
    name = os.path.basename(path)
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    for number, line in enumerate(text.splitlines(), 1):
        for m in DIRECTIVE.finditer(line):
            if m.group(2):
                file = m.group(3) or name
                at = int(m.group(4)) if m.group(4) else number
                spec["errors"].append(f"C Interpreter Error: {file} ({at}) : error {m.group(2)} : {m.group(5)}")
            elif m.group(6) is not None:
                spec["trace"].append(m.group(6))
            elif m.group(7):
                spec["exit"] = int(m.group(7))
            elif m.group(8) is not None:
                spec["args"] = m.group(8).split()
            elif m.group(9) is not None:
                spec["stdout"] = m.group(9).encode().decode("unicode_escape")
    return spec


def run_one(oxel, path, wrapper):
    spec = parse(path)
    folder, name = os.path.split(path)
    with tempfile.TemporaryDirectory() as tmp:
        trace_file = os.path.join(tmp, "trace.out")
        cmd = wrapper + [oxel] + spec["args"] + [f"--trace={trace_file}", name]
        try:
            proc = subprocess.run(cmd, cwd=folder or ".", stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=60)
        except subprocess.TimeoutExpired:
            return ["timed out"]
        trace = open(trace_file, "rb").read() if os.path.exists(trace_file) else b""
    problems = []
    if proc.returncode != spec["exit"]:
        problems.append(f"exit status {proc.returncode}, expected {spec['exit']}")
    exact = os.path.splitext(path)[0] + ".trace"
    if os.path.exists(exact):
        want = open(exact, "rb").read()
        if trace != want:
            problems.append(f"trace differs:\n  got      {trace!r}\n  expected {want!r}")
    else:
        want = "".join(t + "\r\n" for t in spec["trace"]).encode("latin-1")
        if trace != want:
            problems.append(f"trace differs:\n  got      {trace!r}\n  expected {want!r}")
    stderr = proc.stderr.decode("latin-1").splitlines()
    errors = [l for l in stderr if l.startswith("C Interpreter Error: ")]
    others = [l for l in stderr if not l.startswith("C Interpreter Error: ")]
    if errors != spec["errors"]:
        problems.append("errors differ:\n  got      " + "\n           ".join(errors or ["(none)"]) +
                        "\n  expected " + "\n           ".join(spec["errors"] or ["(none)"]))
    if others:
        problems.append("unexpected standard error output:\n  " + "\n  ".join(others[:20]))
    stdout = proc.stdout.decode("latin-1")
    if stdout != spec["stdout"]:
        problems.append(f"standard output {stdout!r}, expected {spec['stdout']!r}")
    return problems


def collect(folders):
    for folder in folders:
        for root, dirs, files in os.walk(folder):
            dirs[:] = sorted(d for d in dirs if d != "include")
            for f in sorted(files):
                if f.endswith(".c") and not f.endswith(".inc.c"):
                    yield os.path.join(root, f)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--oxel", required=True, help="the oxel program to test")
    parser.add_argument("--wrapper", default="", help="a command to run oxel under (e.g. wine)")
    parser.add_argument("folders", nargs="+")
    args = parser.parse_args()
    oxel = os.path.abspath(args.oxel)
    passed = failed = 0
    for path in collect(args.folders):
        problems = run_one(oxel, path, args.wrapper.split())
        if problems:
            failed += 1
            print(f"FAIL {path}")
            for p in problems:
                print("  " + p)
        else:
            passed += 1
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
