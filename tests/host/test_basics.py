#!/usr/bin/env python3
"""Every function before ktInitialize and with bad addresses, the version, and the installed oxel's layout."""
import os, re, subprocess

import hostcase
from hostcase import HostCase

HEADER = open(hostcase.HERE + "/../../include/oxel_host.h").read()
FUNCTIONS = re.findall(r"X\((kt\w+), (\d)\)", HEADER)


def call(name, words):
    args = ["0"] * int(words)
    if name == "ktXferSendList":
        args[1] = "list"  # the interpreter refuses a list outside script memory
    return f"{name}({', '.join(args)})\n"


class Basics(HostCase):
    def test_every_function_before_initialize_is_notinit(self):
        calls = "".join(call(n, w) for n, w in FUNCTIONS if n != "ktInitialize")
        values = self.values("int list[1];\n" + calls + "KT_E_NOTINIT\n")
        self.assertEqual(values, [-2] * len(FUNCTIONS))

    def test_bad_addresses_are_refused(self):
        # Every word 1: the handle of an open session, and an address outside script memory.
        swept = [(n, w) for n, w in FUNCTIONS
                 if n not in ("ktInitialize", "ktTerminate", "ktXferSendList", "ktCloseSession")]
        calls = "".join(f"{n}({', '.join(['1'] * int(w))})\n" for n, w in swept)
        status, trace, errors = self.run_script('ktInitialize()\nktOpenSession("pty:cat", 0)\n' + calls)
        self.assertEqual((status, len(trace)), (0, len(swept) + 2), errors)
        values = dict(zip((n for n, _ in swept), trace[2:]))
        for name in ("ktCaptureToPrinterBegin", "ktXferSend", "ktXferDropSend", "ktTextSend", "ktWaitForString", "ktCaptureBegin",
                     "ktSetLogFileName", "ktGetInput", "ktMessageBox", "ktGetNameString", "ktGetTextFromScreen", "ktGetPortPrefs",
                     "ktSetSessionDataString", "ktMenuString", "ktReloadPhonebook"):
            self.assertEqual(values[name], "-4", name)

    def test_the_installed_oxel_finds_its_library_and_kt_h(self):
        build = os.path.dirname(hostcase.OXEL)
        prefix = self.path("prefix")
        subprocess.run(["cmake", "--install", build, "--prefix", prefix], check=True,
                       capture_output=True, timeout=50)
        files = sorted(os.path.relpath(os.path.join(d, f), prefix)
                       for d, _, names in os.walk(prefix) for f in names)
        libdir = os.path.dirname(next(f for f in files if f.endswith("/oxel/librv32auto.so")))
        self.assertEqual(files, sorted(["bin/oxel", f"{libdir}/oxel", f"{libdir}/librv32auto.so",
                                        f"{libdir}/kt.h", "include/oxel/kt.h", "include/oxel/oxel_host.h",
                                        "share/man/man1/oxel.1", "share/man/man3/oxel-kt.3",
                                        "share/man/man5/oxel-sessions.5", "share/man/man7/oxel-language.7",
                                        "share/man/man7/oxel-tutorial.7"]))
        self.assertTrue(os.path.islink(os.path.join(prefix, "bin/oxel")))
        # it runs a script with kt.h: the version and the constants
        values = self.values('char b[40];\nktInitialize()\nktGetVersion(KT_VER_HOST, b, sizeof(b))\nshow(b)\n'
                             'ktGetVersion(KT_VER_LEVEL, 0, 0)\nktGetVersion(2, 0, 0)\nktGetVersion(KT_VER_HOST, b, 4)\n'
                             'show(b)\nktGetVersion(KT_VER_HOST, 90000, 4)\nKT_E_FULL\nKT_XF_QUIET\n',
                             program=os.path.join(prefix, "bin/oxel"))
        self.assertEqual((values, self.shown()), ([0, 100, 0, 100, -4, 100, 0, -4, -16, 16], ["librv32auto 1.0", "lib"]))
        page = subprocess.run(["man", "-M", os.path.join(prefix, "share/man"), "-P", "cat", "oxel-kt"],
                              capture_output=True, text=True, timeout=50, env=dict(self.env(), MANWIDTH="80"))
        if page.returncode == 0:
            self.assertIn("ktWaitForString", page.stdout)


if __name__ == "__main__":
    hostcase.main()
