#!/usr/bin/env python3
"""Tests of what only the Win32 program oxel.exe does, under wine: what the linker made of it,
start-up from the host's command line, the include search, the error dialog's answers, its
"File : " line and the editor hand-off, the host library RV32AUTO.DLL, the run without any
display, and the real dialog under Xvfb (with a screenshot).

Run: win32_test.py --exe build-win32/oxel.exe --harness HARNESS.exe --out DIR [unittest options]
with WINEPREFIX set to a prepared prefix (tests/win32/run.sh does all of it). The harness answers
the dialogs under wine's null graphics driver; the tests without a display and under Xvfb switch
the prefix to the X11 driver.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import unittest

EXE = HARNESS = OUT = None
PREFIX = "C Interpreter Error: "
MAIN = "int main() { return 0; }\r\n"
CONTINUE, CANCEL, EDIT = 1, 2, 105


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def wine_env(display=None):
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("DISPLAY", None)
    return dict(env, DISPLAY=display) if display else env


_graphics = None


def graphics_driver(name, display=None):
    """Makes wine use the graphics driver NAME ("null" or "x11") on DISPLAY from the next process
    on; wine's desktop process keeps the driver it started with, so wine is restarted."""
    global _graphics
    if _graphics != (name, display):
        for cmd in (["wineserver", "-k"], ["wine", "reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics",
                                           "/d", name, "/f"], ["wineserver", "-k"]):
            subprocess.run(cmd, env=wine_env(), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL, timeout=60)
        _graphics = (name, display)


class Result:
    def __init__(self, status, trace, stderr, dialogs):
        self.status, self.trace = status, trace
        lines = stderr.decode("latin-1").splitlines()
        self.errors = [l[len(PREFIX):] for l in lines if l.startswith(PREFIX)]
        self.others = [l for l in lines if not l.startswith(PREFIX)]
        self.file_lines = dialogs.decode("latin-1").splitlines()


class Win32Case(unittest.TestCase):
    driver = "null"

    @classmethod
    def setUpClass(cls):
        graphics_driver(cls.driver)

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="oxel-w32-")
        self.addCleanup(shutil.rmtree, self.dir, True)
        self.notepad_log = os.path.join(self.dir, "notepad.log")

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data.encode("latin-1"))
        return path

    def oxel(self, command_args, answers=CONTINUE, exe=None, display=None, background=False, env=None):
        """Runs oxel.exe with the command line COMMAND_ARGS through the harness, which answers the
        dialogs with ANSWERS (an id, a list of ids, or "none"). ENV changes the environment (a
        value None removes the variable)."""
        answers = ",".join(map(str, answers)) if isinstance(answers, list) else str(answers)
        files = {k: os.path.join(self.dir, k) for k in ("trace", "dialogs", "stderr")}
        for f in files.values():
            if os.path.exists(f):
                os.remove(f)
        full_env = wine_env(display)
        for name, value in dict(env or {}, NOTEPAD_STUB_LOG=windows_path(self.notepad_log)).items():
            full_env.pop(name, None) if value is None else full_env.__setitem__(name, value)
        cmd = ["timeout", "60", "wine", HARNESS, "--trace", windows_path(files["trace"]), "--dialogs",
               windows_path(files["dialogs"]), "--answers", answers, "--timeout", "50",
               f'"{windows_path(exe or EXE)}" {command_args}']
        with open(files["stderr"], "wb") as err:
            proc = subprocess.Popen(cmd, cwd=self.dir, env=full_env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=err)
        return proc if background else self.result(proc)

    def result(self, proc):
        status = proc.wait(timeout=70)
        data = {k: read(os.path.join(self.dir, k)) if os.path.exists(os.path.join(self.dir, k)) else b""
                for k in ("trace", "dialogs", "stderr")}
        return Result(status, data["trace"], data["stderr"], data["dialogs"])

    def notepad_calls(self):
        """The stub notepad's calls ("command line|show command"), once one has come."""
        for _ in range(200):
            if os.path.exists(self.notepad_log) and read(self.notepad_log):
                break
            time.sleep(0.05)
        return read(self.notepad_log).decode("latin-1").splitlines() if os.path.exists(self.notepad_log) else []

    def assertRun(self, r, status, errors, trace):
        self.assertEqual((r.others, r.errors, r.trace, r.status), ([], errors, trace, status))


class Executable(unittest.TestCase):
    def test_gui_program_that_imports_system_dlls_and_exports_the_error_dialog(self):
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", EXE], capture_output=True, text=True,
                              check=True).stdout
        self.assertRegex(dump, r"Magic\s+010b\s+\(PE32\)")
        self.assertRegex(dump, r"Subsystem\s+00000002\s+\(Windows GUI\)")
        self.assertTrue({"KERNEL32.dll", "USER32.dll"} <= set(re.findall(r"DLL Name: (\S+)", dump))
                        <= {"KERNEL32.dll", "USER32.dll", "msvcrt.dll"})
        exports = dump.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
        self.assertEqual(re.findall(r"\]\s+(\S+)", exports), ["ErrorDialog"])


class StartUp(Win32Case):
    """The host's command line "[" text "]" blanks path; the include search."""

    def test_command_lines_that_name_a_script(self):
        self.write("dir/s.c", '#include "h.h"\r\nWHERE\r\n' + MAIN)
        self.write("dir/h.h", "#define WHERE 33\r\n#oops\r\n")
        self.write("b] c.c", "10 + 1\r\n" + MAIN)
        self.write("my script.c", "20 + 2\r\n#bad\r\n" + MAIN)
        full = windows_path(os.path.join(self.dir, "dir", "s.c"))
        # The include next to the script is found through script_dir, joined with a backslash.
        r = self.oxel(f"[x] {full}")
        self.assertRun(r, 0, [f"{full[:-3].lower()}h.h (2) : error 200 : Bad syntax '#oops'"], b"33\r\n")
        self.assertEqual(r.file_lines, ["File : " + full])
        for args, trace in (("[]b] c.c", b"11\r\n"), ("[a] b] c.c", b"11\r\n")):
            self.assertRun(self.oxel(args), 0, [], trace)
        # Windows drops trailing blanks when it opens a file; the name in messages keeps them.
        r = self.oxel("[[x]   my script.c  ")
        self.assertRun(r, 0, ["my script.c   (2) : error 200 : Bad syntax '#bad'"], b"22\r\n")
        self.assertEqual(r.file_lines, ["File : my script.c  "])
        for path in ("\tmy script.c", ""):
            self.assertRun(self.oxel("[x] " + path), 1, [f"{path} (1) : error 902 : Can't open '{path}'"], b"")
        # Without brackets, or with too long a path, nothing is read.
        for args in ("my script.c", "[x my script.c", "my script.c]", "[x] " + "x" * 254 + ".c"):
            r = self.oxel(args)
            self.assertEqual((r.status, r.errors, r.trace, r.file_lines), (1, [], b"", []))

    def test_includes_next_to_the_script_then_current_directory_then_next_to_the_program(self):
        exe = shutil.copy(EXE, os.path.dirname(self.write("bin/only_bin.h", "#define BIN 3\r\n")))
        self.write("lib/s.c", '#include "where.h"\r\n#include <only_bin.h>\r\nWHERE\r\nBIN\r\n' + MAIN)
        places = ["lib/where.h", "where.h", "bin/where.h"]
        for i, place in enumerate(places):
            self.write(place, f"#define WHERE {i}\r\n")
        for i, place in enumerate(places):
            self.assertRun(self.oxel(r"[x] lib\s.c", exe=exe), 0, [], f"{i}\r\n3\r\n".encode())
            os.remove(os.path.join(self.dir, place))
        # The joined path, with a backslash and lowered, names the include file in messages.
        self.write("lib/where.h", "#define WHERE 1\r\n#bad\r\n")
        r = self.oxel(r"[x] Lib\S.c", exe=exe)
        self.assertRun(r, 0, [r"lib\where.h (2) : error 200 : Bad syntax '#bad'"], b"1\r\n3\r\n")


class Dialogs(Win32Case):
    """The error dialog answered by the harness (wine's null driver: real windows, not shown)."""
    SCRIPT = "1\r\n#one\r\n2\r\n#two\r\n3\r\n" + MAIN

    def test_continue_cancel_and_edit(self):
        self.write("s.c", self.SCRIPT)
        one, two = "s.c (2) : error 200 : Bad syntax '#one'", "s.c (4) : error 200 : Bad syntax '#two'"
        self.assertRun(self.oxel("[x] s.c", CONTINUE), 0, [one, two], b"1\r\n2\r\n3\r\n")
        self.assertRun(self.oxel("[x] s.c", [CONTINUE, CANCEL]), 1, [one, two], b"1\r\n2\r\n")
        self.assertFalse(os.path.exists(self.notepad_log))
        self.assertRun(self.oxel("[x] s.c", EDIT), 1, [one], b"1\r\n")
        self.assertEqual(self.notepad_calls(), ["Notepad s.c|5"])

    def test_file_names_are_lowered_in_place(self):
        # The file line keeps the script path as given until an error names the script itself,
        # which lowers the stored path; Edit while the include is read opens the include.
        self.write("Dir/Mixed.C", '#include "Inc.H"\r\n#two\r\n#include "Inc.H"\r\n' + MAIN)
        self.write("Dir/Inc.H", "\r\n#one\r\n")
        r = self.oxel(r"[x] Dir\Mixed.C", [CONTINUE, CONTINUE, EDIT])
        self.assertRun(r, 1, [r"dir\inc.h (2) : error 200 : Bad syntax '#one'",
                              r"dir\mixed.c (2) : error 200 : Bad syntax '#two'",
                              r"dir\inc.h (2) : error 200 : Bad syntax '#one'"], b"")
        self.assertEqual(r.file_lines, [r"File : Dir\Mixed.C", r"File : dir\mixed.c", r"File : dir\mixed.c"])
        self.assertEqual(self.notepad_calls(), [r"Notepad dir\inc.h|5"])

    def test_long_paths_are_cut_in_the_file_line_and_the_editor_command(self):
        folder = "d" * 150
        self.write(f"{folder}/s.c", "#bad\r\n" + MAIN)
        r = self.oxel(rf"[x] {folder}\s.c", EDIT)
        self.assertRun(r, 1, [rf"{folder}\s.c (1) : error 200 : Bad syntax '#bad'"], b"")
        self.assertEqual(r.file_lines, ["File : " + folder[:92]])
        self.assertEqual(self.notepad_calls(), ["Notepad " + folder[:91] + "|5"])


class HostLibrary(Win32Case):
    def test_host_functions_get_real_addresses_and_the_start_up_values(self):
        # RV32AUTO.DLL from the PATH, its functions called by their plain names with the standard
        # calling convention (a wrong one would unbalance the stack at the first call and crash).
        self.write("s.c", 'char *hi = "hi!";\r\nktInitialize(5)\r\nktTypeText(1, hi, 2)\r\n'
                          "ktGetPortPrefs(1, 2, 3, 4, 5, 6, 7)\r\nktSleep(9, 8)\r\n" + MAIN)
        r = self.oxel("[abc]  s.c", env={"WINEPATH": windows_path(os.path.join(os.path.dirname(HARNESS), "probe"))})
        self.assertRun(r, 0, [], b'ktInitialize 0 instance 0 "[abc]  s.c"\r\n11\r\nktTypeText 1 "hi"\r\n22\r\n'
                       b"ktGetPortPrefs 1 2 3 4 5 6 7\r\n33\r\nktSleep 9 8\r\n17\r\n")


class NoDisplay(Win32Case):
    """Wine's X11 driver without a display: no dialog can be created."""
    driver = "x11"

    def test_errors_go_on_as_after_continue(self):
        self.write("s.c", Dialogs.SCRIPT)
        r = self.oxel("[x] s.c", "none")
        self.assertEqual((r.status, r.trace, r.errors, r.file_lines), (0, b"1\r\n2\r\n3\r\n", [], []))
        # Even a fatal error goes on to its exit, with status 1.
        r = self.oxel("[x] missing.c", "none")
        self.assertEqual((r.status, r.trace, r.errors), (1, b"", []))


class XvfbDialog(Win32Case):
    """The real dialog on an X server of its own, answered with keys and clicks as a user would."""
    driver = "x11"

    @classmethod
    def setUpClass(cls):
        read_end, write_end = os.pipe()
        cls.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
                                     "tcp"], pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
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
        """Runs the script, waits for its dialog, answers it HOW and returns the result."""
        proc = self.oxel("[x] S.c", "none", display=self.display, background=True)
        window = self.xdotool("search", "--sync", "--onlyvisible", "--name", "^C Interpreter Error$").split()
        self.assertTrue(window, "no dialog appeared")
        w = window[0]
        time.sleep(1)  # until the texts are painted and the dialog takes input
        if screenshot:
            subprocess.run(["import", "-display", self.display, "-window", w, screenshot], check=True, timeout=30)
        width, height = map(int, re.search(r"Geometry: (\d+)x(\d+)", self.xdotool("getwindowgeometry", w)).groups())
        # The client area is 172x91 dialog units of 1.5 pixels inside wine's own frame.
        border = (width - 258) // 2
        top = height - 137 - border
        if how == "Cancel":  # the button at 65, 71, 41 x 14 units
            self.xdotool("mousemove", "--window", w, str(border + int(1.5 * 85.5)), str(top + int(1.5 * 78)), "click", "1")
        elif how == "close box":
            self.xdotool("mousemove", "--window", w, str(width - border - 10), str(top // 2), "click", "1")
        else:
            self.xdotool("windowfocus", "--sync", w, "key", how)
        return self.result(proc)

    def test_answers_by_keys_and_clicks_and_a_screenshot(self):
        self.write("S.c", "1\r\n#bad\r\n2\r\n" + MAIN)
        error = ["s.c (2) : error 200 : Bad syntax '#bad'"]
        shot = os.path.join(OUT, "error_dialog.png")
        r = self.answer("alt+c", screenshot=shot)
        self.assertEqual((r.status, r.trace, r.errors, r.file_lines), (0, b"1\r\n2\r\n", error, ["File : s.c"]))
        self.assertEqual(struct.unpack(">II", read(shot)[16:24]), (264, 162))
        for how in ("Cancel", "Escape", "close box", "alt+e"):
            with self.subTest(how=how):
                r = self.answer(how)
                self.assertEqual((r.status, r.trace, r.errors), (1, b"1\r\n", error))
        self.assertEqual(self.notepad_calls(), ["Notepad s.c|5"])


def load_tests(loader, tests, pattern):
    """The classes that use the null driver first: each change of driver restarts wine."""
    return unittest.TestSuite(loader.loadTestsFromTestCase(c) for c in
                              (Executable, StartUp, Dialogs, HostLibrary, NoDisplay, XvfbDialog))


if __name__ == "__main__":
    for option in ("--exe", "--harness", "--out"):
        globals()[option[2:].upper()] = os.path.abspath(sys.argv.pop(sys.argv.index(option) + 1))
        sys.argv.remove(option)
    unittest.main(verbosity=2)
