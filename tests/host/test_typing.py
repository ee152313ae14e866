#!/usr/bin/env python3
"""Typing and the ASCII settings: line ends, delays between characters, local and remote echo,
the 7-bit strip and the output queue."""
import os

import hostcase
from hostcase import HostCase, logon_prelude, login_server

SENT = "ktGetRuntimeValue(h, 2, 0, 0, &v)\nv\n"


class Typing(HostCase):
    def setUp(self):
        super().setUp()
        self.port = login_server(self)

    def typed(self, body):
        return self.values(logon_prelude(self.port) + "int v;\nlogon()\n" + body + "void main() {}\n")

    def test_line_ends_and_delays(self):
        values = self.typed(SENT + """ktSetAsciiSettings(h, 1, 0)
ktTypeText(h, "echo a\\r", 0)
ktWaitForPrompt(h, 0, "$ ", 5000, 0)
""" + SENT + """ktSetAsciiSettings(h, 1, 2)
ktTypeText(h, "echo a\\r", 0)
ktWaitForPrompt(h, 0, "$ ", 5000, 0)
""" + SENT + """fclose(fopen("a", "w"))
ktTypeText(h, "abc", 200)
fclose(fopen("b", "w"))
ktSetAsciiSettings(h, 3, 150)
ktTypeText(h, "xyz", -1)
fclose(fopen("c", "w"))
ktTypeText(h, "\\r", 0)
ktClearOutputBuffer(h)
ktWaitForOutputDone(h, 1000)
""")
        sent = [values[i] for i in (2, 7, 12)]
        self.assertEqual([sent[1] - sent[0], sent[2] - sent[1]], [7, 8])
        stamp = [os.stat(self.path(n)).st_mtime_ns / 1e9 for n in "abc"]
        self.assertGreaterEqual(stamp[1] - stamp[0], 0.38)
        self.assertGreaterEqual(stamp[2] - stamp[1], 0.28)
        self.assertEqual(values[-3:], [1, 0, 0])

    def test_echoes_and_the_7_bit_strip(self):
        values = self.typed("""ktSetLocalEcho(h, 1)
ktTypeLocalText(h, "\\033[2J\\033[H", 0)
ktTypeText(h, "echo ", 0)
ktGetTextFromScreen(h, 0, 0, 6, buf)
show(buf)
ktTypeText(h, "\\351t\\351", 0)
ktHideInput(h, 1)
ktTypeText(h, "\\r", 0)
ktHideInput(h, 0)
ktSetStripTo7Bits(h, 1)
ktWaitForPrompt(h, 0, "$ ", 5000, 0)
ktGetRuntimeValue(h, 10, buf, sizeof(buf), 0)
show(buf)
ktSetStripTo7Bits(h, 0)
""" + SENT + """ktSetEcho(h, 1)
type("echo back")
ktWaitForString(h, "command not found", 5000, 0)
ktSetEcho(h, 0)
""" + SENT)
        self.assertEqual(self.shown()[0], "echo  ")
        self.assertEqual(self.shown()[1:3], ["echo iti", "iti"])
        # the echo of "echo back" and its output went back: the server ran them as commands
        self.assertGreater(values[-1] - values[-7], len("echo back\r\n") + 5)


if __name__ == "__main__":
    hostcase.main()
