#!/usr/bin/env python3
"""The build on a machine that lacks the optional packages: configured in a scratch folder with
GoogleTest and libvterm hidden from CMake, it says what it leaves out, builds oxel, and runs a
script; a kt call then names what to install. Run: build_test.py [unittest options]."""
import os, shutil, subprocess, tempfile, unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent


class BuildWithout(unittest.TestCase):
    def test_without_googletest_and_libvterm(self):
        build = tempfile.mkdtemp(prefix="oxel-build-")
        self.addCleanup(shutil.rmtree, build, True)
        env = {k: v for k, v in os.environ.items() if not k.startswith(("ASAN", "UBSAN"))}
        run = lambda *cmd, **kw: subprocess.run(cmd, capture_output=True, text=True, env=env, timeout=600, **kw)
        conf = run("cmake", "-S", SOURCE, "-B", build, "-DCMAKE_BUILD_TYPE=Debug",
                   "-DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON", "-DCMAKE_DISABLE_FIND_PACKAGE_Vterm=ON")
        self.assertEqual(conf.returncode, 0, conf.stderr)
        said = [l for l in conf.stderr.splitlines() if l.startswith("oxel: ")]
        self.assertEqual(said, [
            "oxel: libvterm not found (Debian package libvterm-dev): the reference host library "
            "librv32auto.so is left out, and kt calls report error 403",
            "oxel: GoogleTest not found (Debian package libgtest-dev): the unit tests are left out"])
        made = run("cmake", "--build", build, "-j", str(os.cpu_count() or 2))
        self.assertEqual(made.returncode, 0, made.stdout[-3000:])
        oxel = Path(build, "oxel")
        self.assertFalse(Path(build, "librv32auto.so").exists())
        primes = run(oxel, SOURCE / "examples" / "primes.c")
        self.assertEqual((primes.returncode, primes.stderr.split()), (0, ["168", "144", "1000"]))
        Path(build, "k.c").write_text("#include <kt.h>\nint main() { return ktInitialize(); }\n")
        kt = run(oxel, "k.c", cwd=build)
        self.assertEqual((kt.returncode, kt.stderr.splitlines()), (1, [
            f"oxel: host library {build}/librv32auto.so: not built, as libvterm was missing: "
            "install libvterm-dev (Debian) and build oxel again",
            "C Interpreter Error: k.c (2) : error 403 : Unknown function 'ktInitialize'"]))


if __name__ == "__main__":
    unittest.main()
