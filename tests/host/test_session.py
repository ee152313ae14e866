#!/usr/bin/env python3
"""A logged-on session: capture (text, append, pause, a full disk, a 50 MB flood), the log, typing
(line ends, delays, echoes, the 7-bit strip) and every end of the run."""
import os
import time

import hostcase
import login_server
from hostcase import HostCase, gone, logon_prelude, masked_log

FLOOD = 50 * 1024 * 1024
SENT = "ktGetRuntimeValue(h, 2, 0, 0, &v)\nv\n"


class Session(HostCase):
    def test_a_flood_is_captured_whole(self):
        values = self.on_server(f"""ktGetDisplay(h); ktCaptureBegin(h, "flood.bin", 0)
type("bytes {FLOOD}")
ktWaitForPrompt(h, 50, "$ ", 30000, 0); ktCaptureControl(h, 0); ktGetRuntimeValue(h, 5, 0, 0, buf)
*(int *)buf > 0; ktGetRuntimeValue(h, 7, 0, 0, buf)
ktGetTextFromScreen(h, 65535, *(int *)buf - 2, 2, buf); show(buf)\n""")
        self.assertEqual(values, [0, 1, 0, 1, 0, 0, 8, 1, 2, 2, 0])
        self.assertEqual(self.shown(), ["$ "])  # the screen has seen all of it
        data = self.read("flood.bin")
        prefix = f"bytes {FLOOD}\r\n".encode()
        self.assertEqual(len(data), len(prefix) + FLOOD + 2)
        self.assertTrue(data[len(prefix):-2] == login_server.pattern_bytes(FLOOD))
        self.assertEqual(data[:len(prefix)] + data[-2:], prefix + b"$ ")

    def test_text_append_pause_and_resume(self):
        values = self.on_server("""ktGetCaptureFileName(h, buf, sizeof(buf)); show(buf)
ktSetCaptureFileName(h, "c.txt"); ktCaptureBegin(h, 0, KT_CAP_TEXT); ktCaptureBegin(h, 0, 0)
ktGetCaptureFileName(h, buf, sizeof(buf)); cmd("echo \\033[1mbold\\033]0;title\\007\\033[0m")
ktCaptureControl(h, 1); ktCaptureControl(h, 3); cmd("echo hidden"); ktCaptureControl(h, 2)
cmd("echo shown"); ktCaptureControl(h, 3); ktCaptureControl(h, 0); ktCaptureControl(h, 3)
ktCaptureControl(h, 1); ktCaptureBegin(h, "c.txt", KT_CAP_APPEND); cmd("echo more")
ktCaptureControl(h, 0); ktCaptureControl(h, 4)\n""")
        self.assertEqual(values, [0, 23, 0, 0, 0, -7, 5, 0, 0, 2, 0, 0, 0, 1, 0, 0, -7, 0, 0, 0, -4])
        self.assertEqual(self.shown(), [f"tcp:127.0.0.1:{self.port}.cap"])
        self.assertEqual(self.read("c.txt"), b"echo bold\nbold\n$ echo shown\nshown\n$ "
                                             b"echo more\r\nmore\r\n$ ")

    def test_a_full_disk_stops_the_capture_and_loses_nothing_received(self):
        values = self.on_server("""ktSetLogFileName(h, "s.log"); ktCaptureBegin(h, "/dev/full", 0)
cmd("echo one"); ktCaptureControl(h, 3); ktCaptureControl(h, 0); ktCaptureControl(h, 0)
type("echo two"); ktWaitForString(h, "two", 5000, 0)\n""")
        self.assertEqual(values, [0, 0, 0, 0, 0, -12, 0, 1, 0])
        log = masked_log(self.read("s.log").decode())
        self.assertIn("TIME [tcp:127.0.0.1:%d] capture stopped: No space left on device" % self.port, log)

    def test_log_lines_and_hidden_input(self):
        port = hostcase.login_server(self)
        values = self.values(logon_prelude(port) + """ktWriteLogEntry(0, "x"); logon()
ktWriteLogEntry(h, "no log"); ktGetLogFileName(h, buf, sizeof(buf)); ktSetLogFileName(h, "s.log")
ktGetLogFileName(h, buf, sizeof(buf)); ktWriteLogEntry(h, "a note"); ktHideInput(h, 1)
ktTextSend(h, "secret"); ktHideInput(h, 0); ktTextSend(h, "\\r"); ktSetLogFileName(h, 0)
ktWriteLogEntry(h, "gone"); ktSetLogFileName(h, "/nonexistent/s.log"); void main() {}\n""")
        self.assertEqual(values, [-2, 0, -7, 0, 0, 5, 0, 0, 6, 0, 1, 0, -7, -12])
        name = f"tcp:127.0.0.1:{port}"
        self.assertEqual(masked_log(self.read("s.log").decode()), [
            f"TIME [{name}] log start", f"TIME [{name}] a note", f'TIME [{name}] send "****"',
            f'TIME [{name}] send "\\r"', f"TIME [{name}] log end"])

    def test_line_ends_and_delays(self):
        values = self.on_server("int v;\n" + SENT + """ktSetAsciiSettings(h, 1, 0)
ktTypeText(h, "echo a\\r", 0); ktWaitForPrompt(h, 0, "$ ", 5000, 0)\n""" + SENT + """ktSetAsciiSettings(h, 1, 2); ktTypeText(h, "echo a\\r", 0)
ktWaitForPrompt(h, 0, "$ ", 5000, 0)\n""" + SENT + """fclose(fopen("a", "w")); ktTypeText(h, "abc", 200); fclose(fopen("b", "w"))
ktSetAsciiSettings(h, 3, 150); ktTypeText(h, "xyz", -1); fclose(fopen("c", "w"))
ktTypeText(h, "\\r", 0); ktClearOutputBuffer(h); ktWaitForOutputDone(h, 1000)\n""")
        sent = [values[i] for i in (2, 7, 12)]
        self.assertEqual([sent[1] - sent[0], sent[2] - sent[1]], [7, 8])
        stamp = [os.stat(self.path(n)).st_mtime_ns / 1e9 for n in "abc"]
        self.assertGreaterEqual(stamp[1] - stamp[0], 0.38)
        self.assertGreaterEqual(stamp[2] - stamp[1], 0.28)
        self.assertEqual(values[-3:], [1, 0, 0])

    def test_echoes_and_the_7_bit_strip(self):
        values = self.on_server("int v;\n" + """ktSetLocalEcho(h, 1)
ktTypeLocalText(h, "\\033[2J\\033[H", 0); ktTypeText(h, "echo ", 0)
ktGetTextFromScreen(h, 0, 0, 6, buf); show(buf); ktTypeText(h, "\\351t\\351", 0); ktHideInput(h, 1)
ktTypeText(h, "\\r", 0); ktHideInput(h, 0); ktSetStripTo7Bits(h, 1)
ktWaitForPrompt(h, 0, "$ ", 5000, 0); ktGetRuntimeValue(h, 10, buf, sizeof(buf), 0); show(buf)
ktSetStripTo7Bits(h, 0)\n""" + SENT + """ktSetEcho(h, 1); type("echo back"); ktWaitForString(h, "command not found", 5000, 0)
ktSetEcho(h, 0)\n""" + SENT)
        self.assertEqual(self.shown()[0], "echo  ")
        self.assertEqual(self.shown()[1:3], ["echo iti", "iti"])
        # the echo of "echo back" and its output went back: the server ran them as commands
        self.assertGreater(values[-1] - values[-7], len("echo back\r\n") + 5)

    def ended(self, body, *options):
        self.port = getattr(self, "port", None) or hostcase.login_server(self)
        status, trace, errors = self.run_script(
            logon_prelude(self.port) + 'logon()\nktSetLogFileName(h, "s.log")\n'
            'ktCaptureBegin(h, "c.txt", 0)\ncmd("echo last")\n'
            + body + "void main() {}\n", options=options)
        return status, masked_log(self.read("s.log").decode())

    def test_terminate(self):
        status, log = self.ended("ktTerminate(2, 0)\nktTerminate(0, -1)\n")
        self.assertEqual((status, self.trace()[-1]), (255, "-4"))
        self.assertIn(f"TIME [tcp:127.0.0.1:{self.port}] script ended (status 255)", log)
        status, _ = self.ended('ktTextSend(h, "echo unsent\\r")\nktTerminate(1, 3)\n')
        self.assertEqual(status, 3)

    def test_every_end_hangs_up_and_completes_captures(self):
        for body, options, status in (("", (), 0), ("exit(4);\n", (), 4),
                                      ('ktWaitForString(h, "never", -1, 0)\n', ("--time-limit=1",), 124)):
            status_got, log = self.ended(body, *options)
            name = f"tcp:127.0.0.1:{self.port}"
            self.assertEqual(status_got, status)
            self.assertEqual(self.read("c.txt"), b"echo last\r\nlast\r\n$ ")
            self.assertEqual(log[-4:], [f"TIME [{name}] script ended (status {status})",
                                        f"TIME [{name}] capture end c.txt",
                                        f"TIME [{name}] disconnect (session closed)", f"TIME [{name}] close"])

    def test_nothing_is_left_running(self):
        proc = self.start_script("""#include <kt.h>
char buf[20]; long h; ktInitialize(); h = ktOpenSession("pty:trap '' HUP; sleep 1000", 0)
ktConnectSession(h, 5000); ktGetRuntimeValue(h, 18, buf, sizeof(buf), 0); show(buf)
ktSleep(30000, 0); void main() {}\n""")
        self.wait_for_file("out.txt")
        while not self.shown():
            time.sleep(0.05)
        child = int(self.shown()[0])
        proc.terminate()
        proc.communicate(timeout=30)
        self.assertEqual(proc.returncode, 143)
        self.assertTrue(gone(child))


if __name__ == "__main__":
    hostcase.main()
