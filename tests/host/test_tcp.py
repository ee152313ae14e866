#!/usr/bin/env python3
"""TCP sessions: the logon example, telnet, connecting (refused, pending, redial, skip), the logon task, hang-ups."""
import os, shutil, socket, time

import hostcase
from hostcase import SESSION, HostCase, login_server

EXAMPLE = os.path.join(hostcase.HERE, "..", "..", "examples", "logon", "logon.c")
ITEMS = "phonebook=pb.ini entry=testhost mode=unattended answers=answers.ini"
TASK = """import os, sys
seen = b""
for prompt, answer in ((b"login: ", b"alice\\r"), (b"Password: ", b"secret\\r"), (b"$ ", b"")):
    while not seen.endswith(prompt):
        seen += os.read(0, 1) or sys.exit(3)
    os.write(1, answer)
sys.stderr.write("logged on\\n")
"""


class Tcp(HostCase):
    def run_example(self, fail=False):
        port = login_server(self, fail=fail)
        shutil.copy(EXAMPLE, self.path("run.c"))
        self.write("pb.ini", f"[testhost]\nKind=tcp\nAddress=127.0.0.1\nPort={port}\nTerminal=vt100\n"
                   "Data.User=alice\n", "answers.ini", "[Input]\nLogon=secret\n")
        proc = self.oxel(f"[{ITEMS}] run.c")
        return proc.returncode, proc.stderr, self.log("logon.log")

    def test_the_logon_example_and_a_refused_logon(self):
        status, errors, log = self.run_example()
        self.assertEqual((status, errors), (0, 'host: input "Logon": "****" (unattended)\n'))
        self.assertEqual(self.read("listing.txt"), b"ls\r\nalpha.txt  beta.txt  gamma.txt\r\n$ ")
        self.assertEqual(log, ["TIME [testhost] " + e for e in (
            "log start", f"connect 127.0.0.1:{log[1].split(':')[-1]}", 'send "alice"', 'send "\\r"', 'send "****"',
            'send "****"', "capture start listing.txt", 'send "ls\\r"', "capture end listing.txt", 'send "exit\\r"',
            "disconnect (closed by the remote)", "close")])
        os.remove(self.path("listing.txt"))
        status, errors, log = self.run_example(fail=True)
        self.assertEqual((status, os.path.exists(self.path("listing.txt"))), (2, False))
        self.assertIn('host: message box "Logon failed": OK (unattended)\n', errors)
        self.assertIn("TIME [testhost] logon.c: logon refused", log)
        self.assertEqual(log[-3:], ["TIME [testhost] script ended (status 2)",
                                    "TIME [testhost] disconnect (session closed)", "TIME [testhost] close"])

    def test_telnet_options_terminal_window_echo_and_binary_data(self):
        values = self.on_server("""cmd("term"); text(KT_RV_CONSUMED_TEXT); ktSizeSession(h, (40 << 16) | 100)
ktSizeSession(h, (1 << 16) | 100); ktSetEcho(h, 1); ktSetEcho(h, 0); cmd("term"); text(KT_RV_CONSUMED_TEXT)
ktTextSend(h, "echo \\377x\\r"); ktWaitForPrompt(h, 0, "$ ", 5000, 0); text(KT_RV_CONSUMED_TEXT)
ktCaptureBegin(h, "binary.bin", 0); cmd("bytes 1000"); ktCaptureControl(h, KT_CAP_STOP)\n""", telnet=True)
        self.assertEqual(values, [0, 0, 57, 0, -4, 0, 0, 0, 68, 8, 0, 15, 0, 0, 0])
        self.assertEqual(self.shown(), [
            "term", "terminal xterm size 24x80 echo WONT binary WILL", "$ ", "term",
            "terminal xterm size 40x100 echo WONT,WILL,WONT binary WILL", "$ ", "echo \xffx", "\xffx", "$ "])
        # in binary mode CR NUL is data, and a typed CR goes out alone
        self.assertEqual(self.read("binary.bin"), b"bytes 1000\r\n" + hostcase.server_module.PATTERN[:1000] + b"$ ")

    def test_answer_mode_takes_one_caller_and_negotiates_as_a_telnet_server(self):
        port = hostcase.refused_port()  # free
        proc = self.start_script(SESSION + f"""ktInitialize(); h = ktOpenSession("tcp:127.0.0.1:{port}", 0)
ktSetRingsForAnswer(h, 1); ktConnectSession(h, 0); ktGetConnectionStatus(h); show("listening")
ktWaitForConnection(h, KT_ST_CONNECTED, 20000); ktTextSend(h, "hello\\r\\n"); ktWaitForString(h, "bye", 20000, 0)\n""")
        self.wait_until(lambda: self.shown() == ["listening"], "listening")
        with socket.create_connection(("127.0.0.1", port)) as caller:
            got = b""
            while not got.endswith(b"hello\r\n"):
                got += caller.recv(100)
            with self.assertRaises(ConnectionRefusedError):  # one caller only
                socket.create_connection(("127.0.0.1", port)).close()
            caller.sendall(b"bye")
            self.assertEqual(got, b"\xff\xfb\x03\xff\xfb\x00\xff\xfd\x00hello\r\n")  # WILL SGA, WILL and DO BINARY
            self.assertEqual(proc.wait(timeout=20), 0)
        self.assertEqual(self.trace(), ["0", "1", "0", "1", "3", "0", "0", "7", "0"])

    def test_a_refused_connection_fails_and_is_logged(self):
        port = hostcase.refused_port()
        values = self.values(f"""char buf[100]; long h; ktInitialize(); h = ktOpenSession("tcp:127.0.0.1:{port}", 0)
ktSetLogFileName(h, "s.log"); ktConnectSession(h, 5000); ktGetConnectionStatus(h)
ktWaitForConnection(h, KT_ST_CONNECTED, 1000); ktSetRingsForAnswer(h, 1); ktConnectSession(h, 1000)
ktSetRingsForAnswer(h, 0); ktTextSend(h, "x"); ktWaitForString(h, "x", 1000, 0)
ktGetRuntimeValue(0, KT_RV_ERRNO, buf, sizeof(buf), 0); show(buf)\n""")
        self.assertEqual(values, [0, 1, 0, -10, 0, -10, 0, 1, 0, -6, -5, 22, 0])  # answer mode: listening
        self.assertEqual(self.shown(), ["111 Connection refused"])
        self.assertIn(f"TIME [tcp:127.0.0.1:{port}] connect failed (Connection refused)", self.log())

    def test_pending_connect_then_wait(self):
        listener, port = hostcase.stalled_port(self)
        proc = self.start_script(f"""long h; ktInitialize(); h = ktOpenSession("tcp:127.0.0.1:{port}", 0)
ktConnectSession(h, 200); ktGetConnectionStatus(h); ktConnectSession(h, 0); show("pending")
ktWaitForConnection(h, KT_ST_CONNECTED, 20000); ktGetConnectionStatus(h); ktConnectSession(h, 0)\n""")
        self.wait_until(self.shown, "no connect pending")
        listener.accept()[0].close()  # the queue has room again: the attempt goes through
        session, _ = listener.accept()
        proc.communicate(timeout=30)
        session.close()
        self.assertEqual(self.trace(), ["0", "1", "1", "1", "1", "0", "0", "2", "-7"])

    def test_redial_and_skip(self):
        _, port = hostcase.stalled_port(self)
        self.write("phonebook.ini", f"[slow]\nAddress=127.0.0.1\nPort={port}\nConnectTimeout=300\n"
                                    "Redial=2\nRedialDelay=100\nLog=s.log\n")
        started = time.monotonic()
        values = self.values("""ktInitialize(); ktOpenSession("slow", 0); ktConnectSession(0, 10000)
ktWaitForConnection(0, KT_ST_CONNECTED, 0); ktSkipConnection(0); ktSetSessionDataString(0, "Redial", "1")
ktConnectSession(0, 0); ktSkipConnection(0); ktGetConnectionStatus(0); ktSkipConnection(0); ktGetConnectionStatus(0)
ktSkipConnection(0); ktSetSessionDataString(0, "RedialDelay", "60000"); ktConnectSession(0, 0)
ktWaitForConnection(0, KT_ST_CONNECTED, 600); ktSkipConnection(0); ktGetConnectionStatus(0)\n""")
        # a skip while a redial waits starts it at once
        self.assertEqual(values, [0, 1, -10, -10, -7, 0, 1, 0, 1, 0, 0, -7, 0, 1, -5, 0, 1])
        self.assertLess(time.monotonic() - started, 5)
        log = self.log()
        self.assertEqual(log.count("TIME [slow] connect failed (Connection timed out), redialing"), 3)
        self.assertIn("TIME [slow] attempt skipped", log)
        self.assertEqual(log[-2:], ["TIME [slow] script ended (status 0)", "TIME [slow] close"])

    def test_the_task_logs_on_before_the_script_sees_data(self):
        self.write("task.py", TASK)
        values = self.values(self.logon_script("""ktInitialize(); h = ktOpenSession(SERVER, 0)
ktSetSessionDataString(h, "Telnet", "no"); ktSetLogFileName(h, "s.log")
ktSetLogonTask(h, "python3 task.py"); ktConnectSession(h, 10000); ktTypeText(h, "echo hi\\r", 0)
ktWaitForPrompt(h, 0, "$ ", 5000, 0); text(KT_RV_CONSUMED_TEXT); ktDisconnectSession(h)
ktSetLogonTask(h, "exit 4"); ktConnectSession(h, 5000); ktSetLogonTask(h, 0); ktConnectSession(h, 5000)\n"""))
        self.assertEqual(values, [0, 1, 0, 0, 0, 0, 8, 0, 15, 0, 0, -10, 0, 0])
        self.assertEqual(self.shown(), ["echo hi", "hi", "$ "])
        log = self.log()
        self.assertEqual(log[2:5], ["TIME [SERVER] logon task python3 task.py", "TIME [SERVER] logon task: logged on",
                                    "TIME [SERVER] logon task succeeded"])
        self.assertIn("TIME [SERVER] connect failed (logon task failed with status 4)", log)

    def test_buffered_data_still_matches_after_the_remote_hangs_up(self):
        values = self.on_server("""type("echo bye"); type("hangup"); ktPause(h, 5000)
ktGetConnectionStatus(h); ktWaitForString(h, "bye", 1000, 0); ktWaitForString(h, "more", 1000, 0)
ktWaitForString(h, "hangup", 1000, KT_WAIT_KEEP); ktWaitForPrompt(h, 0, "$ ", 1000, 0)
ktTextSend(h, "x"); ktConnectSession(h, 5000)\n""")
        self.assertEqual(values, [0, 1, 1, -6, 0, 0, -6, 0, -6, -6, 0])


if __name__ == "__main__":
    hostcase.main()
