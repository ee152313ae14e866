#!/usr/bin/env python3
"""oxel and its host library: where the library is found, what the attach call hands over and how the library
is told that the run ends, for every way a run ends (signals and the time limit included).
Run: host_test.py --oxel PATH --host RECORDING-HOST --host-v1 VERSION-1-HOST [unittest options]."""
import os, re, select, shutil, signal, subprocess, sys, time, unittest
from pathlib import Path

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
import cli_test  # noqa: E402  (the temporary folder, write, run_oxel and the terminal runner)

OXEL = HOST = HOST_V1 = None
SCRIPT = b"ktSleep(1, 2)\nvoid main() { ktInitialize(); }\n"
CALLED = b"ktSleep(1, 2)\r\n0\r\n"
MISSING = b"C Interpreter Error: s.c (1) : error 403 : Unknown function 'ktSleep'\n"
TIME_LIMIT = "error 103 : Time limit of 1 seconds exceeded"


class HostCase(cli_test.OxelCase):
    def setUp(self):
        super().setUp()
        self.write("s.c", SCRIPT)

    def env(self, env_host="", results=b"", **extra):
        """The environment of a run: OXEL_HOST env_host (None: unset; "": the recording host), its results."""
        env = {k: v for k, v in os.environ.items() if not k.startswith(("OXEL_HOST", "OXEL_TEST"))}
        if env_host is not None:
            env["OXEL_HOST"] = env_host or HOST
        return dict(env, OXEL_TEST_HOST_RESULTS=self.write("results", results), OXEL_TEST_HOST_SHOW_DETACH="1", **extra)

    def run_host(self, *args, oxel=None, stdin=subprocess.DEVNULL, **env):
        r = self.run_oxel(["--on-error=continue", *args], oxel=oxel, env=self.env(**env), stdin=stdin)
        return r.status, r.trace, r.stderr

    def start(self, script, *args, marker=b"ktGetSession(", ignored=(), **env):
        """oxel running 'script', the trace on stderr, the signals 'ignored', once the host has recorded 'marker'."""
        self.write("run.c", script)
        proc = subprocess.Popen([OXEL, "--trace=-", *args, "run.c"], cwd=self.dir,
                                env=self.env(**env), stdin=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                preexec_fn=lambda: [signal.signal(s, signal.SIG_IGN) for s in ignored])
        self.addCleanup(proc.kill)
        self.seen = b""
        while marker not in self.seen:
            data = select.select([proc.stderr], [], [], 30)[0] and os.read(proc.stderr.fileno(), 4096)
            self.assertTrue(data, self.seen)
            self.seen += data
        return proc

    def finish(self, proc):
        _, out = proc.communicate(timeout=30)
        return proc.returncode, self.seen + out


class Attach(HostCase):
    def test_where_the_library_is_found_and_what_it_is_told(self):
        # --host, then $OXEL_HOST, then the executable's folder; a bare name is a file in the current
        # directory (the loader's search path is not asked); a refused attach unloads the library.
        oxel = shutil.copy(OXEL, os.path.dirname(self.write("bin/librv32auto.so", Path(HOST).read_bytes())))
        self.write("librecording.so", Path(HOST).read_bytes())
        init, detached, gone = b"ktInitialize(0, instance, 0, command line)\r\n", b"oxel_host_detach(0)\n", b"-15\r\n"
        missing = MISSING + b"C Interpreter Error: s.c (2) : error 403 : Unknown function 'ktInitialize'\n"
        cannot = b": cannot open shared object file: No such file or directory\n"
        lib = b"oxel: host library "
        for args, env, trace, errors in (
                (["s.c"], dict(oxel=oxel, env_host=None), CALLED + init, detached),
                (["s.c"], dict(oxel=oxel, env_host="/x.so"), gone, lib + b"/x.so: /x.so" + cannot + missing),
                (["--host=" + HOST, "s.c"], dict(env_host="/x.so"), CALLED + init, detached),
                (["s.c"], dict(env_host="librecording.so"), CALLED + init, detached),
                (["--host=libc.so.6", "s.c"], {}, gone, lib + b"./libc.so.6: ./libc.so.6" + cannot + missing),
                (["s.c"], dict(OXEL_TEST_HOST_ATTACH="3"), gone,
                 lib + HOST.encode() + b": refused to attach (3)\n" + missing),
                (["[session 4]", " s.c"], dict(OXEL_TEST_HOST_SHOW_ATTACH="1"),
                 b'oxel_host_attach(command line "[session 4]  s.c")\r\n' + CALLED + init, detached)):
            self.assertEqual(self.run_host(*args, **env), (0, trace, errors))
        self.assertEqual(self.run_oxel(["--host=", "s.c"]).status, 2)

    def test_a_version_1_library_still_serves(self):
        # Its attach returns nothing (whatever is left in the result register is not read), it
        # has no detach call and lacks ktGetVersion, whose call is then 403 and -15.
        self.write("v1.c", b'ktTypeText(0, "hi", 2)\nktGetVersion(0, 0, 0)\nvoid main() {}\n')
        self.assertEqual(self.run_host("v1.c", env_host=HOST_V1, OXEL_TEST_HOST_ATTACH="3"), (
            0, b'ktTypeText(0, "hi", 2)\r\n0\r\n-15\r\n',
            b"C Interpreter Error: v1.c (2) : error 403 : Unknown function 'ktGetVersion'\n"))
        self.assertEqual(self.run_host("--on-error=cancel", "v1.c", env_host=HOST_V1)[0], 1)


class EndOfRun(HostCase):
    """The library's detach call comes exactly once, with the run's exit status."""

    def assertEnded(self, script, status, *args, errors=(), results=b"", stdin=subprocess.DEVNULL, within=60):
        self.write("end.c", script)
        started = time.monotonic()
        r = self.run_oxel(["--on-error=continue", *args, "end.c"], env=self.env(results=results), stdin=stdin)
        self.assertLess(time.monotonic() - started, within)
        detached = re.findall(rb"oxel_host_detach\(\d+\)", r.stderr)
        self.assertEqual((r.status, r.errors, detached), (status, list(errors), [b"oxel_host_detach(%d)" % status]))
        return r.trace

    def test_ends_chosen_by_the_script(self):
        self.assertEnded(b"void main() { ktGetSession(0); }\n", 0)
        self.assertEnded(b"void main() { ktGetSession(0); exit(7); ktGetSession(1); }\n", 7)
        trace = self.assertEnded(b"void main() { ktTerminate(0, 3); ktGetSession(1); }\n", 3,
                                 results=b"ktTerminate end\n")
        self.assertNotIn(b"ktGetSession", trace)
        for policy in ("--on-error=cancel", "--on-error=ask"):  # no terminal: Cancel
            self.assertEnded(b"void main() { ktGetSession(0); f(); }\n", 1, policy,
                             errors=["end.c (1) : error 403 : Unknown function 'f'"])

    def test_time_limit(self):
        # A loop without calls, a host call that waits, and a read from a pipe that never
        # delivers all end at the limit, whatever the answer to errors.
        for script, results in ((b"while (1) ;", b""), (b"for (;;) {}", b""), (b"l: goto l;", b""),
                                (b"ktSleep(1, 0);", b"ktSleep wait\n")):
            trace = self.assertEnded(b"void main() { ktGetSession(0); %s }\n" % script, 124, "--time-limit=1",
                                     errors=[f"end.c (1) : {TIME_LIMIT}"], results=results, within=3)
            self.assertEqual(trace.endswith(b"interrupted\r\n"), bool(results))
        read, write = os.pipe()
        self.addCleanup(os.close, write)
        with os.fdopen(read, "rb") as pipe:
            self.assertEnded(b'char b[9];\nvoid main() { long f; ktGetSession(0);\n'
                             b'f = fopen("/dev/stdin", "r");\nfgets(b, 9, f); while (1) ; }\n',
                             124, "--time-limit=1", "--on-error=ask", stdin=pipe, within=3,
                             errors=[f"end.c (4) : {TIME_LIMIT}"])
        # A run that ends in time runs as without a limit.
        self.assertEnded(b"void main() { ktGetSession(0); exit(5); }\n", 5, "--time-limit=100")

    def test_signals(self):
        for sig, status in ((signal.SIGINT, 130), (signal.SIGTERM, 143), (signal.SIGHUP, 129)):
            proc = self.start(b"void main() { ktSleep(10, 0); }\n", marker=b"ktSleep(", results=b"ktSleep wait\n")
            proc.send_signal(sig)
            got, out = self.finish(proc)
            self.assertEqual(got, status, out)
            self.assertTrue(out.endswith(b"interrupted\r\n" + f"oxel_host_detach({status})\n".encode()), out)
        # A loop without calls; then started as a background job, with SIGINT and SIGHUP ignored: they stay ignored.
        INT, HUP = signal.SIGINT, signal.SIGHUP
        for ignored, signals, status in (((), [INT], 130), ((INT, HUP), [INT, HUP, signal.SIGTERM], 143)):
            proc = self.start(b"void main() { ktGetSession(0); while (1) ; }\n", ignored=ignored)
            for sig in signals:
                proc.send_signal(sig)
                time.sleep(0.3)
            self.assertEqual(self.finish(proc), (status, b"ktGetSession(0)\r\noxel_host_detach(%d)\n" % status))
        # A host call that does not return: the second interrupt ends the process at once.
        proc = self.start(b"void main() { ktSleep(1, 0); }\n", marker=b"ktSleep(", results=b"ktSleep hang\n")
        proc.send_signal(signal.SIGINT)
        time.sleep(0.3)
        self.assertIsNone(proc.poll())
        proc.send_signal(signal.SIGINT)
        self.assertEqual(self.finish(proc), (130, b"ktSleep(1, 0)\r\n"))

    def test_terminal_modes_are_restored(self):
        self.write("raw.c", b"void main() { ktSleep(1, 0); }\n")
        env = self.env(results=b"ktSleep raw\n")  # one interrupt: a second would end oxel at once
        status, _, restored = cli_test.on_pty([OXEL, "raw.c"], self.dir, env, [(b"ktSleep(1, 0)", signal.SIGINT)])
        self.assertEqual((status, restored), (130, True))

if __name__ == "__main__":
    names = ("--oxel", "--host", "--host-v1")
    OXEL, HOST, HOST_V1 = [os.path.abspath(sys.argv.pop(sys.argv.index(n) + 1)) for n in names]
    sys.argv = [a for a in sys.argv if a not in names]
    cli_test.OXEL = OXEL
    unittest.main()
