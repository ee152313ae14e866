#!/usr/bin/env python3
"""Capture (raw and text, append, pause and resume, a full disk, 50 MB at full speed) and the log."""

import hostcase
import login_server
from hostcase import HostCase, logon_prelude, masked_log

FLOOD = 50 * 1024 * 1024


class Capture(HostCase):
    def setUp(self):
        super().setUp()
        self.port = hostcase.login_server(self)

    def run_capture(self, body):
        return self.values(logon_prelude(self.port) + "logon()\n" + body + "void main() {}\n")

    def test_a_flood_is_captured_whole(self):
        values = self.run_capture(f"""ktGetDisplay(h)
ktCaptureBegin(h, "flood.bin", 0)
type("bytes {FLOOD}")
ktWaitForPrompt(h, 50, "$ ", 30000, 0)
ktCaptureControl(h, 0)
ktGetRuntimeValue(h, 5, 0, 0, buf)
*(int *)buf > 0
ktGetRuntimeValue(h, 7, 0, 0, buf)
ktGetTextFromScreen(h, 65535, *(int *)buf - 2, 2, buf)
show(buf)
""")
        self.assertEqual(values, [0, 1, 0, 1, 0, 0, 8, 1, 2, 2, 0])
        self.assertEqual(self.shown(), ["$ "])  # the screen has seen all of it
        data = self.read("flood.bin")
        prefix = f"bytes {FLOOD}\r\n".encode()
        self.assertEqual(len(data), len(prefix) + FLOOD + 2)
        self.assertTrue(data[len(prefix):-2] == login_server.pattern_bytes(FLOOD))
        self.assertEqual(data[:len(prefix)] + data[-2:], prefix + b"$ ")

    def test_text_append_pause_and_resume(self):
        values = self.run_capture("""ktGetCaptureFileName(h, buf, sizeof(buf))
show(buf)
ktSetCaptureFileName(h, "c.txt")
ktCaptureBegin(h, 0, KT_CAP_TEXT)
ktCaptureBegin(h, 0, 0)
ktGetCaptureFileName(h, buf, sizeof(buf))
cmd("echo \\033[1mbold\\033]0;title\\007\\033[0m")
ktCaptureControl(h, 1)
ktCaptureControl(h, 3)
cmd("echo hidden")
ktCaptureControl(h, 2)
cmd("echo shown")
ktCaptureControl(h, 3)
ktCaptureControl(h, 0)
ktCaptureControl(h, 3)
ktCaptureControl(h, 1)
ktCaptureBegin(h, "c.txt", KT_CAP_APPEND)
cmd("echo more")
ktCaptureControl(h, 0)
ktCaptureControl(h, 4)
""")
        self.assertEqual(values, [0, 23, 0, 0, 0, -7, 5, 0, 0, 2, 0, 0, 0, 1, 0, 0, -7, 0, 0, 0, -4])
        self.assertEqual(self.shown(), [f"tcp:127.0.0.1:{self.port}.cap"])
        self.assertEqual(self.read("c.txt"), b"echo bold\nbold\n$ echo shown\nshown\n$ "
                                             b"echo more\r\nmore\r\n$ ")

    def test_a_full_disk_stops_the_capture_and_loses_nothing_received(self):
        values = self.run_capture("""ktSetLogFileName(h, "s.log")
ktCaptureBegin(h, "/dev/full", 0)
cmd("echo one")
ktCaptureControl(h, 3)
ktCaptureControl(h, 0)
ktCaptureControl(h, 0)
type("echo two")
ktWaitForString(h, "two", 5000, 0)
""")
        self.assertEqual(values, [0, 0, 0, 0, 0, -12, 0, 1, 0])
        log = masked_log(self.read("s.log").decode())
        self.assertIn("TIME [tcp:127.0.0.1:%d] capture stopped: No space left on device" % self.port, log)


class Log(HostCase):
    def test_log_lines_and_hidden_input(self):
        port = hostcase.login_server(self)
        values = self.values(logon_prelude(port) + """ktWriteLogEntry(0, "x")
logon()
ktWriteLogEntry(h, "no log")
ktGetLogFileName(h, buf, sizeof(buf))
ktSetLogFileName(h, "s.log")
ktGetLogFileName(h, buf, sizeof(buf))
ktWriteLogEntry(h, "a note")
ktHideInput(h, 1)
ktTextSend(h, "secret")
ktHideInput(h, 0)
ktTextSend(h, "\\r")
ktSetLogFileName(h, 0)
ktWriteLogEntry(h, "gone")
ktSetLogFileName(h, "/nonexistent/s.log")
void main() {}
""")
        self.assertEqual(values, [-2, 0, -7, 0, 0, 5, 0, 0, 6, 0, 1, 0, -7, -12])
        name = f"tcp:127.0.0.1:{port}"
        self.assertEqual(masked_log(self.read("s.log").decode()), [
            f"TIME [{name}] log start", f"TIME [{name}] a note", f'TIME [{name}] send "****"',
            f'TIME [{name}] send "\\r"', f"TIME [{name}] log end"])


if __name__ == "__main__":
    hostcase.main()
