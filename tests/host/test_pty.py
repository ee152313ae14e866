#!/usr/bin/env python3
"""pty sessions: TERM, the window and the screen, BREAK, the child's exit, hang-ups; no child outlives the run."""
import os
from pathlib import Path

from hostcase import HERE, SESSION, HostCase, gone, main

SHELL = "env PS1='$ ' /bin/sh"


class Pty(HostCase):
    def session(self, body, command=SHELL):
        self.write("phonebook.ini", f"[shell]\nKind=pty\nCommand={command}\nTerminal=vt100\nLog=s.log\n")
        return self.values(SESSION + f"""ktInitialize(); h = ktOpenSession("shell", 0)
ktConnectSession(h, 5000); ktWaitForPrompt(h, 0, "$ ", 5000, 0); {body}""")

    def test_terminal_window_and_screen(self):
        values = self.session("""cmd("echo $TERM $LINES $COLUMNS; stty size"); text(KT_RV_CONSUMED_TEXT)
ktSizeSession(h, (30 << 16) | 100); cmd("stty size"); text(KT_RV_CONSUMED_TEXT)
cmd("printf '\\\\033[2J\\\\033[5;10HHELLO'"); ktGetTextFromScreen(h, 4, 9, 5, buf); show(buf)
value(KT_RV_CURSOR_ROW); value(KT_RV_CURSOR_COLUMN); value(KT_RV_ROWS); value(KT_RV_COLUMNS)
ktGetTextFromScreen(h, KT_CURSOR_ROW, 8, 8, buf); show(buf); ktGetTextFromScreen(h, 30, 0, 5, buf)
ktGetTextFromScreen(h, 29, 99, 3, buf); show(buf); ktTypeLocalText(h, "\\033[1;1HLOCAL", 0)
ktGetTextFromScreen(h, 0, 0, 5, buf); show(buf); value(KT_RV_UNCONSUMED); ktSizeSession(h, 0); value(KT_RV_ROWS)\n""")
        self.assertEqual(values[4:], [0, 61, 0, 0, 21, 0, 5, 0, 4, 16, 30, 100, 8, 0, -4, 1, 0, 11, 5, 0, 0, 0, 24])
        self.assertEqual(self.shown(), ["echo $TERM $LINES $COLUMNS; stty size", "vt100 24 80", "24 80",
                                        "$ ", "stty size", "30 100", "$ ", "HELLO", " HELLO$ ", " ",
                                        "LOCAL"])

    def test_break_exit_status_and_hang_up(self):
        self.write("int.sh", "trap 'echo INTERRUPTED; exit 3' INT; echo ready; while :; do sleep 0.1; done\n")
        values = self.session("""ktTypeText(h, "sh int.sh\\r", 0); ktWaitForString(h, "ready", 5000, 0)
ktComDriverSpecial(h, KT_CD_BREAK); ktWaitForString(h, "INTERRUPTED", 5000, 0); value(KT_RV_CHILD_STATUS)
ktTypeText(h, "exit 7\\r", 0); ktWaitForConnection(h, KT_ST_IDLE, 5000); value(KT_RV_CHILD_STATUS)
value(KT_RV_CHILD_PID); ktTextSend(h, "x"); ktConnectSession(h, 5000); value(KT_RV_CHILD_STATUS)\n""")
        self.assertEqual(values[4:], [10, 0, 0, 0, -1, 7, 0, 7, 0, -6, 0, -1])
        self.assertIn("TIME [shell] disconnect (child exited with status 7)", self.log())

    def test_the_emulator_answers_a_flood_shows_whole_and_no_descriptor_is_inherited(self):
        self.write("ask.sh", "stty raw -echo; printf '\\033[H\\033[2J\\033[6n'; x=$(dd bs=1 count=6 2>/dev/null)\n"
                             'stty sane; echo "$x" | od -An -c\n')
        values = self.session("""cmd("sh ask.sh"); text(KT_RV_CONSUMED_TEXT); cmd("seq 1 200000")
ktGetTextFromScreen(h, 22, 0, 6, buf); show(buf); cmd("ls /proc/self/fd | tr '\\\\n' ' '; echo")
text(KT_RV_CONSUMED_TEXT)\n""")
        self.assertEqual(values[4], 0)
        self.assertIn("033   [   1   ;   1   R", "".join(self.shown()))
        self.assertLessEqual({"200000", "0 1 2 3 "}, set(self.shown()))  # the flood's end; no descriptor but ls's

    def test_menu_commands(self):
        values = self.session("""ktMenuString(h, "Session|CaptureOn"); ktCaptureControl(h, KT_CAP_QUERY)
cmd("echo hi"); ktMenuString(h, "captureoff"); ktMenuString(h, "ClearScreen"); ktGetTextFromScreen(h, 0, 0, 3, buf)
show(buf); ktMenuString(h, "Print"); ktMenuString(h, "Disconnect"); ktGetConnectionStatus(h)
ktMenuString(h, "Connect"); ktWaitForConnection(h, KT_ST_CONNECTED, 5000); ktMenuString(h, "Close")
ktGetConnectionStatus(h); ktGetCaptureFileName(ktOpenSession("pty:/bin/true", 0), buf, sizeof(buf)); show(buf)\n""")
        self.assertEqual(values[4:], [0, 1, 0, 0, 0, 3, 0, -15, 0, 0, 0, 0, 0, -3, 17, 0])
        self.assertEqual(self.shown(), ["   ", "pty:_bin_true.cap"])
        self.assertEqual(self.read("shell.cap"), b"echo hi\r\nhi\r\n$ ")

    def test_disconnect_and_the_end_of_the_run_end_the_child(self):
        # the second child ignores SIGHUP: the end of the run kills it
        proc = self.start_script(SESSION + """ktInitialize(); h = ktOpenSession("pty:sleep 1000", 0)
ktConnectSession(h, 5000); text(KT_RV_CHILD_PID); ktDisconnectSession(h); ktGetConnectionStatus(h)
ktSetPortName(h, "trap '' HUP; sleep 1000"); ktConnectSession(h, 5000); text(KT_RV_CHILD_PID); ktSleep(30000, 0)\n""")
        self.wait_until(lambda: len(self.shown()) == 2, "no second child")
        first, second = (int(p) for p in self.shown())
        cmdline = Path(f"/proc/{second}/cmdline")  # the fork shows oxel's until it execs
        self.wait_until(lambda: b"trap '' HUP" in cmdline.read_bytes(), "the second child's command")
        self.assertEqual((gone(first), gone(second)), (True, False))
        proc.terminate()
        proc.communicate(timeout=30)
        self.assertEqual((proc.returncode, gone(second)), (143, True))

    def test_the_child_is_told_of_the_hang_up_at_the_end(self):
        command = "sh -c \"trap 'echo hup > marker; exit 0' HUP; printf '$ '; while :; do sleep 0.1; done\""
        values = self.session("value(KT_RV_CHILD_PID)\n", command=command)
        # the shell that traps is a child of the session's shell: it may finish after the run
        self.wait_until(lambda: self.lines("marker"), self.log())
        self.assertEqual(self.read("marker"), b"hup\n")
        self.assertTrue(gone(values[-1]))

    def test_the_pty_example_reads_the_screen(self):
        proc = self.oxel(os.path.join(HERE, "..", "..", "examples", "pty", "shell.c"))
        lines = proc.stdout.splitlines()
        self.assertEqual((proc.returncode, proc.stderr, lines[:1], lines[-1:]),
                         (0, "", ["The screen after the command:"], ["$"]))
        self.assertRegex(lines[1], r"^I am \S+ on \S+, my terminal is xterm$")
        self.assertIn("proc", proc.stdout)  # ls / on the screen


if __name__ == "__main__":
    main()
