#!/usr/bin/env python3
"""The installed layout: cmake --install puts the program, the host library, kt.h, the headers
and the manual page in place, and the installed oxel finds its library and kt.h by itself."""
import os
import subprocess

import hostcase
from hostcase import HostCase


class Install(HostCase):
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
                                        "share/man/man1/oxel.1"]))
        self.assertTrue(os.path.islink(os.path.join(prefix, "bin/oxel")))
        self.write("v.c", hostcase.PRELUDE + "#include <kt.h>\nchar b[40];\nktInitialize()\n"
                          "ktGetVersion(0, b, sizeof(b))\nKT_E_FULL\nvoid main() { show(b); }\n")
        proc = subprocess.run([os.path.join(prefix, "bin/oxel"), "v.c"], cwd=self.dir, env=self.env(),
                              capture_output=True, text=True, timeout=50, stdin=subprocess.DEVNULL)
        self.assertEqual((proc.returncode, proc.stderr), (0, "0\n100\n-16\n"))
        self.assertEqual(self.shown(), ["librv32auto 1.0"])
        page = subprocess.run(["man", "-l", "-P", "cat", os.path.join(prefix, "share/man/man1/oxel.1")],
                              capture_output=True, text=True, timeout=50, env=dict(self.env(), MANWIDTH="80"))
        if page.returncode == 0:
            self.assertIn("EXIT STATUS", page.stdout)


if __name__ == "__main__":
    hostcase.main()
