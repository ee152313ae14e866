#!/usr/bin/env python3
"""Where oxel finds the host automation library: --host=PATH before $OXEL_HOST before
librv32auto.so next to the executable; and the command line that the library gets.
Run: host_cli_test.py --oxel PATH --host PATH-OF-THE-RECORDING-HOST [unittest options]."""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

OXEL = HOST = None
SCRIPT = b"ktSleep(1, 2)\nvoid main() { ktInitialize(); }\n"
CALLED = b"ktSleep(1, 2)\r\n0\r\n"
MISSING = b"C Interpreter Error: s.c (1) : error 403 : Unknown function 'ktSleep'\n"


class HostLookup(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="oxel-host-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        with open(os.path.join(self.dir, "s.c"), "wb") as f:
            f.write(SCRIPT)

    def run_oxel(self, *args, env_host=None, oxel=None):
        env = {k: v for k, v in os.environ.items() if k != "OXEL_HOST"}
        if env_host is not None:
            env["OXEL_HOST"] = env_host
        trace = os.path.join(self.dir, "trace.out")
        proc = subprocess.run([oxel or OXEL, "--on-error=continue", "--trace=" + trace, *args],
                              cwd=self.dir, env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=60)
        with open(trace, "rb") as f:
            return proc.returncode, f.read(), proc.stderr

    def test_option_before_environment_before_executable_folder(self):
        bin_dir = os.path.join(self.dir, "bin")
        os.mkdir(bin_dir)
        oxel = shutil.copy(OXEL, bin_dir)
        shutil.copy(HOST, os.path.join(bin_dir, "librv32auto.so"))
        status, trace, errors = self.run_oxel("s.c", oxel=oxel)
        self.assertEqual((status, errors), (0, b""))
        self.assertTrue(trace.startswith(CALLED), trace)
        status, trace, errors = self.run_oxel("s.c", oxel=oxel, env_host="/nonexistent/lib.so")
        self.assertTrue(errors.startswith(MISSING), errors)
        status, trace, errors = self.run_oxel("--host=" + HOST, "s.c", env_host="/nonexistent/lib.so")
        self.assertEqual((status, errors), (0, b""))
        self.assertTrue(trace.startswith(CALLED), trace)
        # without any of them there is no library, which is no crash either
        status, trace, errors = self.run_oxel("s.c")
        self.assertEqual(status, 0)
        self.assertTrue(errors.startswith(MISSING), errors)

    def test_command_line_reaches_the_library(self):
        os.environ["OXEL_TEST_HOST_SHOW_ATTACH"] = "1"
        try:
            status, trace, errors = self.run_oxel("[session 4]", " s.c", env_host=HOST)
            _, plain, _ = self.run_oxel("s.c", env_host=HOST)
        finally:
            del os.environ["OXEL_TEST_HOST_SHOW_ATTACH"]
        self.assertEqual((status, errors), (0, b""))
        self.assertEqual(trace, b'oxel_host_attach(command line "[session 4]  s.c")\r\n' + CALLED +
                         b"ktInitialize(0, instance, 0, command line)\r\n")
        self.assertTrue(plain.startswith(b'oxel_host_attach(command line "s.c")\r\n'), plain)

    def test_empty_host_option_is_refused(self):
        proc = subprocess.run([OXEL, "--host=", "s.c"], cwd=self.dir, capture_output=True, timeout=60)
        self.assertEqual(proc.returncode, 2)


if __name__ == "__main__":
    parser = argparse.ArgumentParser()
    parser.add_argument("--oxel", required=True)
    parser.add_argument("--host", required=True)
    args, rest = parser.parse_known_args()
    OXEL, HOST = os.path.abspath(args.oxel), os.path.abspath(args.host)
    unittest.main(argv=[sys.argv[0]] + rest)
