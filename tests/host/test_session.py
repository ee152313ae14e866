#!/usr/bin/env python3
"""A logged-on session: capture (a 50 MB flood, the printer, a full disk), the log, typing, every end of the run."""
import os

import login_server
from hostcase import HostCase, main

FLOOD = 50 * 1024 * 1024


class Session(HostCase):
    def test_a_flood_is_captured_whole(self):
        values = self.on_server(f"""ktGetDisplay(h); ktCaptureBegin(h, "flood.bin", 0); type("bytes {FLOOD}")
ktWaitForPrompt(h, 50, "$ ", 30000, 0); ktCaptureControl(h, KT_CAP_STOP); value(KT_RV_DROPPED) > 0
ktGetTextFromScreen(h, KT_CURSOR_ROW, value(KT_RV_CURSOR_COLUMN) - 2, 2, buf); show(buf)\n""")
        self.assertEqual(values, [0, 1, 0, 1, 0, 0, 1, 2, 0])
        self.assertEqual(self.shown(), ["$ "])  # the screen has seen all of it
        pattern = (login_server.PATTERN * (FLOOD // len(login_server.PATTERN) + 1))[:FLOOD]
        self.assertTrue(self.read("flood.bin") == f"bytes {FLOOD}\r\n".encode() + pattern + b"$ ", "not whole")

    def test_the_printer_gets_the_text_at_the_stop_and_a_failing_printer_is_an_error(self):
        self.write("ravelto.ini", "[Printer]\nCommand=sh printer.sh\n",
                   "printer.sh", 'cat >> out.prn; echo "$@" >> out.prn; [ ! -e fail ]\n')
        values = self.on_server("""ktCaptureToPrinterBegin(h, "office", KT_CAP_TEXT); ktCaptureToPrinterBegin(h, 0, 0)
cmd("echo \\033[1mprinted"); ktCaptureToPrinterControl(h, KT_CAP_QUERY); ktCaptureToPrinterControl(h, KT_CAP_STOP)
ktCaptureToPrinterBegin(h, 0, 0); cmd("echo lost"); fclose(fopen("fail", "w"))
ktCaptureToPrinterControl(h, KT_CAP_STOP)\n""")
        self.assertEqual(values, [0, 0, -7, 0, 1, 0, 0, 0, 0, -12])
        self.assertEqual(self.read("out.prn"), b"echo printed\nprinted\n$ -d office\necho lost\r\nlost\r\n$ \n")

    def test_text_append_pause_resume_and_a_full_disk(self):
        values = self.on_server("""ktGetCaptureFileName(h, buf, sizeof(buf)); show(buf)
ktSetCaptureFileName(h, "c.txt"); ktCaptureBegin(h, 0, KT_CAP_TEXT); ktCaptureBegin(h, 0, 0)
ktGetCaptureFileName(h, buf, sizeof(buf)); cmd("echo \\033[1mbold\\033]0;title\\007\\033[0m")
ktCaptureControl(h, KT_CAP_PAUSE); ktCaptureControl(h, KT_CAP_QUERY); cmd("echo hidden")
ktCaptureControl(h, KT_CAP_RESUME); cmd("echo shown"); ktCaptureControl(h, KT_CAP_QUERY)
ktCaptureControl(h, KT_CAP_STOP); ktCaptureControl(h, KT_CAP_QUERY); ktCaptureControl(h, KT_CAP_PAUSE)
ktCaptureBegin(h, "c.txt", KT_CAP_APPEND); cmd("echo more"); ktCaptureControl(h, KT_CAP_STOP)
ktCaptureControl(h, 4); ktSetLogFileName(h, "s.log"); ktCaptureBegin(h, "/dev/full", 0); cmd("echo one")
ktCaptureControl(h, KT_CAP_QUERY); ktCaptureControl(h, KT_CAP_STOP); ktCaptureControl(h, KT_CAP_STOP)
type("echo two"); ktWaitForString(h, "two", 5000, 0)\n""")
        self.assertEqual(values, [0, 23, 0, 0, 0, -7, 5, 0, 0, 2, 0, 0, 0, 1, 0, 0, -7, 0, 0, 0, -4,
                                  0, 0, 0, 0, -12, 0, 1, 0])
        self.assertEqual(self.shown(), [f"{self.name}.cap"])
        self.assertEqual(self.read("c.txt"), b"echo bold\nbold\n$ echo shown\nshown\n$ "
                                             b"echo more\r\nmore\r\n$ ")
        # a full disk stops the capture and loses nothing received
        self.assertIn("TIME [SERVER] capture stopped: No space left on device", self.log())

    def test_log_lines_and_hidden_input(self):
        values = self.values(self.logon_script("""ktWriteLogEntry(0, "x"); logon(); ktWriteLogEntry(h, "no log")
ktGetLogFileName(h, buf, sizeof(buf)); ktSetLogFileName(h, "s.log"); ktGetLogFileName(h, buf, sizeof(buf))
ktWriteLogEntry(h, "a note"); ktHideInput(h, 1); ktTextSend(h, "secret"); ktHideInput(h, 0); ktTextSend(h, "\\r")
ktSetLogFileName(h, 0); ktWriteLogEntry(h, "gone"); ktSetLogFileName(h, "/nonexistent/s.log")\n"""))
        self.assertEqual(values, [-2, 0, -7, 0, 0, 5, 0, 0, 6, 0, 1, 0, -7, -12])
        self.assertEqual(self.log(), ["TIME [SERVER] log start", "TIME [SERVER] a note", 'TIME [SERVER] send "****"',
                                      'TIME [SERVER] send "\\r"', "TIME [SERVER] log end"])

    def test_line_ends_and_delays(self):
        values = self.on_server("""value(KT_RV_BYTES_OUT); ktSetAsciiSettings(h, KT_AS_LINEEND, KT_LE_CR)
ktTypeText(h, "echo a\\r", 0); ktWaitForPrompt(h, 0, "$ ", 5000, 0); value(KT_RV_BYTES_OUT)
ktSetAsciiSettings(h, KT_AS_LINEEND, KT_LE_CRLF); ktTypeText(h, "echo a\\r", 0)
ktWaitForPrompt(h, 0, "$ ", 5000, 0); value(KT_RV_BYTES_OUT); fclose(fopen("a", "w")); ktTypeText(h, "abc", 200)
fclose(fopen("b", "w")); ktSetAsciiSettings(h, KT_AS_CHARDELAY, 150); ktTypeText(h, "xyz", -1)
fclose(fopen("c", "w")); ktTypeText(h, "\\r", 0); ktClearOutputBuffer(h); ktWaitForOutputDone(h, 1000)\n""")
        sent = values[1:10:4]
        self.assertEqual([sent[1] - sent[0], sent[2] - sent[1]], [7, 8])
        stamp = [os.stat(self.path(n)).st_mtime_ns / 1e9 for n in "abc"]
        self.assertTrue(stamp[1] - stamp[0] >= 0.38 and stamp[2] - stamp[1] >= 0.28, stamp)
        self.assertEqual(values[-3:], [1, 0, 0])

    def test_echoes_and_the_7_bit_strip(self):
        values = self.on_server("""ktSetLocalEcho(h, 1); ktTypeLocalText(h, "\\033[2J\\033[H", 0)
ktTypeText(h, "echo ", 0); ktGetTextFromScreen(h, 0, 0, 6, buf); show(buf); ktTypeText(h, "\\351t\\351", 0)
ktHideInput(h, 1); ktTypeText(h, "\\r", 0); ktHideInput(h, 0); ktSetStripTo7Bits(h, 1)
ktWaitForPrompt(h, 0, "$ ", 5000, 0); text(KT_RV_CONSUMED_TEXT); ktSetStripTo7Bits(h, 0)
value(KT_RV_BYTES_OUT); ktSetEcho(h, 1); type("echo back"); ktWaitForString(h, "command not found", 5000, 0)
ktSetEcho(h, 0); value(KT_RV_BYTES_OUT)\n""")
        self.assertEqual(self.shown(), ["echo  ", "echo iti", "iti", "$ "])
        # the echo of "echo back" and its output went back: the server ran them as commands
        self.assertGreater(values[-1] - values[-6], len("echo back\r\n") + 5)

    def ended(self, body, *options):
        """The exit status of a run that logs on, starts a capture, runs 'body' and ends."""
        return self.run_script(self.logon_script('logon()\nktSetLogFileName(h, "s.log")\n'
                                                 'ktCaptureBegin(h, "c.txt", 0)\ncmd("echo last")\n' + body),
                               options=options)[0]

    def test_every_end_hangs_up_and_completes_captures(self):
        for body, options, status, last in (
                ("", (), 0, "0"), ("exit(4);\n", (), 4, "0"),
                ('ktWaitForString(h, "never", KT_FOREVER, 0)\n', ("--time-limit=1",), 124, "0"),
                # a bad mode refused; -1 is 255
                ("ktTerminate(2, 0)\nktTerminate(KT_TERM_ORDERLY, -1)\n", (), 255, "-4")):
            self.assertEqual((self.ended(body, *options), self.trace()[-1], self.read("c.txt")),
                             (status, last, b"echo last\r\nlast\r\n$ "))
            self.assertEqual(self.log()[-4:], ["TIME [SERVER] " + e for e in (
                f"script ended (status {status})", "capture end c.txt", "disconnect (session closed)", "close")])
        # and KT_TERM_NOW, which drops what is still to be sent
        self.assertEqual(self.ended('ktTextSend(h, "echo unsent\\r")\nktTerminate(KT_TERM_NOW, 3)\n'), 3)


if __name__ == "__main__":
    main()
