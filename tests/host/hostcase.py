"""Shared helpers of the tests of the reference host library (librv32auto.so): each test runs
oxel on scripts in its own temporary directory, with the library that oxel finds next to itself
(no OXEL_HOST), RAVELTO_DIR there, and a hard time limit on every run."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

OXEL = None
# show(s) writes a line to out.txt, which self.shown() reads.
PRELUDE = """long shown_file;
int show(s) char *s; {
  if (!shown_file) shown_file = fopen("out.txt", "w");
  fputs(s, shown_file); fputs("\\n", shown_file); fflush(shown_file); return 0;
}
"""
HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    global OXEL
    parser = argparse.ArgumentParser()
    parser.add_argument("--oxel", required=True)
    args, rest = parser.parse_known_args()
    OXEL = os.path.abspath(args.oxel)
    unittest.main(argv=[sys.argv[0]] + rest)


class HostCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="oxel-rv32-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def path(self, name):
        return os.path.join(self.dir, name)

    def write(self, name, data):
        if isinstance(data, str):
            data = data.encode()
        with open(self.path(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.path(name), "rb") as f:
            return f.read()

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("OXEL_", "RAVELTO", "XDG_CONFIG"))}
        env["RAVELTO_DIR"] = self.dir
        env["HOME"] = self.dir
        env.update(extra)
        return env

    def command(self, script, items=None, options=()):
        self.write("run.c", PRELUDE + script)
        target = "run.c" if items is None else f"[{items}] run.c"
        return [OXEL, "--on-error=continue", "--trace=" + self.path("trace.out"), *options, target]

    def run_script(self, script, items=None, options=(), stdin=subprocess.DEVNULL, timeout=50,
                   **env):
        """Runs 'script' (top-level expressions write their values to the trace); returns the
        exit status, the trace's lines and standard error."""
        proc = subprocess.run(self.command(script, items, options), cwd=self.dir,
                              env=self.env(**env), stdin=stdin, capture_output=True,
                              timeout=timeout)
        return proc.returncode, self.trace(), proc.stderr.decode(errors="replace")

    def start_script(self, script, items=None, options=(), **env):
        proc = subprocess.Popen(self.command(script, items, options), cwd=self.dir,
                                env=self.env(**env), stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(proc.kill)
        return proc

    def trace(self):
        try:
            text = self.read("trace.out").decode(errors="replace")
        except FileNotFoundError:
            return []
        return text.replace("\r\n", "\n").splitlines()

    def values(self, script, items=None, **env):
        """The values of the script's top-level expressions, as integers where they are."""
        status, lines, errors = self.run_script(script, items, **env)
        self.assertNotIn("C Interpreter Error", errors)
        return [int(l) if re.fullmatch(r"-?\d+", l) else l for l in lines]

    def shown(self):
        try:
            return self.read("out.txt").decode(errors="replace").splitlines()
        except FileNotFoundError:
            return []

    def wait_for_file(self, name, limit=20):
        end = time.monotonic() + limit
        while not os.path.exists(self.path(name)):
            self.assertLess(time.monotonic(), end, f"{name} did not appear")
            time.sleep(0.05)
