#!/usr/bin/env python3
"""What only oxel.exe does, under wine (see differences.txt). Run by tests/win32/run.sh:
win32_test.py --exe EXE --harness HARNESS.exe --out DIR, with WINEPREFIX set."""
import os, re, shutil, struct, subprocess, sys, time, unittest
from pathlib import Path

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from cli_test import OxelCase, Result, wait_for  # noqa: E402  (the temporary folder, write, assertClean)

EXE = HARNESS = OUT = _graphics = None
MAIN = "int main() { return 0; }\r\n"
CONTINUE, EDIT = 1, 105


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read(path):
    return Path(path).read_bytes() if os.path.exists(path) else b""


def wine_env(display=None):
    env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    return dict(env, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=", **({"DISPLAY": display} if display else {}))


def graphics_driver(name, display=None):
    """Switches wine's graphics driver ("null" or "x11"), restarting wine, which keeps its driver."""
    global _graphics
    if _graphics != (name, display):
        for cmd in ("wineserver -k", r"wine reg add HKCU\Software\Wine\Drivers /v Graphics /f /d " + name, "wineserver -k"):
            subprocess.run(cmd.split(), env=wine_env(), stdin=subprocess.DEVNULL, capture_output=True, timeout=60)
        _graphics = (name, display)


def result(status, trace, stderr, dialogs):
    r = Result(status, b"", stderr, trace)
    r.file_lines = dialogs.decode("latin-1").splitlines()
    return r


class Win32Case(OxelCase):
    driver = "null"

    @classmethod
    def setUpClass(cls):
        graphics_driver(cls.driver)

    def setUp(self):
        super().setUp()
        self.notepad_log = os.path.join(self.dir, "notepad.log")

    def oxel(self, command_args, answers=CONTINUE, exe=None, display=None, background=False, env=None):
        """Runs oxel.exe COMMAND_ARGS through the harness, which answers the dialogs with ANSWERS
        (an id, a list of ids, or "none")."""
        answers = ",".join(map(str, answers)) if isinstance(answers, list) else str(answers)
        files = [os.path.join(self.dir, k) for k in ("trace", "stderr", "dialogs")]
        for f in files:
            Path(f).unlink(missing_ok=True)
        env = dict(wine_env(display), **(env or {}), NOTEPAD_STUB_LOG=windows_path(self.notepad_log))
        cmd = ["timeout", "60", "wine", HARNESS, "--trace", windows_path(files[0]), "--dialogs", windows_path(files[2]),
               "--answers", answers, "--timeout", "50", f'"{windows_path(exe or EXE)}" {command_args}']
        with open(files[1], "wb") as err:
            proc = subprocess.Popen(cmd, cwd=self.dir, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                    stderr=err)
        proc.result = lambda: result(proc.wait(timeout=70), *map(read, files))
        return proc if background else proc.result()

    def notepad_calls(self):  # the stub notepad's calls ("command line|show command"), once one has come
        return wait_for(self.notepad_log, 200).splitlines()


class Executable(unittest.TestCase):
    def test_gui_program_that_imports_system_dlls_and_exports_the_error_dialog(self):
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", EXE], capture_output=True, text=True).stdout
        self.assertRegex(dump, r"Magic\s+010b\s+\(PE32\)")
        self.assertRegex(dump, r"Subsystem\s+00000002\s+\(Windows GUI\)")
        self.assertTrue({"KERNEL32.dll", "USER32.dll"} <= set(re.findall(r"DLL Name: (\S+)", dump))
                        <= {"KERNEL32.dll", "USER32.dll", "msvcrt.dll"})
        exports = dump.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
        self.assertEqual(re.findall(r"\]\s+(\S+)", exports), ["ErrorDialog"])


class StartUp(Win32Case):  # and the host library RV32AUTO.DLL
    def test_command_lines_that_name_a_script(self):
        for name, text in (("dir/s.c", '#include "h.h"\r\nWHERE\r\n' + MAIN), ("dir/h.h", "#define WHERE 33\r\n#oops\r\n"),
                           ("b] c.c", "10 + 1\r\n" + MAIN), ("my script.c", "20 + 2\r\n#bad\r\n" + MAIN)):
            self.write(name, text)
        full = windows_path(os.path.join(self.dir, "dir", "s.c"))
        # The include next to the script is found through script_dir, joined with a backslash.
        r = self.oxel(f"[x] {full}")
        self.assertClean(r, 0, [f"{full[:-3].lower()}h.h (2) : error 200 : Bad syntax '#oops'"], b"33\r\n")
        self.assertEqual(r.file_lines, ["File : " + full])
        for args, trace in (("[]b] c.c", b"11\r\n"), ("[a] b] c.c", b"11\r\n")):
            self.assertClean(self.oxel(args), 0, [], trace)
        # Windows drops trailing blanks when it opens a file; the name in messages keeps them.
        r = self.oxel("[[x]   my script.c  ")
        self.assertClean(r, 0, ["my script.c   (2) : error 200 : Bad syntax '#bad'"], b"22\r\n")
        self.assertEqual(r.file_lines, ["File : my script.c  "])
        for path in ("\tmy script.c", ""):
            self.assertClean(self.oxel("[x] " + path), 1, [f"{path} (1) : error 902 : Can't open '{path}'"], b"")
        # Without brackets, or with too long a path, nothing is read.
        for r in map(self.oxel, ("my script.c", "[x my script.c", "my script.c]", "[x] " + "x" * 254 + ".c")):
            self.assertEqual((r.status, r.errors, r.trace, r.file_lines), (1, [], b"", []))

    def test_includes_next_to_the_script_then_current_directory_then_next_to_the_program(self):
        exe = shutil.copy(EXE, os.path.dirname(self.write("bin/only_bin.h", "#define BIN 3\r\n")))
        self.write("lib/s.c", '#include "where.h"\r\n#include <only_bin.h>\r\nWHERE\r\nBIN\r\n' + MAIN)
        places = ["lib/where.h", "where.h", "bin/where.h"]
        for i, place in enumerate(places):
            self.write(place, f"#define WHERE {i}\r\n")
        for i, place in enumerate(places):
            self.assertClean(self.oxel(r"[x] lib\s.c", exe=exe), 0, [], f"{i}\r\n3\r\n".encode())
            os.remove(os.path.join(self.dir, place))

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
        proc = self.oxel("[x] S.c", "none", display=self.display, background=True)
        w = (self.xdotool("search", "--sync", "--onlyvisible", "--name", "^C Interpreter Error$").split() or [None])[0]
        self.assertTrue(w, "no dialog appeared")
        time.sleep(1)  # until the texts are painted and the dialog takes input
        if screenshot:
            subprocess.run(["import", "-display", self.display, "-window", w, screenshot], check=True, timeout=30)
        width, height = map(int, re.search(r"Geometry: (\d+)x(\d+)", self.xdotool("getwindowgeometry", w)).groups())
        # The client area is 172x91 dialog units of 1.5 pixels inside wine's own frame; Cancel is at
        # 65, 71, 41 x 14 units.
        border, top = (width - 258) // 2, height - 137 - (width - 258) // 2
        clicks = {"Cancel": (border + int(1.5 * 85.5), top + int(1.5 * 78)), "close box": (width - border - 10, top // 2)}
        if how in clicks:
            self.xdotool("mousemove", "--window", w, *map(str, clicks[how]), "click", "1")
        else:
            self.xdotool("windowfocus", "--sync", w, "key", how)
        return proc.result()

    def test_answers_by_keys_and_clicks_and_a_screenshot(self):
        self.write("S.c", "1\r\n#bad\r\n2\r\n" + MAIN)
        error = ["s.c (2) : error 200 : Bad syntax '#bad'"]
        shot = os.path.join(OUT, "error_dialog.png")
        r = self.answer("alt+c", shot)
        self.assertEqual((r.status, r.trace, r.errors, r.file_lines), (0, b"1\r\n2\r\n", error, ["File : s.c"]))
        self.assertEqual(struct.unpack(">II", read(shot)[16:24]), (264, 162))
        for how in ("Cancel", "Escape", "close box", "alt+e"):
            with self.subTest(how=how):
                r = self.answer(how)
                self.assertEqual((r.status, r.trace, r.errors), (1, b"1\r\n", error))
        self.assertEqual(self.notepad_calls(), ["Notepad s.c|5"])


def load_tests(loader, tests, pattern):  # null driver first: each change of driver restarts wine
    return unittest.TestSuite(loader.loadTestsFromTestCase(c) for c in
                              (Executable, StartUp, Dialogs, NoDisplay, XvfbDialog))


if __name__ == "__main__":
    for option in ("--exe", "--harness", "--out"):
        globals()[option[2:].upper()] = os.path.abspath(sys.argv.pop(sys.argv.index(option) + 1))
        sys.argv.remove(option)
    unittest.main(verbosity=2)
