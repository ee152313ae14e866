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
  /* stderr: TEXT */              a line of standard error besides the error lines, in order
                                  (default: none; not checked with --harness)

A file NAME.trace next to NAME.c holds the exact trace bytes instead of the expect lines.
Files named *.inc.c or under an 'include' folder are not tests themselves.

With --harness the program is the Win32 oxel.exe, run through the harness (under --wrapper,
e.g. wine) with the command line "[test] NAME": the trace is what it writes to the debugger
channel, the errors are the texts of its error dialogs, which the harness answers with Continue
(--on-error=continue) or Cancel (--on-error=cancel); the driver options (-d...) go to it in the
environment variable OXEL_OPTIONS; a test that names another host library (--host=PATH) runs
without the tests' host library (found on wine's PATH, WINEPATH). Tests named in a --skip list
(paths relative to the repository, one a line, '#' starts a comment) are skipped.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

DIRECTIVE = re.compile(r"/\*\s*(expect error (\d+)(?: in (\S+))?(?: line (\d+))?: (.*?)|expect: (.*?)"
                       r"|exit: (-?\d+)|args: (.*?)|stdout: (.*?)|stderr: (.*?))\s*\*/")


def parse(path):
    spec = {"trace": [], "errors": [], "exit": 0, "args": ["--on-error=continue"], "stdout": "",
            "stderr": []}
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
            elif m.group(10) is not None:
                spec["stderr"].append(m.group(10))
    return spec


def windows_path(path):
    """The path of a file under wine, on its drive Z: (the root of the file system)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def win32_command(oxel, harness, args, name, trace_file):
    """The harness command line and environment for oxel.exe; None for an option it lacks."""
    answers = {"--on-error=continue": "1", "--on-error=cancel": "2"}
    answer, options, own_host = "1", [], True
    for a in args:
        if a in answers:
            answer = answers[a]
        elif a.startswith("--host="):
            own_host = False
        elif a.startswith("--"):
            return None, None
        else:
            options.append(a)
    env = dict(os.environ, OXEL_OPTIONS=" ".join(options))
    if not own_host:
        env.pop("WINEPATH", None)
    cmd = [harness, "--trace", windows_path(trace_file), "--answers", answer, "--timeout", "50",
           f'"{windows_path(oxel)}" [test] {name}']
    return cmd, env


def run_to_files(cmd, cwd, env, tmp):
    """Runs cmd with its output in files: processes that wine starts on the side (its desktop
    process) may keep pipes open after the program has ended."""
    out_path, err_path = os.path.join(tmp, "stdout"), os.path.join(tmp, "stderr")
    with open(out_path, "wb") as out, open(err_path, "wb") as err:
        proc = subprocess.run(cmd, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                              timeout=60, env=env)
    with open(out_path, "rb") as out, open(err_path, "rb") as err:
        proc.stdout, proc.stderr = out.read(), err.read()
    return proc


def run_one(oxel, path, wrapper, harness=None):
    spec = parse(path)
    folder, name = os.path.split(path)
    with tempfile.TemporaryDirectory() as tmp:
        trace_file = os.path.join(tmp, "trace.out")
        cmd = wrapper + [oxel] + spec["args"] + [f"--trace={trace_file}", name]
        if harness:
            cmd, env = win32_command(oxel, harness, spec["args"], name, trace_file)
            if cmd is None:
                return [f"options {spec['args']} have no Win32 form"]
            cmd = wrapper + cmd
        try:
            if harness:
                proc = run_to_files(cmd, folder or ".", env, tmp)
            else:
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
    if others != spec["stderr"] and not harness:
        problems.append("standard error differs:\n  got      " + "\n           ".join(others[:20] or ["(none)"]) +
                        "\n  expected " + "\n           ".join(spec["stderr"] or ["(none)"]))
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


def read_skip_list(path):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    paths = set()
    with open(path) as f:
        for line in f:
            entry = line.split("#", 1)[0].strip()
            if entry:
                paths.add(os.path.join(root, entry))
    return paths


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--oxel", required=True, help="the oxel program to test")
    parser.add_argument("--wrapper", default="", help="a command to run oxel under (e.g. wine)")
    parser.add_argument("--harness", help="run the Win32 oxel.exe through this test harness")
    parser.add_argument("--skip", help="a file that lists the tests to skip")
    parser.add_argument("folders", nargs="+")
    args = parser.parse_args()
    oxel = os.path.abspath(args.oxel)
    harness = os.path.abspath(args.harness) if args.harness else None
    skipped_paths = read_skip_list(args.skip) if args.skip else set()
    passed = failed = skipped = 0
    for path in collect(args.folders):
        if os.path.abspath(path) in skipped_paths:
            skipped += 1
            continue
        problems = run_one(oxel, path, args.wrapper.split(), harness)
        if problems:
            failed += 1
            print(f"FAIL {path}")
            for p in problems:
                print("  " + p)
        else:
            passed += 1
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if args.skip else ""))
    return 1 if failed or passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
