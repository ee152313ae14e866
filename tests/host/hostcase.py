"""Helpers of the tests of librv32auto.so: oxel runs scripts in a temporary directory (RAVELTO_DIR),
with the library next to itself, under a time limit."""
import os, re, socket, subprocess, sys, threading, time, unittest
from pathlib import Path

import login_server as server_module

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from cli_test import OxelCase, on_pty  # noqa: E402,F401  (the folder and write(); the terminal runner)

OXEL = None
# Every script has kt.h and show(s), which writes a line to out.txt for self.shown(); an empty main ends it.
PRELUDE = """#include <kt.h>
long shown_file;
int show(s) char *s; {
  if (!shown_file) shown_file = fopen("out.txt", "w");
  fputs(s, shown_file); fputs("\\n", shown_file); fflush(shown_file); return 0;
}
"""
# For a session h: type(c) types a line; cmd(c) also waits for the prompt; value(id) gives runtime value
# id, its text left in buf; text(id) also shows that text.
SESSION = """long h; char buf[1024];
int type(c) char *c; { ktTypeText(h, c, 0); return ktTypeText(h, "\\r", 0); }
int cmd(c) char *c; { type(c); return ktWaitForPrompt(h, 0, "$ ", 20000, 0); }  /* a flood takes its time */
int value(id) int id; { int v; ktGetRuntimeValue(h, id, buf, sizeof(buf), &v); return v; }
int text(id) int id; { int n; n = value(id); show(buf); return n; }
"""
HERE = os.path.dirname(os.path.abspath(__file__))


def main():
    global OXEL
    OXEL = os.path.abspath(sys.argv.pop(sys.argv.index("--oxel") + 1))
    sys.argv.remove("--oxel")
    unittest.main()


class HostCase(OxelCase):
    def setUp(self):
        super().setUp()
        self.name = "SERVER"  # the test server's session name once logon_script has started one

    def path(self, name):
        return os.path.join(self.dir, name)

    def read(self, name):
        return Path(self.dir, name).read_bytes()

    def lines(self, name):
        """The lines of a file the run wrote; none if it wrote none."""
        return self.read(name).decode("latin-1").splitlines() if os.path.exists(self.path(name)) else []

    def trace(self):
        return self.lines("trace.out")

    def shown(self):
        return self.lines("out.txt")

    def log(self, file="s.log"):
        """The lines of a session log, their time stamps masked, the test server's name as SERVER."""
        return [re.sub(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d ", "TIME ", l).replace(f"[{self.name}]", "[SERVER]")
                for l in self.lines(file)]

    def env(self, **extra):
        env = {k: v for k, v in os.environ.items() if not k.startswith(("OXEL_", "RAVELTO", "XDG_CONFIG"))}
        return dict(env, RAVELTO_DIR=self.dir, HOME=self.dir, **extra)

    def oxel(self, *args, program=None, **env):
        """The finished run of oxel (or 'program') with 'args' in the test's directory."""
        return subprocess.run([program or OXEL, *args], cwd=self.dir, env=self.env(**env), stdin=subprocess.DEVNULL,
                              capture_output=True, text=True, errors="replace", timeout=50)

    def arguments(self, script, items=None, options=()):
        self.write("run.c", PRELUDE + script + "void main() {}\n")
        target = "run.c" if items is None else f"[{items}] run.c"
        return ["--on-error=continue", "--trace=" + self.path("trace.out"), *options, target]

    def run_script(self, script, items=None, options=(), **env):
        """The exit status, the trace's lines (top-level expressions' values) and stderr."""
        proc = self.oxel(*self.arguments(script, items, options), **env)
        return proc.returncode, self.trace(), proc.stderr

    def start_script(self, script):
        proc = subprocess.Popen([OXEL, *self.arguments(script)], cwd=self.dir, env=self.env(),
                                stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        self.addCleanup(proc.kill)
        return proc

    def values(self, script, items=None, **env):
        """The trace's lines, numbers as ints; stderr is left in self.errors."""
        _, lines, self.errors = self.run_script(script, items, **env)
        self.assertNotIn("C Interpreter Error", self.errors)
        return [int(l) if re.fullmatch(r"-?\d+", l) else l for l in lines]

    def wait_until(self, ready, what, limit=20):
        end = time.monotonic() + limit
        while not ready():
            self.assertLess(time.monotonic(), end, what)
            time.sleep(0.05)

    def on_server(self, body, telnet=False):
        """The values of 'body' run after logon() on a fresh test server."""
        return self.values(self.logon_script("logon()\n" + body, telnet))

    def logon_script(self, body, telnet=False):
        """'body' after SESSION and logon(), which logs h on to a fresh test server (SERVER, also self.name)."""
        self.name = f"tcp:127.0.0.1:{login_server(self, telnet=telnet)}"
        return SESSION + f"""#define SERVER "{self.name}"
int logon() {{
  ktInitialize(); h = ktOpenSession(SERVER, 0);
  ktSetSessionDataString(h, "Telnet", "{'yes' if telnet else 'no'}"); ktConnectSession(h, 5000);
  ktWaitForPrompt(h, 0, "login: ", 5000, 0); ktTypeText(h, "alice\\r", 0);
  ktWaitForPrompt(h, 0, "Password: ", 5000, 0); ktTypeText(h, "secret\\r", 0);
  return ktWaitForPrompt(h, 0, "$ ", 5000, 0);
}}
{body}"""


def gone(pid):
    return not os.path.exists(f"/proc/{pid}")  # neither running nor a zombie


def login_server(case, telnet=False, fail=False):
    """The port of a test server that serves in a thread until the test ends."""
    server = server_module.Server(telnet, fail)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    case.addCleanup(server.server_close)
    case.addCleanup(server.shutdown)
    return server.server_address[1]


def stalled_port(case):
    """A listener that never accepts, its queue full: connecting stays pending."""
    listener = socket.create_server(("127.0.0.1", 0), backlog=0)
    filler = socket.create_connection(listener.getsockname())
    for s in (listener, filler):
        case.addCleanup(s.close)
    return listener, listener.getsockname()[1]


def refused_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]
