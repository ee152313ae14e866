#!/usr/bin/env python3
"""Real servers on loopback, each behind socat: inetutils' telnet daemon, logged on to with no setting
but its address, and OpenSSH's server, reached by the SSH example through ssh on a pty session."""
import os, re, shutil, signal, subprocess
from pathlib import Path

import hostcase
from hostcase import SESSION, HostCase

EXAMPLES = os.path.join(hostcase.HERE, "..", "..", "examples")
LOGIN = os.path.join(hostcase.HERE, "telnet_login.sh")


def listener(case, command):
    """The port of socat on loopback running 'command' in the test's folder for each caller, until the test ends."""
    errors = case.path("socat.err")
    with open(errors, "w") as err:
        proc = subprocess.Popen(["socat", "-d", "-d", "TCP-LISTEN:0,bind=127.0.0.1,reuseaddr,fork",
                                 f"SYSTEM:{command}"], stderr=err, cwd=case.dir, start_new_session=True)
    case.addCleanup(lambda: (os.killpg(proc.pid, signal.SIGTERM), proc.wait()))
    case.wait_until(lambda: re.search(r"listening on .*:(\d+)", Path(errors).read_text()), "socat listens")
    return int(re.search(r"listening on .*:(\d+)", Path(errors).read_text())[1])


LOGON = """ktInitialize(); h = ktOpenSession("daemon", 0); ktConnectSession(h, 5000)
ktWaitForPrompt(h, 0, "login: ", 5000, 0); type("alice"); ktWaitForPrompt(h, 0, "Password: ", 5000, 0)
type("secret"); ktWaitForPrompt(h, 0, "$ ", 5000, 0)\n"""


class TelnetDaemon(HostCase):
    def setUp(self):
        super().setUp()
        port = listener(self, f"/usr/sbin/telnetd -h -E {LOGIN}")
        self.write("pb.ini", f"[daemon]\nAddress=127.0.0.1\nPort={port}\n")

    def random_file(self, size):
        self.write("random.bin", data := os.urandom(size))
        return data

    def test_logon_with_defaults_commands_the_screen_a_random_flood_and_logoff(self):
        flood = self.random_file(10 << 20)
        values = self.values(SESSION + LOGON + """cmd("echo one; echo two"); text(KT_RV_CONSUMED_TEXT)
ktGetTextFromScreen(h, value(KT_RV_CURSOR_ROW) - 1, 0, 3, buf); show(buf); ktSetDisplay(h, 0)
ktCaptureBegin(h, "flood.bin", 0); type("stty raw -echo; cat random.bin; sleep 1; stty sane; echo END-$((6*7))")
ktWaitForString(h, "END-42", 60000, 0); ktCaptureControl(h, KT_CAP_STOP); type("exit")
ktWaitForConnection(h, KT_ST_IDLE, 5000)\n""", "phonebook=pb.ini")
        self.assertEqual(values, [0, 1, 0, 0, 1, 0, 1, 0, 0, 32, 3, 0, 0, 0, 1, 0, 0, 1, 0])
        self.assertEqual(self.shown(), ["echo one; echo two", "one", "two", "$ ", "two"])
        self.assertTrue(flood in self.read("flood.bin"), "the flood came changed")

    def test_an_automatic_zmodem_download(self):
        data = self.random_file(1 << 20)
        os.mkdir(self.path("automatic"))
        values = self.values(SESSION + LOGON + """ktSetXferDirectory(h, KT_DIR_DOWNLOAD, "automatic")
ktSetAdlOverride(h, KT_ADL_ON); type("sz random.bin"); ktWaitForPrompt(h, 0, "$ ", 30000, 0)
ktGetXferFinalStatus(h); value(KT_RV_XFER_FILES)\n""", "phonebook=pb.ini")
        self.assertEqual(values[-6:], [0, 0, 1, 0, 0, 1])
        self.assertTrue(self.read("automatic/random.bin") == data)

    def test_the_download_example_asks_for_a_zmodem_download(self):
        for name in ("download.c", "logon.c", "answers.ini"):
            shutil.copy(os.path.join(EXAMPLES, "logon", name), self.path(name))
        proc = self.oxel("[phonebook=pb.ini entry=daemon mode=unattended answers=answers.ini] download.c")
        self.assertEqual(proc.returncode, 0, proc.stderr)
        self.assertEqual(self.read("downloads/logon.c"), self.read("logon.c"))


class SshServer(HostCase):
    def test_the_ssh_example_logs_on_runs_commands_reads_the_screen_and_logs_off(self):
        for name in ("host", "user"):
            subprocess.run(["ssh-keygen", "-q", "-t", "ed25519", "-N", "", "-f", self.path(name)], check=True)
        shutil.copy(self.path("user.pub"), self.path("authorized_keys"))
        self.write("sshd_config", f"HostKey {self.path('host')}\nAuthorizedKeysFile {self.path('authorized_keys')}\n"
                   "StrictModes no\nUsePAM no\nPasswordAuthentication no\nKbdInteractiveAuthentication no\n"
                   "PermitRootLogin prohibit-password\nPrintMotd no\nPrintLastLog no\n")
        if os.geteuid() == 0:
            os.makedirs("/run/sshd", exist_ok=True)  # sshd's privilege separation
        port = listener(self, f"/usr/sbin/sshd -i -e -f {self.path('sshd_config')}")
        self.write("pb.ini", f"[myhost]\nKind=pty\nCommand=ssh -tt -p {port} -i {self.path('user')} -o BatchMode=yes "
                   "-o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR localhost\n")
        shutil.copy(os.path.join(EXAMPLES, "ssh", "ssh.c"), self.path("ssh.c"))
        proc = self.oxel("[phonebook=pb.ini entry=myhost mode=unattended] ssh.c")
        user = subprocess.run(["id", "-un"], capture_output=True, text=True).stdout.strip()
        uname, echo = " ".join(os.uname()[::2][:2]), '$ echo "logged on as $(id -un), terminal $TERM"'
        done = f"logged on as {user}, terminal xterm"
        self.assertEqual((proc.returncode, proc.stderr), (0, ""))
        self.assertEqual(proc.stdout.splitlines()[-5:], ["$ uname -sr", uname, echo, done, "$"])
        # bash ends bracketed paste mode before a command's output: its CR stays in the text capture
        self.assertEqual(self.read("ssh.txt").decode().replace("\r", ""), f"uname -sr\n{uname}\n{echo}\n{done}\n$ ")

if __name__ == "__main__":
    hostcase.main()
