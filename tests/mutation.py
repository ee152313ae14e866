#!/usr/bin/env python3
"""Measures how many faults the POSIX tests catch: single-site mutants of the interpreter's core
(a flipped comparison, a dropped '!', a constant changed by one, a deleted statement, '&&' for
'||'), each built and run against the whole POSIX suite (ctest of a plain build).

  tests/mutation.py pick [--count 150] [--seed 1] [--folders host] > mutants.tsv   choose at random
  tests/mutation.py run mutants.tsv [--jobs 2] [--sanitize] [--tests REGEX] > results.tsv   test each

A mutant is a line "file<TAB>line<TAB>original<TAB>mutated"; results add "killed" (and the tests that
failed), "survived", "broken" (no build) or "missing" (the line is gone; one that moved is looked for
nearby), so the same list can be run again after the tests change. Not part of the test command.
"""
import argparse, os, random, re, shutil, subprocess, sys, tempfile
from pathlib import Path

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FOLDERS = ["source", "decl", "eval", "stmt", "builtins", "shell"]
SWAPS = [("<=", "<"), (">=", ">"), ("==", "!="), ("!=", "=="), ("&&", "||"), ("||", "&&"), (" < ", " <= "),
         (" > ", " >= "), ("+ 1", "- 1"), ("- 1", "+ 1"), ("true", "false"), ("false", "true")]
SKIP = re.compile(r"^\s*(//|#|\*|/\*|case\b|default:|static_assert|constexpr\s+int\s+\w+\s*=\s*\d+;)")
DELETABLE = re.compile(r"^\s*[\w:>.\-\[\]()*&, ]+(\(.*\)|\+\+|--| = .*);\s*$")
DECLARATION = re.compile(r"^\s*(const\s+)?[\w:<>]+[\s*&]+\w+\s*[=\[;{(]")


def candidates(path):
    rel = os.path.relpath(path, ROOT)
    for n, line in enumerate(Path(path).read_text().split("\n"), 1):
        if SKIP.match(line) or not line.strip():
            continue
        for old, new in SWAPS:
            start = line.find(old)
            while start >= 0:
                yield rel, n, line, line[:start] + new + line[start + len(old):]
                start = line.find(old, start + 1)
        for m in re.finditer(r"!(?=[\w(])", line):
            yield rel, n, line, line[:m.start()] + line[m.end():]
        for m in re.finditer(r"(?<![\w.])(\d+)(?![\w.])", line):
            value = int(m.group(1))
            yield rel, n, line, line[:m.start()] + str(value + 1) + line[m.end():]
        if DELETABLE.match(line) and not DECLARATION.match(line) and not line.lstrip().startswith("return"):
            yield rel, n, line, ""


def pick(count, seed, folders):
    sources = sorted(os.path.join(dp, f) for d in folders for dp, _, fs in os.walk(os.path.join(ROOT, d))
                     for f in fs if f.endswith(".cpp"))
    pool = [c for s in sources for c in candidates(s)]
    for rel, n, old, new in random.Random(seed).sample(pool, count):
        print("\t".join([rel, str(n), old.replace("\t", " "), new.replace("\t", " ")]))


def run(listing, jobs, sanitize, only):
    mutants = [l.split("\t") for l in Path(listing).read_text().splitlines() if l.strip()]
    tree = tempfile.mkdtemp(prefix="oxel-mutants-")
    build = os.path.join(tree, "build-mutants")
    quiet = dict(capture_output=True)
    try:
        shutil.copytree(ROOT, tree, dirs_exist_ok=True, ignore=shutil.ignore_patterns(".git", "build*"))
        subprocess.run(["cmake", "-S", tree, "-B", build, "-DCMAKE_BUILD_TYPE=Debug",
                        f"-DOXEL_SANITIZE={'ON' if sanitize else 'OFF'}"], check=True, **quiet)
        subprocess.run(["cmake", "--build", build, "-j", str(jobs)], check=True, **quiet)
        killed = total = 0
        for rel, n, old, new in mutants:
            path = Path(tree, rel)
            original = path.read_text()
            lines = original.split("\n")
            # The mutated line, looked for near its line number when the text has moved.
            at = next((i for i in sorted(range(len(lines)), key=lambda i: abs(i - int(n) + 1))[:200]
                       if lines[i] == old), None)
            if at is None:
                verdict = "missing"
            else:
                lines[at] = new
                path.write_text("\n".join(lines))
                if subprocess.run(["cmake", "--build", build, "-j", str(jobs)], **quiet).returncode:
                    verdict = "broken"
                else:
                    tests = subprocess.run(["ctest", "--test-dir", build, "--timeout", "60", "--stop-on-failure",
                                            "-j", str(jobs), "-R", only], **quiet)
                    verdict = "killed" if tests.returncode else "survived"
                    # The tests that failed, after the verdict: a kill by a timing test alone is worth a second look.
                    failed = re.findall(rb"\d+ - (\w+) \(", tests.stdout)
                    verdict += "".join(" " + t.decode() for t in failed)
                    total += 1
                    killed += verdict.startswith("killed")
                path.write_text(original)
            print("\t".join([rel, n, old, new, verdict]), flush=True)
        print(f"# {killed} killed of {total} that compile: {100.0 * killed / max(total, 1):.1f}%", file=sys.stderr)
    finally:
        shutil.rmtree(tree, True)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("command", choices=["pick", "run"])
    parser.add_argument("listing", nargs="?", help="the mutants to run")
    parser.add_argument("--count", type=int, default=150)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--folders", nargs="+", default=FOLDERS, help="where to pick (default: the core)")
    parser.add_argument("--tests", default=".", help="the ctest suites to run (a regular expression)")
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--sanitize", action="store_true", help="build under the sanitizers, as the test command does")
    args = parser.parse_args()
    if args.command == "pick":
        return pick(args.count, args.seed, args.folders)
    run(args.listing, args.jobs, args.sanitize, args.tests)


if __name__ == "__main__":
    main()
