#!/usr/bin/env python3
"""Transfers with lrzsz and C-Kermit as a pty session's command, and with raw TCP peers; compared byte for byte."""
import os, subprocess, time

import hostcase
from hostcase import SESSION, HostCase
from test_servers import listener

RUN = SESSION + """int begin(protocol) int protocol; {
  ktConnectSession(h, 5000); ktSetLogFileName(h, "s.log"); ktSetXferProtocol(h, KT_XD_BOTH, protocol);
  return 0;
}
"""


class Transfers(HostCase):
    def setUp(self):
        super().setUp()
        self.data = os.urandom(1 << 20)  # whole XMODEM blocks: nothing is padded
        self.write("src/f.bin", self.data)
        for folder in ("dl", "up"):
            os.mkdir(self.path(folder))

    def moved(self, name):
        return os.path.exists(self.path(name)) and self.read(name) == self.data

    def test_each_protocol_receives_from_a_pty_peer_and_zmodem_sends(self):
        # sz ends without waiting for rz's last word, which must not reach what runs after it
        cases = (("ZMODEM", "sz src/f.bin; echo ready; head -n 1 > after.txt; echo written",  # sz flushes as it ends
                  'ktXferReceive(h, "dl", 30000); ktWaitForString(h, "ready", 5000, 0); ktTextSend(h, "end\\r")\n'
                  'ktWaitForString(h, "written", 5000, 0)'),
                 ("YMODEM", "sb src/f.bin", "ktXferReceive(h, 0, 30000)"),
                 ("XMODEM", "sx src/f.bin", 'ktXferReceive(h, "f.bin", 30000)'),
                 ("XMODEM_1K", "sx -k src/f.bin", 'ktXferReceive(h, "f.bin", 30000)'),
                 ("ZMODEM", "cd up && rz", 'ktXferSend(h, "f.bin", 30000)'),
                 ("KERMIT", "kermit -Y -B -i -q -s src/f.bin", "ktXferReceive(h, 0, 30000)"),
                 ("KERMIT", "cd up && kermit -Y -B -i -q -r", 'ktXferSend(h, "f.bin", 30000)'))
        for protocol, remote, call in cases:  # protocol: KT_XP_...
            values = self.values(RUN + f"""ktInitialize(); h = ktOpenSession("pty:{remote}", 0)
ktSetXferDirectory(h, KT_DIR_UPLOAD, "src"); ktSetXferDirectory(h, KT_DIR_DOWNLOAD, "dl")
begin(KT_XP_{protocol}); {call}; ktGetXferFinalStatus(h); value(KT_RV_XFER_FILES); text(KT_RV_XFER_FILE)\n""")
            sent = "up" in remote
            named = {"XMODEM": 8, "XMODEM_1K": 8, "YMODEM": 5, "ZMODEM": 5,
                     "KERMIT": 9 if sent else 0}[protocol]  # Kermit does not say what it receives
            self.assertEqual(values[-4:], [0, 0, int(named > 0), named], remote)
            target = "up/f.bin" if sent else "dl/f.bin"
            self.assertTrue(self.moved(target), remote)
            os.remove(self.path(target))
        self.assertEqual(self.read("after.txt"), b"end\n")

    def test_zmodem_receives_and_each_protocol_sends_over_tcp(self):
        port = listener(self, "sz src/f.bin")
        for status in (0, -13):  # the second time rz skips the file that is there: a failure, the file kept
            values = self.values(RUN + f"""ktInitialize(); h = ktOpenSession("tcp:127.0.0.1:{port}", 0)
ktSetSessionDataString(h, "Telnet", "no"); begin(KT_XP_ZMODEM); ktXferReceive(h, "dl", 30000)\n""")
            self.assertEqual(values[-1], status)
            self.assertTrue(self.moved("dl/f.bin"))
        for protocol, remote in (("ZMODEM", "rz"), ("YMODEM", "rb"), ("XMODEM", "rx f.bin"),
                                 ("XMODEM_1K", "rx f.bin")):  # into the test's folder
            port = listener(self, remote)
            values = self.values(RUN + f"""ktInitialize(); h = ktOpenSession("tcp:127.0.0.1:{port}", 0)
ktSetSessionDataString(h, "Telnet", "no"); begin(KT_XP_{protocol}); ktXferSend(h, "src/f.bin", 30000)\n""")
            self.assertEqual(values[-1], 0, remote)
            self.wait_until(lambda: self.moved("f.bin"), remote)
            os.remove(self.path("f.bin"))

    def test_raw_and_ascii_both_ways_and_the_drop_list_over_tcp(self):
        self.write("src/t.txt", b"a\tbc\r\nd\n", "ravelto.ini", "[Transfer]\nRawQuietMs=300\n")
        ports = [listener(self, c) for c in ("dd of=raw.bin status=none", "dd of=ascii.txt status=none",
                                              "cat src/f.bin", "cat src/t.txt", "rz; rz")]
        values = self.values(RUN + "ktInitialize()\n" + "".join(
            f"""h = ktOpenSession("tcp:127.0.0.1:{port}", 0); ktSetSessionDataString(h, "Telnet", "no")
begin(KT_XP_{p}); ktSetAsciiSettings(h, KT_AS_TABWIDTH, 4); {call}; ktWaitForXfer(h, 30000)
ktDisconnectSession(h)\n"""
            for port, p, call in ((ports[0], "RAW", 'ktXferSend(h, "src/f.bin", 30000)'),
                                  (ports[1], "ASCII", 'ktXferSend(h, "src/t.txt", 30000)'),
                                  (ports[2], "RAW", 'ktXferReceive(h, "no/dl", 0); ktXferReceive(h, "dl/f.bin", 30000)'),
                                  (ports[3], "ASCII", 'ktXferReceive(h, "dl/t.txt", 30000)'),
                                  (ports[4], "ZMODEM",
                                   'ktXferDropSend(h, "src/f.bin"); ktXferDropSend(h, "src/t.txt")'))))
        self.assertEqual(values, [0] + [v for h in range(1, 5) for v in (h, 0, 0, 0, *[-12] * (h == 3), 0, 0, 0)]
                         + [5, 0, 0, 0, 1, 1, 0, 0])
        self.wait_until(lambda: os.path.exists(self.path("ascii.txt")), "the ASCII upload")
        self.assertEqual([self.moved("raw.bin"), self.moved("dl/f.bin"), self.moved("f.bin")], [True] * 3)
        self.assertEqual([self.read(n) for n in ("ascii.txt", "dl/t.txt", "t.txt")],
                         [b"a   bc\r\nd\r\n", b"a\tbc\nd\n", b"a\tbc\r\nd\n"])

    def test_an_abort_ends_at_once_and_leaves_no_program_and_no_partial_file(self):
        self.write("src/big.bin", os.urandom(20 << 20))
        started = time.monotonic()
        values = self.values(RUN + """ktInitialize(); h = ktOpenSession("pty:sz src/big.bin", 0)
begin(KT_XP_ZMODEM); ktXferReceive(h, "dl", 0); ktPause(h, 100); ktXferAbort(h, KT_ABORT_NOW)
ktGetXferFinalStatus(h); ktGetXferStatus(h); ktXferAbort(h, KT_ABORT_NOW); ktWaitForXfer(h, 1000)
h = ktOpenSession("pty:sz src/big.bin", 0); begin(KT_XP_ZMODEM); ktXferReceive(h, "dl", 0); ktCloseSession(h)
h = ktOpenSession("pty:cat > /dev/null", 0); begin(KT_XP_ASCII); ktSetAsciiSettings(h, KT_AS_CHARDELAY, 50)
ktXferSend(h, "src/f.bin", 0); ktPause(h, 200); ktXferAbort(h, KT_ABORT_NOW); ktGetXferFinalStatus(h)\n""")
        self.assertLess(time.monotonic() - started, 5)
        # closing the session aborts too; an ASCII send runs on after its call, until aborted
        self.assertEqual(values[-18:], [1, 0, 0, -14, 0, -7, -14, 2, 0, 1, 0, 2, 0, 0, 1, 0, 0, -14])
        self.assertEqual(os.listdir(self.path("dl")), [])
        self.assertIn("TIME [SERVER] transfer aborted", [l.replace("[pty:sz src/big.bin]", "[SERVER]")
                                                          for l in self.log()])
        self.assertEqual(subprocess.run(["pgrep", "-f", "rz -vv"], capture_output=True).stdout, b"")


if __name__ == "__main__":
    hostcase.main()
