#!/usr/bin/env python3
"""The phonebook, the settings file, port and ASCII settings, and serial lines through a socat pty pair."""
import os, shutil, subprocess, threading, time, unittest

from hostcase import HostCase, main

BOOK = ("; test phonebook\n[First]\nKind=pty\nCommand=cat\nData.Colour=blue\n\n"
        "[Second]\n; kept as it is\nAddress=10.0.0.1\nPort=2323\nBaud=2400\n\n[Third]\nKind=serial\n")


class Phonebook(HostCase):
    def test_entries_with_defaults_and_sessions_that_copy_them(self):
        self.write("phonebook.ini", BOOK)
        values = self.values("""char buf[100]; ktInitialize(); ktGetPhonebookEntry(1, 0, buf, sizeof(buf)); show(buf)
ktGetPhonebookEntry(1, "baud", buf, sizeof(buf)); ktGetPhonebookEntry(1, "Telnet", buf, sizeof(buf))
ktGetPhonebookEntry(1, "Capture", buf, sizeof(buf)); show(buf); ktGetPhonebookEntry(0, "LineEnd", buf, sizeof(buf))
show(buf); ktGetPhonebookEntry(1, "NoSuchKey", buf, sizeof(buf)); ktGetPhonebookEntry(3, 0, buf, sizeof(buf))
ktOpenSession("nowhere", 0); ktOpenSession("first", 0); ktOpenSession("first", KT_OPEN_EXISTING)
ktOpenSession("First", 0); ktGetOpenSession("FIRST", 1); ktGetSessionDataString(1, "Colour", buf, sizeof(buf))
ktSetSessionDataString(1, "Colour", "red"); ktGetSessionDataString(2, "Colour", buf, sizeof(buf)); show(buf)
ktSetSessionDataString(1, "Rows", "1"); ktSetSessionDataString(1, "Colour", 0)
ktGetSessionDataString(1, "Colour", buf, sizeof(buf)); ktSetNameString(1, "Fourth"); ktSavePhonebook(1)
ktSetNameString(2, "Second"); ktSavePhonebook(2); ktReloadPhonebook(0)\n""")
        self.assertEqual(values, [0, 6, 0, 4, 3, 10, 0, 2, 0, -8, -9, -8, 1, 1, 2, 2, 4, 0, 4, 0, -4, 0,
                                  -8, 0, 0, 0, 0, 4])
        self.assertEqual(self.shown(), ["Second", "Second.cap", "cr", "blue"])
        self.assertIn('host: no phonebook entry "nowhere"', self.errors)
        # Second saved over with the first's keys, Fourth added at the end
        self.assertEqual(self.read("phonebook.ini").decode(), BOOK.split("[Second]")[0] + "[Second]\nKind=pty\n"
                         "Command=cat\nData.Colour=blue\n\n[Third]\nKind=serial\n\n[Fourth]\nKind=pty\nCommand=cat\n")
        self.assertEqual([f for f in os.listdir(self.dir) if "tmp" in f], [])

    def test_the_settings_file_names_the_phonebook_and_the_start_up_items_win(self):
        self.write("ravelto.ini", "[Host]\nPhonebook=other.ini\nMode=interactive\n",
                   "other.ini", "[elsewhere]\nKind=pty\n\n[odd]\nParity=evn\n")
        for script, items, want, said in (
                ("char buf[4];\nktInitialize()\nktGetRuntimeValue(0, KT_RV_MODE, 0, 0, buf)\n*(int *)buf\n"
                 "ktGetPhonebookEntry(0, 0, 0, 0)\nktOpenSession(\"odd\", 0)\n", None, [0, 1, 1, 9, -4],
                 'host: phonebook entry "odd": Parity=evn is not a value of Parity'),
                ("ktInitialize()\nktGetSession(KT_SESSION_STARTUP)\n", "elsewhere mode=unattended colour=red", [1, 1],
                 'host: start-up item "colour=red" ignored'),
                ("ktInitialize()\nktInitialize()\n", "entry=missing", [-8, -8], 'host: no phonebook entry "missing"'),
                # connect= in any case; a connected session keeps its kind; flags and rings out of range
                ("ktInitialize()\nktWaitForConnection(0, KT_ST_CONNECTED, 5000)\nktSetSessionDataString(0, \"Kind\", "
                 "\"tcp\")\nktSetSession(0, 2)\nktSetRingsForAnswer(0, 256)\nktSetRingsForAnswer(0, 255)\n",
                 "elsewhere connect=Yes mode=robot", [1, 0, -7, -4, -4, 0],
                 'host: mode "robot" is neither interactive nor unattended: ignored')):
            self.assertEqual(self.values(script, items), want)
            self.assertIn(said, self.errors)
        # Named files that cannot be read say so; a failed reload keeps the phonebook in use.
        values = self.values('ktInitialize()\nktReloadPhonebook("other.ini")\nktReloadPhonebook("gone.ini")\n'
                             'ktGetPhonebookEntry(0, 0, 0, 0)\n', items="phonebook=none.ini answers=. toy")
        self.assertEqual(values, [-8, 2, -12, 9])
        self.assertEqual(self.errors.splitlines(), ["host: cannot read the phonebook none.ini: No such file or directory",
                                                    "host: cannot read the answers file .: Is a directory",
                                                    'host: no phonebook entry "toy"'])

    def test_port_and_ascii_settings(self):
        values = self.values("""char name[20]; char text[20]; int v; ktInitialize()
ktOpenSession("tcp:127.0.0.1:2323", 0); ktGetPortType(0, name, sizeof(name)); ktGetPortName(0, text, sizeof(text))
show(text); ktSetPortName(0, "localhost:99999"); ktSetPortName(0, "localhost:24")
ktGetPortName(0, text, sizeof(text)); show(text); ktGetPortMode(0); ktSetPortMode(0, 721); ktSetPortMode(0, 931)
ktGetPortMode(0); ktGetPortPrefs(0, 2, name, sizeof(name), text, sizeof(text), &v); show(name); v
strcpy(name, "redial"); ktGetPortPrefs(0, KT_PREF_BY_NAME, name, 0, text, sizeof(text), &v)
ktGetPortPrefs(0, 13, name, sizeof(name), text, sizeof(text), &v); ktSetPortPrefs(0, "Flow", 0, 2)
ktGetPortPrefs(0, 4, name, sizeof(name), text, sizeof(text), &v); show(text); ktSetPortPrefs(0, "Telnet", "maybe", 0)
ktSetPortPrefs(0, "Colour", "red", 0); ktGetAsciiSettings(0, KT_AS_LINEEND, &v); v
ktSetAsciiSettings(0, KT_AS_LINEEND, KT_LE_LF); ktGetAsciiSettings(0, KT_AS_LINEEND, &v); v
ktSetAsciiSettings(0, KT_AS_WAITCHAR, 62); ktGetAsciiSettings(0, KT_AS_WAITCHAR, &v); v; ktSetAsciiSettings(0, 7, 0)
ktSetPortType(0, "pty"); ktGetPortType(0, 0, 0); ktSetPortType(0, "modem")\n""")
        del values[16]  # strcpy's result
        self.assertEqual(values, [0, 1, 1, 14, 0, -4, 0, 12, 0, 801, 0, -4, 721, 4, 0, 2, 1, -9, 0, 6, 0,
                                  -4, -8, 0, 2, 0, 0, 1, 0, 0, 62, -4, 0, 2, -4])
        self.assertEqual(self.shown(), ["127.0.0.1:2323", "localhost:24", "Parity", "rtscts"])


def fake_modem(fd):
    """A Hayes modem on the far end of the line: it echoes a command and frames its result in CR LF;
    555 connects ("hello"), other numbers are busy; ATS0=n rings n times and connects ("welcome");
    "+++" takes it back to commands."""
    pending, online = b"", False
    while data := os.read(fd, 100):
        if online:
            online = b"+++" not in data
            os.write(fd, b"" if online else b"\r\nOK\r\n")
            continue
        pending += data
        while b"\r" in pending:
            line, pending = pending.split(b"\r", 1)
            os.write(fd, line + b"\r")
            online = line == b"ATDT555" or line.startswith(b"ATS0=")
            if line.startswith(b"ATD"):
                os.write(fd, b"\r\nCONNECT 9600\r\nhello\r\n" if online else b"\r\nBUSY\r\n")
                continue
            os.write(fd, b"\r\nOK\r\n")
            if online:  # the caller rings a little later
                time.sleep(0.5)
                os.write(fd, b"\r\nRING\r\n" * int(line[5:]) + b"\r\nCONNECT 2400\r\nwelcome\r\n")


@unittest.skipUnless(shutil.which("socat"), "socat is not installed")
class Serial(HostCase):
    def line(self):
        """The far end of a pty pair whose near end is the device A."""
        socat = subprocess.Popen(["socat", "pty,raw,echo=0,link=A", "pty,raw,echo=0,link=B"],
                                 cwd=self.dir, stderr=subprocess.DEVNULL)
        self.addCleanup(socat.wait)
        self.addCleanup(socat.terminate)
        self.wait_until(lambda: os.path.exists(self.path("A")) and os.path.exists(self.path("B")), "no pty pair")
        peer = os.open(self.path("B"), os.O_RDWR | os.O_NOCTTY)
        self.addCleanup(os.close, peer)
        return peer

    def test_a_modem_dials_redials_when_busy_hangs_up_and_answers(self):
        threading.Thread(target=fake_modem, args=(self.line(),), daemon=True).start()
        self.write("phonebook.ini", "[dialed]\nKind=serial\nDevice=A\nNumber=555\nModemInit=ATZ\n[busy]\nKind=serial\n"
                   "Device=A\nNumber=666\nRedial=1\nRedialDelay=100\n[answer]\nKind=serial\nDevice=A\nRings=2\n")
        values = self.values("""long h; ktInitialize(); h = ktOpenSession("dialed", 0); ktSetLogFileName(h, "s.log")
ktConnectSession(h, 5000); ktWaitForString(h, "hello", 5000, 0); ktDisconnectSession(h); ktCloseSession(h)
h = ktOpenSession("busy", 0); ktConnectSession(h, 5000); ktCloseSession(h); h = ktOpenSession("answer", 0)
ktSetLogFileName(h, "a.log"); ktConnectSession(h, 0); ktGetConnectionStatus(h)
ktWaitForConnection(h, KT_ST_CONNECTED, 5000); ktWaitForString(h, "welcome", 5000, 0)\n""")
        self.assertEqual(values, [0, 1, 0, 0, 0, 0, 0, 1, -10, 0, 1, 0, 1, 3, 0, 0])
        self.assertEqual([l.split("] ")[1] for l in self.log()][1:8], [
            "modem ATZ", "modem ATDT555", "modem CONNECT 9600", "connect A", "modem ATH", "disconnect (by the script)",
            "close"])
        self.assertIn("TIME [answer] modem RING 2", self.log("a.log"))

    def test_a_direct_line_in_the_format_of_its_settings(self):
        peer = self.line()
        self.write("phonebook.ini", "[line]\nKind=serial\nDevice=A\nBaud=19200\nDataBits=7\nParity=even\n")
        proc = self.start_script("""ktInitialize(); ktOpenSession("line", 0); ktConnectSession(1, 2000)
ktTextSend(1, "ping"); ktWaitForString(1, "pong", 5000, 0); ktSetBaudRate(1, 38400); ktSetPortMode(1, 812)
show("set"); ktWaitForString(1, "done", 5000, 0); ktGetPortMode(1)\n""")
        got = b""
        while b"ping" not in got:
            got += os.read(peer, 100)
        stty = ["stty", "-F", self.path("A"), "-a"]
        modes = subprocess.run(stty, capture_output=True, text=True).stdout
        os.write(peer, b"pong")
        self.wait_until(self.shown, "the speed was not set")
        time.sleep(0.2)
        changed = subprocess.run(stty, capture_output=True, text=True).stdout
        os.write(peer, b"done")
        proc.communicate(timeout=30)
        self.assertEqual(self.trace(), ["0", "1", "0", "4", "0", "0", "0", "0", "0", "812"])
        self.assertIn("speed 19200 baud", modes)
        # a pty pair keeps the speed; data bits, parity and stop bits it leaves as they were
        self.assertIn("speed 38400 baud", changed)


if __name__ == "__main__":
    main()
