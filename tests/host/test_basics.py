#!/usr/bin/env python3
"""The reference host library: found next to oxel with no option, kt.h found by a script with no
option, every function before ktInitialize, and the functions this host does not do."""
import re

import hostcase
from hostcase import HostCase

HEADER = open(hostcase.HERE + "/../../include/oxel_host.h").read()
FUNCTIONS = re.findall(r"X\((kt\w+), (\d)\)", HEADER)
NOT_BUILT = {"ktXferSend", "ktCaptureToPrinterBegin"}


def call(name, words):
    args = ["0"] * int(words)
    if name == "ktXferSendList":
        args[1] = "list"  # the interpreter refuses a list outside script memory
    return f"{name}({', '.join(args)})\n"


class Basics(HostCase):
    def test_every_function_before_initialize_is_notinit(self):
        calls = "".join(call(n, w) for n, w in FUNCTIONS if n != "ktInitialize")
        values = self.values("#include <kt.h>\nint list[1];\n" + calls + "KT_E_NOTINIT\nvoid main() {}\n")
        self.assertEqual(values, [-2] * (len(FUNCTIONS) - 1) + [-2])

    def test_functions_not_built_are_unsupported(self):
        calls = "".join(call(n, w) for n, w in FUNCTIONS if n in NOT_BUILT)
        values = self.values("ktInitialize()\n" + calls + "void main() {}\n")
        self.assertEqual(values, [0] + [-15] * len(NOT_BUILT))

    def test_bad_addresses_are_refused_without_a_crash(self):
        # Every word 1: the handle of an open session, and an address outside script memory.
        swept = [(n, w) for n, w in FUNCTIONS
                 if n not in ("ktInitialize", "ktTerminate", "ktXferSendList", "ktCloseSession")]
        calls = "".join(f"{n}({', '.join(['1'] * int(w))})\n" for n, w in swept)
        status, trace, errors = self.run_script('ktInitialize()\nktOpenSession("pty:cat", 0)\n' + calls +
                                                "void main() {}\n")
        self.assertEqual(status, 0, errors)
        self.assertEqual(len(trace), len(swept) + 2)
        values = dict(zip((n for n, _ in swept), trace[2:]))
        for name in ("ktTextSend", "ktWaitForString", "ktCaptureBegin", "ktSetLogFileName", "ktGetInput",
                     "ktMessageBox", "ktGetNameString", "ktGetTextFromScreen", "ktGetPortPrefs",
                     "ktSetSessionDataString", "ktMenuString", "ktReloadPhonebook"):
            self.assertEqual(values[name], "-4", name)

    def test_version_and_constants(self):
        values = self.values('#include <kt.h>\nchar b[40];\nktInitialize()\n'
                             'ktGetVersion(0, b, sizeof(b))\nshow(b)\nktGetVersion(1, 0, 0)\n'
                             'ktGetVersion(2, 0, 0)\nktGetVersion(0, b, 4)\nshow(b)\n'
                             'ktGetVersion(0, 90000, 4)\n'
                             'KT_E_FULL\nKT_XF_QUIET\nvoid main() {}\n')
        self.assertEqual(values, [0, 100, 0, 100, -4, 100, 0, -4, -16, 16])
        self.assertEqual(self.shown(), ["librv32auto 1.0", "lib"])


if __name__ == "__main__":
    hostcase.main()
