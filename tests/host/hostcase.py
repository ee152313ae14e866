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
sys.path.insert(0, HERE)


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
            return self.read("out.txt").decode("latin-1").splitlines()
        except FileNotFoundError:
            return []

    def wait_for_file(self, name, limit=20):
        end = time.monotonic() + limit
        while not os.path.exists(self.path(name)):
            self.assertLess(time.monotonic(), end, f"{name} did not appear")
            time.sleep(0.05)


def login_server(case, telnet=False, fail=False):
    """Starts the test server for the run of one test case; returns its port."""
    import login_server as server_module
    server = server_module.start(telnet=telnet, fail=fail)
    case.addCleanup(server.server_close)
    case.addCleanup(server.shutdown)
    return server.server_address[1]


def stalled_port(case):
    """A port whose listener never accepts and whose queue is full: connecting stays pending."""
    import socket
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    filler = socket.create_connection(listener.getsockname())
    case.addCleanup(listener.close)
    case.addCleanup(filler.close)
    return listener, listener.getsockname()[1]


def refused_port():
    """A port where nothing listens."""
    import socket
    s = socket.socket()
    s.bind(("127.0.0.1", 0))
    port = s.getsockname()[1]
    s.close()
    return port


def masked_log(text):
    """A log's lines with their time stamps masked."""
    return [re.sub(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d ", "TIME ", l) for l in text.splitlines()]


def logon_prelude(port, name=None, telnet=False):
    """C text: #include <kt.h>, long h, logon() (opens a session on the server, logs on, gives
    the last prompt wait's result) and cmd(command) (types a command, waits for the prompt)."""
    return f"""#include <kt.h>
long h;
char buf[1024];
int logon() {{
  ktInitialize();
  h = ktOpenSession("{name or f'tcp:127.0.0.1:{port}'}", 0);
  ktSetSessionDataString(h, "Telnet", "{'yes' if telnet else 'no'}");
  ktConnectSession(h, 5000);
  ktWaitForPrompt(h, 0, "login: ", 5000, 0);
  ktTypeText(h, "alice\\r", 0);
  ktWaitForPrompt(h, 0, "Password: ", 5000, 0);
  ktTypeText(h, "secret\\r", 0);
  return ktWaitForPrompt(h, 0, "$ ", 5000, 0);
}}
int type(c) char *c; {{ ktTypeText(h, c, 0); return ktTypeText(h, "\\r", 0); }}
int cmd(c) char *c; {{ type(c); return ktWaitForPrompt(h, 0, "$ ", 5000, 0); }}
"""
