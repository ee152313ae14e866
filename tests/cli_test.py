#!/usr/bin/env python3
"""Tests of oxel's command line, its answers to errors (including the terminal prompt) and its
robustness against hostile source input: inputs too large or too deep to check in are generated
here. Run: cli_test.py --oxel PATH [unittest options]."""
import argparse
import os
import pty
import select
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

OXEL = None
PREFIX = b"C Interpreter Error: "
MAIN = "int main() { return 0; }\n"


def read(path, mode="rb"):
    with open(path, mode) as f:
        return f.read()


class Result:
    def __init__(self, status, stdout, stderr, trace):
        self.status, self.stdout, self.stderr, self.trace = status, stdout, stderr, trace
        lines = stderr.split(b"\n")
        self.errors = [l[len(PREFIX):].decode("latin-1") for l in lines if l.startswith(PREFIX)]
        self.others = [l for l in lines if l and not l.startswith(PREFIX)]


class OxelCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="oxel-cli-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def write(self, name, data):
        path = os.path.join(self.dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data if isinstance(data, bytes) else data.encode("latin-1"))
        return path

    def run_oxel(self, args, cwd=None, env=None, oxel=None, trace=True):
        trace_file = os.path.join(self.dir, "trace.out")
        if os.path.exists(trace_file):
            os.remove(trace_file)
        cmd = [oxel or OXEL] + (["--trace=" + trace_file] if trace else []) + list(args)
        proc = subprocess.run(cmd, cwd=cwd or self.dir, env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=120)
        data = read(trace_file) if os.path.exists(trace_file) else None
        return Result(proc.returncode, proc.stdout, proc.stderr, data)

    def script(self, text, *options, name="s.c"):
        self.write(name, text)
        return self.run_oxel(["--on-error=continue", *options, name])

    def assertClean(self, r, status, errors, trace=None):
        """The status, the exact error lines, nothing else on standard error (no sanitizer
        report), and the trace when given."""
        self.assertEqual(r.others, [])
        self.assertEqual(r.errors, errors)
        self.assertEqual(r.status, status)
        if trace is not None:
            self.assertEqual(r.trace, trace)


class CommandLine(OxelCase):
    def test_help_version_and_bad_command_lines(self):
        r = self.run_oxel(["--help"], trace=False)
        self.assertEqual((r.status, r.stderr), (0, b""))
        self.assertTrue(r.stdout.startswith(b"Usage: oxel [OPTIONS] SCRIPT\n"))
        for option in (b"--check", b"--trace=FILE", b"--on-error=ask|continue|cancel",
                       b"--time-limit=SECONDS"):
            self.assertIn(option, r.stdout)
        r = self.run_oxel(["--version"], trace=False)
        self.assertEqual((r.status, r.stderr), (0, b""))
        self.assertRegex(r.stdout.decode(), r"^oxel \d+\.\d+\.\d+\n$")
        self.write("s.c", MAIN)
        for args in ([], ["--bogus", "s.c"], ["s.c", "t.c"], ["--check"], ["x" * 300 + ".c"]):
            r = self.run_oxel(args, trace=False)
            self.assertEqual(r.status, 2, args)
            self.assertEqual(r.errors, [], args)

    def test_host_command_line(self):
        self.write("b] c.c", "10 + 1\n" + MAIN)
        self.write("my script.c", "20 + 2\n" + MAIN)
        self.write("sub/s.c", '#include "h.h"\nWHERE\n' + MAIN)
        self.write("sub/h.h", "#define WHERE 33\n")
        for args, trace in ((["[a] b] c.c"], b"11\r\n"), (["[a]", "b]", "c.c"], b"11\r\n"),
                            (["[x]   my script.c"], b"22\r\n"),
                            (["[x]", "my", "script.c"], b"22\r\n"),
                            (["[]sub/s.c"], b"33\r\n"), (["[[x]sub/s.c"], b"33\r\n")):
            self.assertClean(self.run_oxel(args), 0, [], trace)
        # Trailing blanks and a tab after the "]" are part of the path.
        for path in ("my script.c ", "\tmy script.c", ""):
            r = self.run_oxel(["--on-error=continue", "[x] " + path])
            self.assertClean(r, 1, [f"{path} (1) : error 902 : Can't open '{path}'"])
        # Without a "]" after the "[" nothing is read and nothing is said.
        for args in (["[x b c.c"], ["[x", "sub/s.c"]):
            r = self.run_oxel(args)
            self.assertEqual((r.status, r.stdout, r.stderr, r.trace), (1, b"", b"", None))

    def test_script_named_like_an_option(self):
        # After "--" a name that starts with "-" is the script, not a driver option.
        self.write("-x.c", "40 + 2\n" + MAIN)
        self.assertClean(self.run_oxel(["--on-error=continue", "--", "-x.c"]), 0, [], b"42\r\n")

    def test_scripts_that_cannot_be_opened(self):
        os.mkdir(os.path.join(self.dir, "folder.c"))
        for name in ("missing.c", "folder.c"):
            r = self.run_oxel(["--on-error=continue", name])
            self.assertClean(r, 1, [f"{name} (1) : error 902 : Can't open '{name}'"], b"")

    def test_check(self):
        # The checking pass finds nothing wrong in a body that fails only when it runs.
        self.write("ok.c", "int main() { int z; z = 0; return 1 / z; }\n")
        self.assertClean(self.run_oxel(["--check", "ok.c"]), 0, [], b"")
        self.write("bad.c", "#bad\n" + MAIN)
        r = self.run_oxel(["--check", "--on-error=continue", "bad.c"])
        self.assertClean(r, 1, ["bad.c (1) : error 200 : Bad syntax '#bad'"])
        # A check has no effect: top-level expressions, initialisers and run are checked, and
        # nothing is called, stored or printed; their errors are found all the same.
        victim = self.write("victim.txt", "keep")
        self.write("effects.c", 'int made() { fclose(fopen("made.txt", "w")); return 1; }\n'
                                'int g = made();\nremove("victim.txt")\nmade()\n'
                                'ktSleep(1, 2)\n@list\nsizeof(int)\nmade(1)\nrun\n' + MAIN)
        r = self.run_oxel(["--check", "--on-error=continue", "--host=/nonexistent/x.so", "effects.c"])
        self.assertClean(r, 1, ["effects.c (8) : error 301 : Bad argument"], b"")
        self.assertEqual(read(victim), b"keep")
        self.assertFalse(os.path.exists(os.path.join(self.dir, "made.txt")))

    def test_trace_destinations(self):
        text = "1 + 2\n2.5\nint main() { return 0; }\nrun\n"
        r = self.script(text)
        self.assertClean(r, 0, [], b"3\r\n2.5\r\nCalling main...\r\n")
        for option in ([], ["--trace=-"]):
            proc = subprocess.run([OXEL, *option, self.write("s.c", text)], capture_output=True,
                                  stdin=subprocess.DEVNULL, timeout=60)
            self.assertEqual((proc.returncode, proc.stdout), (0, b""))
            self.assertEqual(proc.stderr, b"3\r\n2.5\r\nCalling main...\r\n")
        r = self.run_oxel(["--trace=" + os.path.join(self.dir, "no", "dir"), "s.c"], trace=False)
        self.assertEqual((r.status, r.errors), (1, []))

    def test_error_policies_write_one_line_per_error(self):
        text = "1\nint x;\n#one\n2\nint y;\n#two\n3\n" + MAIN
        errors = ["s.c (3) : error 200 : Bad syntax '#one'",
                  "s.c (6) : error 200 : Bad syntax '#two'"]
        self.assertClean(self.script(text), 0, errors, b"1\r\n2\r\n3\r\n")
        self.write("s.c", text)
        for options in (["--on-error=cancel"], []):
            self.assertClean(self.run_oxel([*options, "s.c"]), 1, errors[:1], b"1\r\n")
        self.assertClean(self.run_oxel(["--check", "--on-error=continue", "s.c"]), 1, errors)

    def test_messages_hold_no_line_end(self):
        # A directive cut short by its line end must not split the error line.
        for ending in ("\n", "\r\n"):
            r = self.script(f"#include{ending}int x;{ending}" + MAIN)
            self.assertEqual(r.others, [])
            self.assertEqual(len(r.errors), 1)
            self.assertNotIn("\r", r.errors[0])
            self.assertTrue(r.errors[0].startswith("s.c (1) : error 502 : Unexpected character '"))

    def test_include_search_order(self):
        # Next to the script, then the current directory, then next to the interpreter.
        bin_dir = os.path.join(self.dir, "bin")
        os.mkdir(bin_dir)
        oxel = shutil.copy(OXEL, bin_dir)
        self.write("lib/s.c", '#include "where.h"\n#include <only_bin.h>\nWHERE\nBIN\n' + MAIN)
        self.write("bin/only_bin.h", "#define BIN 3\n")
        places = ["lib/where.h", "where.h", "bin/where.h"]
        for i, place in enumerate(places):
            self.write(place, f"#define WHERE {i}\n")
        for i, place in enumerate(places):
            r = self.run_oxel(["--on-error=continue", "lib/s.c"], oxel=oxel)
            self.assertClean(r, 0, [], f"{i}\r\n3\r\n".encode())
            os.remove(os.path.join(self.dir, place))
        # The joined path is the name in messages.
        self.write("lib/where.h", "#define WHERE 1\n#bad\n")
        r = self.run_oxel(["--on-error=continue", "lib/s.c"], oxel=oxel)
        self.assertClean(r, 0, ["lib/where.h (2) : error 200 : Bad syntax '#bad'"], b"1\r\n3\r\n")


class AskMode(OxelCase):
    def ask(self, answers, text, env_add=None, options=("--on-error=ask",)):
        """Runs oxel on a pseudo-terminal, answering each prompt with the next answer."""
        self.write("s.c", text)
        env = dict(os.environ, **(env_add or {}))
        trace = os.path.join(self.dir, "trace.out")
        pid, fd = pty.fork()
        if pid == 0:
            os.chdir(self.dir)
            os.execve(OXEL, [OXEL, *options, "--trace=" + trace, "s.c"], env)
        out, answers = b"", list(answers)
        deadline = time.time() + 60
        while time.time() < deadline:
            if not select.select([fd], [], [], 1)[0]:
                continue
            try:
                data = os.read(fd, 4096)
            except OSError:
                break
            if not data:
                break
            out += data
            if out.endswith(b"[e]dit? "):
                os.write(fd, answers.pop(0).encode() + b"\n" if answers else b"\x04")
        os.close(fd)
        status = os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1])
        return status, out.replace(b"\r\n", b"\n"), read(trace)

    def editor_stub(self):
        record = os.path.join(self.dir, "edited")
        stub = self.write("editor.sh", f'#!/bin/sh\nprintf "%s" "$*" > "{record}.tmp"\n'
                                       f'mv "{record}.tmp" "{record}"\n')
        os.chmod(stub, 0o755)
        return stub, record

    def edited(self, record):
        for _ in range(100):
            if os.path.exists(record):
                return read(record, "r")
            time.sleep(0.05)
        return None

    TEXT = "1\nint x;\n#one\n2\nint y;\n#two\n3\n" + MAIN

    def test_continue_and_cancel(self):
        status, out, trace = self.ask(["x", "c", "C"], self.TEXT)
        self.assertEqual((status, trace), (0, b"1\r\n2\r\n3\r\n"))
        self.assertEqual(out.count(PREFIX), 2)
        self.assertEqual(out.count(b"[e]dit? "), 3)
        self.assertIn(b"== C Interpreter Error ==\ns.c (3) : error 200 : Bad syntax '#one'\n"
                      b"File : s.c\n", out)
        for answer in ("a", None):  # Cancel, or the end of the input
            status, out, trace = self.ask([answer] if answer else [], self.TEXT, options=())
            self.assertEqual((status, trace, out.count(PREFIX)), (1, b"1\r\n", 1))

    def test_edit_opens_the_current_file(self):
        stub, record = self.editor_stub()
        status, out, trace = self.ask(["e"], self.TEXT, {"VISUAL": "", "EDITOR": stub})
        self.assertEqual((status, trace), (1, b"1\r\n"))
        self.assertEqual(self.edited(record), "s.c")
        os.remove(record)
        # Inside an include file the editor gets that file; $VISUAL comes before $EDITOR.
        self.write("inc/h.h", "int a;\n#inner\n")
        status, out, _ = self.ask(["e"], '#include "inc/h.h"\n' + MAIN,
                                  {"VISUAL": stub, "EDITOR": "/nonexistent/editor"})
        self.assertEqual(status, 1)
        self.assertIn(b"\ninc/h.h (2) : error 200 : Bad syntax '#inner'\nFile : s.c\n", out)
        self.assertEqual(self.edited(record), "inc/h.h")


class HostileInput(OxelCase):
    def test_deep_nesting_ends_cleanly(self):
        n = 100000
        for text in ("(" * n + "1" + ")" * n, "- " * n + "1", "!" * n + "1", "(int)" * n + "1",
                     "sizeof " * n + "1", "int " + "*" * n + "p;", "int x" + "[1]" * n + ";",
                     "int a[2];\n" + "a[" * n + "0" + "]" * n, "struct A {" * n,
                     "int main() " + "{" * n + "}" * n, "int main() { " + "if (1) " * n + ";}",
                     "int f(x) int x; { return x; }\n" + "f(" * n + "0" + ")" * n,
                     "int main() { int x; " + "x = " * n + "1; }"):
            with self.subTest(text[:20]):
                r = self.script(text + "\n" + MAIN)
                line = text.count("\n") + 1
                self.assertClean(r, 1, [f"s.c ({line}) : error 100 : Out of memory"])

    def test_over_long_tokens_are_cut(self):
        name = "v" * 127
        r = self.script(f"int {name}x;\n{name} = 5\n{name}yz\n")
        self.assertClean(r, 0, ["s.c (1) : error 201 : Invalid indentifier",
                                "s.c (3) : error 201 : Invalid indentifier",
                                "s.c (4) : error 903 : No main function"], b"5\r\n5\r\n")
        r = self.script('char *s = "' + "x" * 100000 + '";\ns[254]\ns[255]\n' + MAIN)
        self.assertClean(r, 0, ["s.c (1) : error 200 : Bad syntax 'Constant'"], b"120\r\n0\r\n")
        r = self.script("#define " + "M" * 31 + " 7\n#define " + "N" * 32 + " 8\nint x;\n"
                        "#define BODY " + "1+" * 128 + "1\nint y;\n#define OK 3\n"
                        "OK + " + "M" * 31 + "\n" + MAIN)
        self.assertClean(r, 0, ["s.c (2) : error 201 : Invalid indentifier",
                                "s.c (5) : error 200 : Bad syntax '#define'"], b"8\r\n10\r\n")
        r = self.script("#" + "d" * 100000 + "\n" + MAIN)
        self.assertClean(r, 0, ["s.c (1) : error 200 : Bad syntax '#" + "d" * 126 + "'"])
        # An include name longer than its buffer; a name whose path is longer than the path buffer.
        r = self.script('#include "' + "i" * 300 + '"\n' + MAIN)
        self.assertEqual(r.others, [])
        self.assertEqual([e[:37] for e in r.errors], ["s.c (1) : error 900 : Can't open incl"])
        name = "d" * 100 + "/" + "h" * 100 + ".h"
        self.write(name, "int h;\n")
        r = self.script(f'#include "{name}"\n' + MAIN)
        self.assertClean(r, 0, [f"s.c (1) : error 900 : Can't open include file '{name}'"])

    def test_macros_that_lead_back_to_themselves(self):
        chain = "".join(f"#define M{i} M{i + 1}\n" for i in range(300)) + "#define M300 M0\n"
        r = self.script(chain + "int M0 = 4;\nM0 + 1\n" + MAIN)
        self.assertClean(r, 0, ["s.c (302) : error 200 : Bad syntax 'M0'",
                                "s.c (303) : error 200 : Bad syntax 'M0'"], b"5\r\n")
        # Expansions nested deeper than the push-back store holds are refused, not overrun.
        nest = "".join(f"#define {c} {chr(ord(c) + 1)}" + " + 1" * 60 + "\n" for c in "ABCDEFG")
        r = self.script(nest + "int H;\nA\n" + MAIN)
        self.assertEqual(r.others, [])
        self.assertEqual(r.errors[0][:30], "s.c (9) : error 100 : Out of m")
        self.assertEqual(r.status, 0)

    def test_control_and_high_bytes(self):
        for byte in list(range(0, 9)) + [11, 12] + list(range(14, 32)) + list(range(127, 256)):
            text = b"int x;\nx = 1 + " + bytes([byte]) + b"2\nx + 40\n" + MAIN.encode()
            r = self.script(text)
            self.assertEqual(r.others, [], byte)
            self.assertEqual(r.status, 0, byte)
            at = "s.c (2) : error "  # (a NUL byte shows as a blank)
            want = at + "502 : Unexpected character '" + (chr(byte) if byte else " ") + "'"
            self.assertEqual(r.errors[0], want, byte)
            if byte <= 8:  # reported and dropped
                self.assertEqual((r.errors, r.trace), ([want], b"3\r\n43\r\n"), byte)
            else:  # the rest of the file is still read
                self.assertTrue(r.trace.endswith(b"\r\n41\r\n"), byte)

    def test_input_that_ends_early(self):
        ran = "s.c (1) : error 302 : Bad operand /"  # main ran
        eof = "s.c (3) : error 501 : Unexpected end of file"
        main = "int main() { return 1 / 0; }\n"
        at = "s.c (2) : error "
        for tail, errors in (("/* open\n", [eof, ran]),
                             ('!"open\n', [ran]), ("'x", [at + "500 : Expected '''", ran]),
                             ("#define LAST", [ran]),
                             ("#define", [at + "201 : Invalid indentifier", ran]),
                             ('#include "open', [at + "500 : Expected '\"'", ran]),
                             ("#include", [at + "502 : Unexpected character ' '", ran]),
                             ("#inc", [at + "200 : Bad syntax '#inc'", ran]),
                             ("int f() { return 1;\n", [eof])):
            r = self.script(main + tail)
            self.assertEqual(r.others, [], tail)
            self.assertEqual((r.status, r.errors), (0, errors), tail)

    def test_directive_after_a_one_character_token(self):
        r = self.script("int x; #define Q 1\nint y;\n" + MAIN)
        self.assertEqual(r.errors[0], "s.c (1) : error 502 : Unexpected character '#'")
        self.assertEqual(r.status, 0)

    def test_line_numbers_far_down(self):
        for end in ("\n", "\r\n"):
            text = end * 40000 + "int main() {" + end + "  return 1 / 0;" + end + "}" + end
            self.assertClean(self.script(text), 0, ["s.c (40002) : error 302 : Bad operand /"])


def main():
    global OXEL
    parser = argparse.ArgumentParser()
    parser.add_argument("--oxel", required=True)
    args, rest = parser.parse_known_args()
    OXEL = os.path.abspath(args.oxel)
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
