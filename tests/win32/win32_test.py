#!/usr/bin/env python3
"""What only oxel.exe does, under wine (see differences.txt). Run by tests/win32/run.sh:
win32_test.py --oxel EXE --harness HARNESS.exe, in its environment (the wine prefix, no DISPLAY)."""
import os, re, shutil, struct, subprocess, sys, time, unittest
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from cli_test import OxelCase, Result, wait_for  # noqa: E402  (the temporary folder, write, assertClean)
from run_script_tests import read, windows_path  # noqa: E402

OXEL = HARNESS = _graphics = None
MAIN = "int main() { return 0; }\r\n"
CONTINUE, EDIT = 1, 105


def graphics_driver(name, display=None):
    """Switches wine's graphics driver ("null" or "x11"), restarting wine, which keeps its driver."""
    global _graphics
    if _graphics != (name, display):
        reg = r"wine reg add HKCU\Software\Wine\Drivers /v Graphics /f /d " + name
        for cmd in ("wineserver -k", reg, "wineserver -k"):
            subprocess.run(cmd.split(), stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        _graphics = (name, display)


def result(status, trace, stderr):  # the harness writes each dialog's "File : " line after its message
    r = Result(status, b"", stderr, trace)
    r.file_lines = [l.decode("latin-1") for l in r.others if l.startswith(b"File : ")]
    r.others = [l for l in r.others if not l.startswith(b"File : ")]
    return r


class Win32Case(OxelCase):
    driver = "null"

    @classmethod
    def setUpClass(cls):
        graphics_driver(cls.driver)

    def oxel(self, command_args, answers=CONTINUE, exe=None, background=False, env=None):
        """oxel.exe COMMAND_ARGS run by the harness, which answers the dialogs with ANSWERS (an id, a list, "none")."""
        answers = ",".join(map(str, answers)) if isinstance(answers, list) else str(answers)
        trace, stderr = os.path.join(self.dir, "trace"), os.path.join(self.dir, "stderr")
        Path(trace).unlink(missing_ok=True)  # the harness may not get to make it
        cmd = ["timeout", "60", "wine", HARNESS, windows_path(trace), answers,
               f'"{windows_path(exe or OXEL)}" {command_args}']
        with open(stderr, "wb") as err:
            proc = subprocess.Popen(cmd, cwd=self.dir, env=dict(os.environ, **(env or {})), stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=err)
        proc.result = lambda: result(proc.wait(timeout=70), read(trace), read(stderr))
        return proc if background else proc.result()

    def notepad_calls(self):  # the stub notepad's calls ("command line|show command"), once one has come
        return wait_for(os.path.join(self.dir, "notepad.log"), 200).splitlines()


class Executable(unittest.TestCase):
    def test_gui_program_that_imports_system_dlls_and_exports_the_error_dialog(self):
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", OXEL], capture_output=True, text=True).stdout
        self.assertRegex(dump, r"Magic\s+010b\s+\(PE32\)")
        self.assertRegex(dump, r"Subsystem\s+00000002\s+\(Windows GUI\)")
        self.assertTrue({"KERNEL32.dll", "USER32.dll"} <= set(re.findall(r"DLL Name: (\S+)", dump))
                        <= {"KERNEL32.dll", "USER32.dll", "msvcrt.dll"})
        exports = dump.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
        self.assertEqual(re.findall(r"\]\s+(\S+)", exports), ["ErrorDialog"])


class StartUp(Win32Case):  # and the host library RV32AUTO.DLL
    def test_command_lines_and_the_include_folders(self):
        # The bracket syntax and the order of the include search are shared: cli_test.py CommandLine.
        exe = shutil.copy(OXEL, os.path.dirname(self.write("bin/bin.h", "#define BIN 3\r\n")))
        self.write("dir/s.c", '#include "h.h"\r\n#include "cwd.h"\r\n#include <bin.h>\r\nWHERE + CWD + BIN\r\n' + MAIN,
                   "dir/h.h", "#define WHERE 30\r\n#oops\r\n", "cwd.h", "#define CWD 100\r\n",
                   "my script.c", "20 + 2\r\n#bad\r\n" + MAIN)
        full = windows_path(os.path.join(self.dir, "dir", "s.c"))
        # Includes next to the script (joined with a backslash), in the current directory and next to the program.
        r = self.oxel(f"[x] {full}", exe=exe)
        self.assertClean(r, 0, [f"{full[:-3].lower()}h.h (2) : error 200 : Bad syntax '#oops'"], b"133\r\n")
        self.assertEqual(r.file_lines, ["File : " + full])
        # Windows drops trailing blanks when it opens a file; the name in messages keeps them.
        r = self.oxel("[[x]   my script.c  ")
        self.assertClean(r, 0, ["my script.c   (2) : error 200 : Bad syntax '#bad'"], b"22\r\n")
        self.assertEqual(r.file_lines, ["File : my script.c  "])
        # A script that cannot be opened ends the run with 1; without brackets nothing is read.
        r = self.oxel("[x] \tmy script.c")
        self.assertClean(r, 1, ["\tmy script.c (1) : error 902 : Can't open '\tmy script.c'"], b"")
        r = self.oxel("my script.c")
        self.assertEqual((r.status, r.errors, r.trace, r.file_lines), (1, [], b"", []))

    def test_host_functions_get_real_addresses_and_the_start_up_values(self):
        # RV32AUTO.DLL from the PATH, its functions called by their plain names with the standard
        # calling convention (a wrong one would unbalance the stack at the first call and crash).
        self.write("s.c", 'char *hi = "hi!";\r\nktInitialize(5)\r\nktTypeText(1, hi, 2)\r\n'
                          "ktGetPortPrefs(1, 2, 3, 4, 5, 6, 7)\r\nktSleep(9, 8)\r\n" + MAIN)
        r = self.oxel("[abc]  s.c", env={"WINEPATH": windows_path(os.path.join(os.path.dirname(HARNESS), "probe"))})
        self.assertClean(r, 0, [], b'ktInitialize 0 instance 0 "[abc]  s.c"\r\n11\r\nktTypeText 1 "hi"\r\n22\r\n'
                       b"ktGetPortPrefs 1 2 3 4 5 6 7\r\n33\r\nktSleep 9 8\r\n17\r\n")


class Dialogs(Win32Case):  # Continue and Cancel: the script tests (run.sh); Edit and keys: XvfbDialog too
    def test_file_names_are_lowered_in_place_and_long_ones_cut(self):
        # The file line keeps the script path as given until an error names the script itself,
        # which lowers the stored path; Edit while the include is read opens the include.
        self.write("Dir/Mixed.C", '#include "Inc.H"\r\n#two\r\n#include "Inc.H"\r\n' + MAIN)
        self.write("Dir/Inc.H", "\r\n#one\r\n")
        r = self.oxel(r"[x] Dir\Mixed.C", [CONTINUE, CONTINUE, EDIT])
        one = r"dir\inc.h (2) : error 200 : Bad syntax '#one'"
        self.assertClean(r, 1, [one, r"dir\mixed.c (2) : error 200 : Bad syntax '#two'", one], b"")
        self.assertEqual(r.file_lines, [r"File : Dir\Mixed.C", r"File : dir\mixed.c", r"File : dir\mixed.c"])
        self.assertEqual(self.notepad_calls(), [r"Notepad dir\inc.h|5"])
        # Long paths are cut in the file line and the editor command.
        folder = "d" * 150
        self.write(f"{folder}/s.c", "#bad\r\n" + MAIN)
        r = self.oxel(rf"[x] {folder}\s.c", EDIT)
        self.assertClean(r, 1, [rf"{folder}\s.c (1) : error 200 : Bad syntax '#bad'"], b"")
        self.assertEqual(r.file_lines, ["File : " + folder[:92]])
        self.assertEqual(self.notepad_calls(), ["Notepad " + folder[:91] + "|5"])


class NoDisplay(Win32Case):  # wine's X11 driver without a display: no dialog can be created
    driver = "x11"

    def test_errors_go_on_as_after_continue(self):
        self.write("s.c", "1\r\n#one\r\n2\r\n#two\r\n3\r\n" + MAIN)
        # Even a fatal error goes on to its exit, with status 1.
        for args, status, trace in (("[x] s.c", 0, b"1\r\n2\r\n3\r\n"), ("[x] missing.c", 1, b"")):
            r = self.oxel(args, "none")
            self.assertEqual((r.status, r.trace, r.errors, r.file_lines), (status, trace, [], []))


class XvfbDialog(Win32Case):  # the real dialog on an X server, answered with keys and clicks
    driver = "x11"

    @classmethod
    def setUpClass(cls):
        read_end, write_end = os.pipe()
        cls.xvfb = subprocess.Popen(f"Xvfb -displayfd {write_end} -screen 0 1024x768x24 -nolisten tcp".split(),
                                    pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            cls.display = ":" + f.readline().strip()
        graphics_driver(cls.driver, cls.display)

    @classmethod
    def tearDownClass(cls):
        graphics_driver("x11")  # wine ends before the X server goes away
        cls.xvfb.terminate()
        cls.xvfb.wait(timeout=10)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display), capture_output=True,
                              text=True, timeout=30).stdout

    def answer(self, how, screenshot=None):
        proc = self.oxel("[x] S.c", "none", background=True, env={"DISPLAY": self.display})
        w = (self.xdotool("search", "--sync", "--onlyvisible", "--name", "^C Interpreter Error$").split() or [None])[0]
        self.assertTrue(w, "no dialog appeared")
        time.sleep(1)  # until the texts are painted and the dialog takes input
        if screenshot:
            subprocess.run(["import", "-display", self.display, "-window", w, screenshot], check=True, timeout=30)
        width, height = map(int, re.search(r"Geometry: (\d+)x(\d+)", self.xdotool("getwindowgeometry", w)).groups())
        # The client area: 172x91 dialog units of 1.5 pixels in wine's own frame; Cancel at 65, 71, 41 x 14 units.
        border, top = (width - 258) // 2, height - 137 - (width - 258) // 2
        clicks = {"Cancel": (border + int(1.5 * 85.5), top + int(1.5 * 78)),
                  "close box": (width - border - 10, top // 2)}
        if how in clicks:
            self.xdotool("mousemove", "--window", w, *map(str, clicks[how]), "click", "1")
        else:
            self.xdotool("windowfocus", "--sync", w, "key", how)
        return proc.result()

    def test_answers_by_keys_and_clicks_and_a_screenshot(self):
        self.write("S.c", "1\r\n#bad\r\n2\r\n" + MAIN)
        error = ["s.c (2) : error 200 : Bad syntax '#bad'"]
        shot = os.path.join(os.path.dirname(OXEL), "error_dialog.png")
        r = self.answer("alt+c", shot)
        self.assertEqual((r.status, r.trace, r.errors, r.file_lines), (0, b"1\r\n2\r\n", error, ["File : s.c"]))
        self.assertEqual(struct.unpack(">II", read(shot)[16:24]), (264, 162))
        for how in ("Cancel", "Escape", "close box", "alt+e"):
            with self.subTest(how=how):
                r = self.answer(how)
                self.assertEqual((r.status, r.trace, r.errors), (1, b"1\r\n", error))
        self.assertEqual(self.notepad_calls(), ["Notepad s.c|5"])


def load_tests(loader, tests, pattern):  # null driver first: each change of driver restarts wine
    return unittest.TestSuite(map(loader.loadTestsFromTestCase, (Executable, StartUp, Dialogs, NoDisplay, XvfbDialog)))


if __name__ == "__main__":
    OXEL, HARNESS = [os.path.abspath(sys.argv.pop(sys.argv.index(o) + 1)) for o in ("--oxel", "--harness")]
    sys.argv = [a for a in sys.argv if a not in ("--oxel", "--harness")]
    unittest.main(verbosity=2)
