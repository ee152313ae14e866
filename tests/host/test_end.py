#!/usr/bin/env python3
"""The end of the run: ktTerminate's statuses, and what the end of a run does to sessions,
captures and logs however it comes."""
import os
import signal

import hostcase
from hostcase import HostCase, logon_prelude, login_server, masked_log


class End(HostCase):
    def setUp(self):
        super().setUp()
        self.port = login_server(self)

    def ended(self, body, *options):
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
        name = f"tcp:127.0.0.1:{self.port}"
        for body, options, status in (("", (), 0), ("exit(4);\n", (), 4),
                                      ('ktWaitForString(h, "never", -1, 0)\n', ("--time-limit=1",), 124)):
            status_got, log = self.ended(body, *options)
            self.assertEqual(status_got, status)
            self.assertEqual(self.read("c.txt"), b"echo last\r\nlast\r\n$ ")
            self.assertEqual(log[-4:], [f"TIME [{name}] script ended (status {status})",
                                        f"TIME [{name}] capture end c.txt",
                                        f"TIME [{name}] disconnect (session closed)", f"TIME [{name}] close"])

    def test_nothing_is_left_running(self):
        proc = self.start_script("""#include <kt.h>
char buf[20];
long h;
ktInitialize()
h = ktOpenSession("pty:trap '' HUP; sleep 1000", 0)
ktConnectSession(h, 5000)
ktGetRuntimeValue(h, 18, buf, sizeof(buf), 0)
show(buf)
ktSleep(30000, 0)
void main() {}
""")
        self.wait_for_file("out.txt")
        while not self.shown():
            pass
        child = int(self.shown()[0])
        proc.send_signal(signal.SIGTERM)
        proc.communicate(timeout=30)
        self.assertEqual(proc.returncode, 143)
        with self.assertRaises(ProcessLookupError):
            os.kill(child, 0)


if __name__ == "__main__":
    hostcase.main()
