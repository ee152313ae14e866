"""Helpers of the tests of librv32auto.so: oxel runs scripts in a temporary directory (RAVELTO_DIR),
with the library next to itself, under a time limit."""
import argparse
import os
import re
import shutil
import socket
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
        """The exit status, the trace's lines (top-level expressions' values) and stderr."""
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

    def on_server(self, body, telnet=False):
        """The values of 'body' run after logon() on a fresh test server (port in self.port)."""
        self.port = login_server(self, telnet=telnet)
        return self.values(logon_prelude(self.port, telnet=telnet) + "logon()\n" + body + "void main() {}\n")


def gone(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return True
    return False


def login_server(case, telnet=False, fail=False):
    import login_server as server_module
    server = server_module.start(telnet=telnet, fail=fail)
    case.addCleanup(server.server_close)
    case.addCleanup(server.shutdown)
    return server.server_address[1]


def stalled_port(case):
    """A listener that never accepts, its queue full: connecting stays pending."""
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(0)
    filler = socket.create_connection(listener.getsockname())
    for s in (listener, filler):
        case.addCleanup(s.close)
    return listener, listener.getsockname()[1]


def refused_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def masked_log(text):
    return [re.sub(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d ", "TIME ", l) for l in text.splitlines()]


def logon_prelude(port, name=None, telnet=False):
    """C: logon() logs session h on; type(c) types a line; cmd(c) also waits for the prompt."""
    return f"""#include <kt.h>
long h; char buf[1024];
int logon() {{
  ktInitialize(); h = ktOpenSession("{name or f'tcp:127.0.0.1:{port}'}", 0);
  ktSetSessionDataString(h, "Telnet", "{'yes' if telnet else 'no'}"); ktConnectSession(h, 5000);
  ktWaitForPrompt(h, 0, "login: ", 5000, 0); ktTypeText(h, "alice\\r", 0);
  ktWaitForPrompt(h, 0, "Password: ", 5000, 0); ktTypeText(h, "secret\\r", 0);
  return ktWaitForPrompt(h, 0, "$ ", 5000, 0);
}}
int type(c) char *c; {{ ktTypeText(h, c, 0); return ktTypeText(h, "\\r", 0); }}
int cmd(c) char *c; {{ type(c); return ktWaitForPrompt(h, 0, "$ ", 5000, 0); }}\n"""
