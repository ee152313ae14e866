#!/usr/bin/env python3
"""Tests of the Win32 program oxel.exe under wine: the executable's imports, export and
resources, start-up from the host's command line, the include search, the error dialog's
answers, file names and "File : " line, the editor hand-off, the run without any display, and
the real dialog under Xvfb (with a screenshot).

Run: win32_test.py --exe build-win32/oxel.exe --harness HARNESS.exe --out DIR [unittest options]
with WINEPREFIX set to a prepared prefix (tests/win32/run.sh does all of it). The dialogs are
answered by the harness with wine's null graphics driver; the tests without a display and under
Xvfb switch the prefix to the X11 driver.
"""
import argparse
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
HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
PREFIX = "C Interpreter Error: "
MAIN = "int main() { return 0; }\r\n"
CONTINUE, CANCEL, EDIT = 1, 2, 105


def windows_path(path):
    """The path of a file under wine, on its drive Z: (the root of the file system)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def read(path):
    with open(path, "rb") as f:
        return f.read()


def wine_env(display=None):
    env = dict(os.environ, WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    env.pop("DISPLAY", None)
    if display:
        env["DISPLAY"] = display
    return env


def wine_tool(*args, env=None):
    subprocess.run(list(args), env=env or wine_env(), stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)


_graphics = None


def graphics_driver(name, display=None):
    """Makes wine use the graphics driver 'name' ("null" or "x11") on DISPLAY from the next
    process on. Wine's desktop process keeps the driver and display it started with, so wine is
    restarted."""
    global _graphics
    if _graphics == (name, display):
        return
    wine_tool("wineserver", "-k")
    wine_tool("wine", "reg", "add", r"HKCU\Software\Wine\Drivers", "/v", "Graphics", "/d", name, "/f")
    wine_tool("wineserver", "-k")
    _graphics = (name, display)


class Result:
    def __init__(self, status, trace, stderr, dialogs, stdout):
        self.status, self.trace, self.stdout = status, trace, stdout
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
            f.write(data.encode("latin-1") if isinstance(data, str) else data)
        return path

    def oxel(self, command_args, answers=CONTINUE, exe=None, display=None, background=False,
             env=None):
        """Runs oxel.exe with the command line COMMAND_ARGS through the harness, which answers the
        dialogs with ANSWERS (an id, a list of ids, or "none"). ENV changes the environment (a
        value None removes the variable)."""
        if isinstance(answers, (list, tuple)):
            answers = ",".join(map(str, answers))
        files = {k: os.path.join(self.dir, k) for k in ("trace", "dialogs", "stdout", "stderr")}
        for f in files.values():
            if os.path.exists(f):
                os.remove(f)
        changes = dict(env or {}, NOTEPAD_STUB_LOG=windows_path(self.notepad_log))
        env = wine_env(display)
        for name, value in changes.items():
            if value is None:
                env.pop(name, None)
            else:
                env[name] = value
        cmd = ["timeout", "60", "wine", HARNESS, "--trace", windows_path(files["trace"]),
               "--dialogs", windows_path(files["dialogs"]), "--answers", str(answers),
               "--timeout", "50", f'"{windows_path(exe or EXE)}" {command_args}']
        out, err = open(files["stdout"], "wb"), open(files["stderr"], "wb")
        proc = subprocess.Popen(cmd, cwd=self.dir, env=env, stdin=subprocess.DEVNULL, stdout=out,
                                stderr=err)
        out.close()
        err.close()
        if background:
            return proc
        return self.result(proc)

    def result(self, proc):
        status = proc.wait(timeout=70)
        data = {}
        for k in ("trace", "dialogs", "stdout", "stderr"):
            path = os.path.join(self.dir, k)
            data[k] = read(path) if os.path.exists(path) else b""
        return Result(status, data["trace"], data["stderr"], data["dialogs"], data["stdout"])

    def notepad_calls(self, count):
        """The stub notepad's calls ("command line|show command"), once COUNT have come."""
        deadline = time.time() + 10
        while time.time() < deadline:
            if os.path.exists(self.notepad_log):
                calls = read(self.notepad_log).decode("latin-1").splitlines()
                if len(calls) >= count:
                    return calls
            time.sleep(0.05)
        return read(self.notepad_log).decode("latin-1").splitlines() if os.path.exists(self.notepad_log) else []

    def assertRun(self, r, status, errors, trace):
        self.assertEqual(r.others, [])
        self.assertEqual(r.errors, errors)
        self.assertEqual(r.trace, trace)
        self.assertEqual(r.status, status)


class Executable(unittest.TestCase):
    """What the linker and the resource compiler made: checked without running anything."""

    def test_gui_program_that_imports_system_dlls_and_exports_error_dialog(self):
        dump = subprocess.run(["i686-w64-mingw32-objdump", "-p", EXE], capture_output=True,
                              text=True, check=True).stdout
        self.assertRegex(dump, r"Magic\s+010b\s+\(PE32\)")
        self.assertRegex(dump, r"Subsystem\s+00000002\s+\(Windows GUI\)")
        dlls = set(re.findall(r"DLL Name: (\S+)", dump))
        self.assertTrue(dlls <= {"KERNEL32.dll", "USER32.dll", "msvcrt.dll"}, dlls)
        self.assertTrue({"KERNEL32.dll", "USER32.dll"} <= dlls, dlls)
        exports = dump.split("[Ordinal/Name Pointer] Table", 1)[1].split("\n\n", 1)[0]
        self.assertEqual(re.findall(r"\]\s+(\S+)", exports), ["ErrorDialog"])

    def test_the_core_has_no_windows_conditionals(self):
        # Everything Windows-specific lives in platform/win32.
        for folder in ("shell", "source", "decl", "eval", "stmt", "builtins"):
            for name in os.listdir(os.path.join(ROOT, folder)):
                with open(os.path.join(ROOT, folder, name), encoding="latin-1") as f:
                    self.assertNotRegex(f.read(), r"\b_?WIN32\b|windows\.h", f"{folder}/{name}")

    def test_resources_hold_the_message_table_and_the_dialog_template(self):
        rc = subprocess.run(["i686-w64-mingw32-windres", "-i", EXE, "-O", "rc"],
                            capture_output=True, text=True, check=True).stdout
        self.assertEqual(set(re.findall(r"^LANGUAGE (.*)$", rc, re.M)), {"9, 1"})
        self.assertLess(rc.index("LANGUAGE 9, 1"), rc.index('"ERRORDIALOG" DIALOG'))
        dialog = rc[rc.index('"ERRORDIALOG" DIALOG'):].split("END", 1)[0].strip().splitlines()
        self.assertEqual([l.strip() for l in dialog], [
            '"ERRORDIALOG" DIALOG 54, 42, 172, 91',
            "STYLE 0x90c800c0",
            'CAPTION "C Interpreter Error"',
            'FONT 8, "Helv"',
            "BEGIN",
            'LTEXT "File : ", 101, 6, 55, 159, 8, 0x50020000',
            'GROUPBOX "Error Message", 102, 6, 7, 159, 40, 0x50000007',
            'PUSHBUTTON "&Continue", 1, 12, 71, 41, 14, 0x50010000',
            'DEFPUSHBUTTON "Cancel", 2, 65, 71, 41, 14, 0x50010001',
            'PUSHBUTTON "&Edit", 105, 118, 71, 41, 14, 0x50010000',
            'LTEXT "", 106, 11, 18, 151, 24, 0x50020000'])
        self.assertNotIn("DIALOGEX", rc)

        def unescape(s):
            return s.encode("latin-1").decode("unicode_escape")
        table = {int(i): unescape(t) for i, t in re.findall(r'^\s+(\d+), "((?:[^"\\]|\\.)*)"$', rc, re.M)}
        with open(os.path.join(ROOT, "resources", "messages.def")) as f:
            source = {int(i): unescape(t) for i, t in re.findall(r'^MSG\((\d+), "((?:[^"\\]|\\.)*)"\)$',
                                                                f.read(), re.M)}
        self.assertEqual(len(source), 44)
        self.assertEqual(table, source)


class StartUp(Win32Case):
    """The host's command line "[" text "]" blanks path."""

    def test_command_lines_that_name_a_script(self):
        self.write("dir/s.c", '#include "h.h"\r\nWHERE\r\n' + MAIN)
        self.write("dir/h.h", "#define WHERE 33\r\n#oops\r\n")
        self.write("b] c.c", "10 + 1\r\n" + MAIN)
        self.write("my script.c", "20 + 2\r\n" + MAIN)
        self.write("-x.c", "40 + 2\r\n" + MAIN)
        full = windows_path(os.path.join(self.dir, "dir", "s.c"))
        # The include next to the script is found through script_dir, joined with a backslash;
        # its name in the message is lowered.
        r = self.oxel(f"[x] {full}")
        self.assertRun(r, 0, [f"{full[:-3].lower()}h.h (2) : error 200 : Bad syntax '#oops'"],
                       b"33\r\n")
        self.assertEqual(r.file_lines, ["File : " + full])
        for args, trace in (("[]b] c.c", b"11\r\n"), ("[a] b] c.c", b"11\r\n"),
                            ("[[x]   my script.c", b"22\r\n"), ("[x] -x.c", b"42\r\n")):
            with self.subTest(args=args):
                self.assertRun(self.oxel(args), 0, [], trace)

    def test_blanks_and_tabs_stay_in_the_path(self):
        # Windows drops trailing blanks when it opens a file; the name in messages keeps them.
        self.write("my script.c", "20 + 2\r\n#bad\r\n" + MAIN)
        r = self.oxel("[x] my script.c  ")
        self.assertRun(r, 0, ["my script.c   (2) : error 200 : Bad syntax '#bad'"], b"22\r\n")
        self.assertEqual(r.file_lines, ["File : my script.c  "])
        for path in ("\tmy script.c", ""):
            with self.subTest(path=path):
                r = self.oxel("[x] " + path)
                self.assertRun(r, 1, [f"{path} (1) : error 902 : Can't open '{path}'"], b"")

    def test_command_lines_without_a_script_read_nothing(self):
        # A script that would trace and raise an error if it were read.
        self.write("x.c", "1 + 2\r\n#bad\r\n" + MAIN)
        for args in ("x.c", "[x x.c", "x.c]", "[x] " + "x" * 254 + ".c"):
            with self.subTest(args=args[:20]):
                r = self.oxel(args)
                self.assertRun(r, 1, [], b"")
                self.assertEqual(r.file_lines, [])

    def test_driver_options_from_the_environment(self):
        # OXEL_OPTIONS reaches the driver; words that are not options are left out.
        self.write("s.c", "1 + 2\r\n" + MAIN)
        r = self.oxel("[x] s.c", env={"OXEL_OPTIONS": "-dbogus t.c  -dexp"})
        self.assertEqual(r.errors, ["s.c (1) : error 400 : Unknown option '-dbogus'"])
        self.assertIn(b"In primary: 1st token = 'Constant'\r\n", r.trace)
        self.assertEqual(r.status, 0)


class IncludeSearch(Win32Case):
    def test_next_to_the_script_then_current_directory_then_next_to_the_program(self):
        bin_dir = os.path.join(self.dir, "bin")
        os.mkdir(bin_dir)
        exe = shutil.copy(EXE, bin_dir)
        self.write("lib/s.c", '#include "where.h"\r\n#include <only_bin.h>\r\nWHERE\r\nBIN\r\n' + MAIN)
        self.write("bin/only_bin.h", "#define BIN 3\r\n")
        places = ["lib/where.h", "where.h", "bin/where.h"]
        for i, place in enumerate(places):
            self.write(place, f"#define WHERE {i}\r\n")
        for i, place in enumerate(places):
            with self.subTest(place=place):
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
        one = "s.c (2) : error 200 : Bad syntax '#one'"
        two = "s.c (4) : error 200 : Bad syntax '#two'"
        self.assertRun(self.oxel("[x] s.c", CONTINUE), 0, [one, two], b"1\r\n2\r\n3\r\n")
        self.assertRun(self.oxel("[x] s.c", [CONTINUE, CANCEL]), 1, [one, two], b"1\r\n2\r\n")
        self.assertRun(self.oxel("[x] s.c", CANCEL), 1, [one], b"1\r\n")
        self.assertFalse(os.path.exists(self.notepad_log))
        self.assertRun(self.oxel("[x] s.c", EDIT), 1, [one], b"1\r\n")
        self.assertEqual(self.notepad_calls(1), ["Notepad s.c|5"])

    def test_file_names_are_lowered_in_place(self):
        # An error in the include names the include, lowered; the file line keeps the script path
        # as given until an error names the script itself, which lowers the stored path.
        self.write("Dir/Mixed.C", '#include "Inc.H"\r\n#two\r\n#include "Inc.H"\r\n' + MAIN)
        self.write("Dir/Inc.H", "\r\n#one\r\n")
        r = self.oxel(r"[x] Dir\Mixed.C", [CONTINUE, CONTINUE, EDIT])
        self.assertRun(r, 1, [r"dir\inc.h (2) : error 200 : Bad syntax '#one'",
                              r"dir\mixed.c (2) : error 200 : Bad syntax '#two'",
                              r"dir\inc.h (2) : error 200 : Bad syntax '#one'"], b"")
        self.assertEqual(r.file_lines, [r"File : Dir\Mixed.C", r"File : dir\mixed.c",
                                        r"File : dir\mixed.c"])
        # Edit while the include is read opens the include.
        self.assertEqual(self.notepad_calls(1), [r"Notepad dir\inc.h|5"])

    def test_long_paths_are_cut_in_the_file_line_and_the_editor_command(self):
        folder = "d" * 150
        self.write(f"{folder}/s.c", "#bad\r\n" + MAIN)
        r = self.oxel(rf"[x] {folder}\s.c", EDIT)
        self.assertRun(r, 1, [rf"{folder}\s.c (1) : error 200 : Bad syntax '#bad'"], b"")
        self.assertEqual(r.file_lines, ["File : " + folder[:92]])
        self.assertEqual(self.notepad_calls(1), ["Notepad " + folder[:91] + "|5"])

    def test_the_process_ends_when_no_main_runs(self):
        # 903 comes after the end of the input: the quit message still ends the process.
        self.write("nomain.c", "1\r\n")
        self.assertRun(self.oxel("[x] nomain.c"), 0, ["nomain.c (2) : error 903 : No main function"],
                       b"1\r\n")
        # The input ends inside a function body: no main runs and the process ends all the same.
        self.write("open.c", "int main() {\r\n")
        r = self.oxel("[x] open.c")
        self.assertEqual((r.status, r.errors[-1]), (0, "open.c (2) : error 501 : Unexpected end of file"))


class HostLibrary(Win32Case):
    """RV32AUTO.DLL: loaded at the first kt call from the PATH (the program's folder comes
    first), its functions called by their plain names with the standard calling convention."""

    def test_host_functions_get_real_addresses_and_the_start_up_values(self):
        self.write("s.c", 'char *hi = "hi!";\r\nktInitialize(5)\r\nktTypeText(1, hi, 2)\r\n'
                          "ktGetPortPrefs(1, 2, 3, 4, 5, 6, 7)\r\nktSleep(9, 8)\r\n" + MAIN)
        probe = windows_path(os.path.join(os.path.dirname(HARNESS), "probe"))
        r = self.oxel("[abc]  s.c", env={"WINEPATH": probe})
        # A wrong calling convention would unbalance the stack at the first call and crash.
        self.assertRun(r, 0, [], b'ktInitialize 0 instance 0 "[abc]  s.c"\r\n11\r\n'
                       b'ktTypeText 1 "hi"\r\n22\r\nktGetPortPrefs 1 2 3 4 5 6 7\r\n33\r\n'
                       b"ktSleep 9 8\r\n17\r\n")
        # Without the library a kt call is an unknown function and yields -15.
        r = self.oxel("[abc] s.c", env={"WINEPATH": None})
        self.assertEqual(r.errors[0], "s.c (2) : error 403 : Unknown function 'ktInitialize'")
        self.assertEqual((r.status, r.trace), (0, b"-15\r\n-15\r\n-15\r\n-15\r\n"))


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


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    return struct.unpack(">II", head[16:24])


class XvfbDialog(Win32Case):
    """The real dialog on an X server of its own, answered with keys and clicks as a user would."""
    driver = "x11"

    @classmethod
    def setUpClass(cls):
        read, write = os.pipe()
        cls.xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1024x768x24",
                                     "-nolisten", "tcp"], pass_fds=(write,),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        with os.fdopen(read) as f:
            cls.display = ":" + f.readline().strip()
        graphics_driver(cls.driver, cls.display)

    @classmethod
    def tearDownClass(cls):
        graphics_driver("x11")  # wine ends before the X server goes away
        cls.xvfb.terminate()
        cls.xvfb.wait(timeout=10)

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=dict(os.environ, DISPLAY=self.display),
                              capture_output=True, text=True, timeout=30).stdout

    def answer(self, how, screenshot=None):
        """Runs the script, waits for its dialog, answers it HOW and returns the result."""
        proc = self.oxel("[x] S.c", "none", display=self.display, background=True)
        window = self.xdotool("search", "--sync", "--onlyvisible", "--name",
                              "^C Interpreter Error$").split()
        self.assertTrue(window, "no dialog appeared")
        w = window[0]
        time.sleep(0.5)  # until the texts are painted
        if screenshot:
            subprocess.run(["import", "-display", self.display, "-window", w, screenshot],
                           check=True, timeout=30)
        size = re.search(r"Geometry: (\d+)x(\d+)", self.xdotool("getwindowgeometry", w))
        width, height = int(size.group(1)), int(size.group(2))
        # The client area is 172x91 dialog units of 1.5 pixels inside wine's own frame.
        border = (width - 258) // 2
        top = height - 137 - border

        def button(x, y, cx, cy):
            return str(border + int(1.5 * (x + cx / 2))), str(top + int(1.5 * (y + cy / 2)))
        if how == "alt+c" or how == "alt+e" or how == "Escape":
            self.xdotool("windowfocus", "--sync", w, "key", how)
        elif how == "Cancel":
            self.xdotool("mousemove", "--window", w, *button(65, 71, 41, 14), "click", "1")
        elif how == "close box":
            self.xdotool("mousemove", "--window", w, str(width - border - 10), str(top // 2), "click", "1")
        return self.result(proc)

    def test_answers_by_keys_and_clicks_and_a_screenshot(self):
        self.write("S.c", "1\r\n#bad\r\n2\r\n" + MAIN)
        error = ["s.c (2) : error 200 : Bad syntax '#bad'"]
        shot = os.path.join(OUT, "error_dialog.png")
        r = self.answer("alt+c", screenshot=shot)
        self.assertEqual((r.status, r.trace, r.errors, r.file_lines), (0, b"1\r\n2\r\n", error, ["File : s.c"]))
        self.assertEqual(png_size(shot), (264, 162))
        for how in ("Cancel", "Escape", "close box", "alt+e"):
            with self.subTest(how=how):
                r = self.answer(how)
                self.assertEqual((r.status, r.trace, r.errors), (1, b"1\r\n", error))
        self.assertEqual(self.notepad_calls(1), ["Notepad s.c|5"])


def load_tests(loader, tests, pattern):
    """The classes that use the null driver first: each change of driver restarts wine."""
    suite = unittest.TestSuite()
    for cls in (Executable, StartUp, IncludeSearch, Dialogs, HostLibrary, NoDisplay, XvfbDialog):
        suite.addTests(loader.loadTestsFromTestCase(cls))
    return suite


def main():
    global EXE, HARNESS, OUT
    parser = argparse.ArgumentParser()
    parser.add_argument("--exe", required=True)
    parser.add_argument("--harness", required=True)
    parser.add_argument("--out", required=True, help="where the screenshot goes")
    args, rest = parser.parse_known_args()
    EXE, HARNESS, OUT = (os.path.abspath(p) for p in (args.exe, args.harness, args.out))
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
