#!/usr/bin/env python3
"""What a script test cannot set up: the command line, the terminal prompt, the environment and
hostile input. Run: cli_test.py --oxel PATH [unittest options]."""
import os, pty, re, select, shutil, subprocess, sys, tempfile, termios, time, unittest
from pathlib import Path

OXEL = None
PREFIX = b"C Interpreter Error: "
MAIN = "int main() { return 0; }\n"
CANT_OPEN = "{0} (1) : error 902 : Can't open '{0}'".format


def wait_for(path, tries=100):
    """The text of the file PATH, which is then removed, once it has some ("" if none came)."""
    for _ in range(tries):
        if os.path.exists(path) and os.path.getsize(path):
            text = Path(path).read_text("latin-1")
            os.remove(path)
            return text
        time.sleep(0.05)
    return ""


def on_pty(argv, cwd, env, answers):
    """ARGV on a pty, each (prompt, keys) taken off the list ANSWERS in turn and typed once the prompt follows the
    last (keys that are a number: that signal sent): its status, its output and whether the terminal modes came back."""
    pid, fd = pty.fork()
    if pid == 0:
        os.chdir(cwd)
        os.execve(argv[0], argv, env)
    before, out, deadline, at = termios.tcgetattr(fd), b"", time.time() + 60, 0
    while time.time() < deadline:
        if not select.select([fd], [], [], 1)[0]:
            continue
        try:
            data = os.read(fd, 4096)
        except OSError:
            data = b""
        if not data:
            break
        out += data
        while answers and (found := out.find(answers[0][0], at)) >= 0:
            at, keys = found + len(answers[0][0]), answers.pop(0)[1]
            os.write(fd, keys) if isinstance(keys, bytes) else os.kill(pid, keys)
    restored = termios.tcgetattr(fd) == before
    os.close(fd)
    return os.waitstatus_to_exitcode(os.waitpid(pid, 0)[1]), out, restored


class Result:
    def __init__(self, status, stdout, stderr, trace):
        self.status, self.stdout, self.stderr, self.trace, lines = status, stdout, stderr, trace, stderr.split(b"\n")
        self.errors = [l[len(PREFIX):].decode("latin-1") for l in lines if l.startswith(PREFIX)]
        self.others = [l for l in lines if l and not l.startswith(PREFIX)]


class OxelCase(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="oxel-cli-")
        self.addCleanup(shutil.rmtree, self.dir, True)

    def write(self, name, data, *more):  # more: further name, data pairs
        for name, data in zip((name, *more[::2]), (data, *more[1::2])):
            path = Path(self.dir, name)
            path.parent.mkdir(parents=True, exist_ok=True)
            path.write_bytes(data if isinstance(data, bytes) else data.encode("latin-1"))
        return str(path)

    def run_oxel(self, args, oxel=None, trace=True, env=None, stdin=subprocess.DEVNULL):
        trace_file = Path(self.dir, "trace.out")
        trace_file.unlink(missing_ok=True)
        cmd = [oxel or OXEL] + ([f"--trace={trace_file}"] if trace else []) + list(args)
        proc = subprocess.run(cmd, cwd=self.dir, env=env, stdin=stdin, capture_output=True, timeout=120)
        data = trace_file.read_bytes() if trace_file.exists() else None
        return Result(proc.returncode, proc.stdout, proc.stderr, data)

    def script(self, text, *options, env=None):
        self.write("s.c", text)
        return self.run_oxel(["--on-error=continue", *options, "s.c"], env=env)

    def assertClean(self, r, status, errors, trace=None):  # nothing else on stderr: no sanitizer report
        self.assertEqual((r.others, r.errors, r.status), ([], errors, status))
        if trace is not None:
            self.assertEqual(r.trace, trace)


class CommandLine(OxelCase):
    def test_options_and_bad_command_lines(self):
        r = self.run_oxel(["--help"], trace=False)
        self.assertEqual((r.status, r.stderr, r.stdout[:29]), (0, b"", b"Usage: oxel [OPTIONS] SCRIPT\n"))
        for option in (b"--check", b"--trace=FILE", b"--on-error=ask|continue|cancel", b"--time-limit=SECONDS"):
            self.assertIn(option, r.stdout)
        self.assertRegex(self.run_oxel(["--version"], trace=False).stdout.decode(), r"^oxel \d+\.\d+\.\d+\n$")
        self.write("s.c", MAIN)
        for args in ([], ["--bogus", "s.c"], ["s.c", "t.c"], ["--check"], ["x" * 300 + ".c"]):
            r = self.run_oxel(args, trace=False)
            self.assertEqual((r.status, r.errors), (2, []), args)
        # After "--" a name that starts with "-" is the script.
        self.write("-x.c", "40 + 2\n" + MAIN, "folder.c/x", "")
        self.assertClean(self.run_oxel(["--on-error=continue", "--", "-x.c"]), 0, [], b"42\r\n")
        for name in ("missing.c", "folder.c"):
            self.assertClean(self.run_oxel(["--on-error=continue", name]), 1, [CANT_OPEN(name)], b"")

    def test_host_command_line(self):
        self.write("b] c.c", "10 + 1\n" + MAIN, "my script.c", "20 + 2\n" + MAIN,
                   "sub/s.c", '#include "h.h"\nWHERE\n' + MAIN, "sub/h.h", "#define WHERE 33\n")
        for args, trace in ((["[a] b] c.c"], b"11\r\n"), (["[a]", "b]", "c.c"], b"11\r\n"),
                            (["[x]   my script.c"], b"22\r\n"), (["[x]", "my", "script.c"], b"22\r\n"),
                            (["[]sub/s.c"], b"33\r\n"), (["[[x]sub/s.c"], b"33\r\n")):
            self.assertClean(self.run_oxel(args), 0, [], trace)
        # Trailing blanks and a tab after the "]" are part of the path.
        for path in ("my script.c ", "\tmy script.c", ""):
            self.assertClean(self.run_oxel(["--on-error=continue", "[x] " + path]), 1, [CANT_OPEN(path)])
        self.assertEqual(self.run_oxel(["[x] " + "p" * 255]).errors[0][:20], "p" * 20)
        # Without a "]" after the "[", or with a path too long, nothing is read and one line says why.
        for args, said in ((["[x b c.c"], b"oxel: no ']' ends the '[' of [x b c.c\n"),
                           (["[x", "sub/s.c"], b"oxel: no ']' ends the '[' of [x sub/s.c\n"),
                           (["[x] " + "p" * 256], b"oxel: the script path is 256 characters or more\n")):
            r = self.run_oxel(args)
            self.assertEqual((r.status, r.stdout, r.stderr, r.trace), (1, b"", said, None))

    def test_check(self):
        self.write("ok.c", "int main() { int z; z = 0; return 1 / z; }\n")  # fails only when it runs
        self.assertClean(self.run_oxel(["--check", "ok.c"]), 0, [], b"")
        # A check has no effect (nothing called, stored or printed) but finds the errors all the same.
        self.write("victim.txt", "keep", "Effects.c", 'int made() { fclose(fopen("made.txt", "w")); return 1; }\n'
                                'int g = made();\nremove("victim.txt")\nmade()\n'
                                'ktSleep(1, 2)\n@list\nsizeof(int)\nmade(1)\n#bad\nrun\n' + MAIN)
        r = self.run_oxel(["--check", "--on-error=continue", "--host=/nonexistent/x.so", "Effects.c"])
        self.assertClean(r, 1, ["Effects.c (8) : error 301 : Bad argument",
                                "Effects.c (9) : error 200 : Bad syntax '#bad'"], b"")
        self.assertEqual(sorted(os.listdir(self.dir)), ["Effects.c", "ok.c", "trace.out", "victim.txt"])  # none made

    def test_trace_destinations(self):
        text = "1 + 2\n2.5\nint main() { return 0; }\nrun\n"
        self.assertClean(self.script(text), 0, [], b"3\r\n2.5\r\nCalling main...\r\n")
        for option in ([], ["--trace=-"]):
            r = self.run_oxel([*option, "s.c"], trace=False)
            self.assertEqual((r.status, r.stdout, r.stderr), (0, b"", b"3\r\n2.5\r\nCalling main...\r\n"))
        self.assertEqual(self.run_oxel(["--trace=no/dir", "s.c"], trace=False).status, 1)

    def test_error_policies_write_one_line_per_error(self):
        text = "1\nint x;\n#one\n2\nint y;\n#two\n3\n#include\n" + MAIN
        errors = ["s.c (3) : error 200 : Bad syntax '#one'", "s.c (6) : error 200 : Bad syntax '#two'"]
        r = self.script(text)
        self.assertClean(r, 0, errors + r.errors[2:], b"1\r\n2\r\n3\r\n")
        self.assertRegex(r.errors[2], "^s.c \\(8\\) : error 502 : Unexpected character '[^\r]'$")  # one line
        for options in (["--on-error=cancel"], []):
            self.assertClean(self.run_oxel([*options, "s.c"]), 1, errors[:1], b"1\r\n")

    def test_symbol_trace(self):
        # -dsym thrice: lookups with their mode (2 after a tag, 1 for a member), entries; addresses masked.
        r = self.script("struct S { char c; int a; } s;\nint f(p) int p; { return p; }\ns.a = f(2)\n" + MAIN,
                        "-dsym", "-dsym", "-dsym")
        trace = re.sub(r"(&table |&td=|body )[0-9a-f]+", r"\1#", r.trace.decode().replace("\r\n", "\n"))
        for part in ("sym_find: 'S', mode 2, &table #\nsym_entering S at scope_level 0, &table #\n"
                     "<sTag>(size=0)\tS&td=#, type=<sTag>, next=0->\n stg=6,offset=0;\n",
                     "sym_find: 'a', mode 1, &table #\nsym_find looks at 'c',",
                     "sym_found 'f'(scope=0):int f( p )\n  int\tp&td=#, type=int, next=0->\n stg=0,offset=0;\n"
                     " body #, frame size 0\n2\n"):
            self.assertIn(part, trace)
        # Lookups are traced from the third -dsym on.
        self.assertNotIn(b"sym_find", self.script("int s;\n" + MAIN, "-dsym", "-dsym").trace)

    def test_include_search_order(self):
        # Next to the script, then the current directory, then next to oxel; the joined path names it, as given.
        self.write("lib/s.c", '#include "Where.h"\n#include <only_bin.h>\nWHERE\nBIN\n' + MAIN,
                   "bin/only_bin.h", "#define BIN 3\n")
        oxel = shutil.copy(OXEL, os.path.join(self.dir, "bin"))
        places = ["lib/Where.h", "Where.h", "bin/Where.h"]
        for i, place in enumerate(places):
            self.write(place, f"#define WHERE {i}\n")
        for i, place in enumerate(places):
            r = self.run_oxel(["--on-error=continue", "lib/s.c"], oxel=oxel)
            self.assertClean(r, 0, [], f"{i}\r\n3\r\n".encode())
            os.remove(os.path.join(self.dir, place))
        self.write("lib/Where.h", "#define WHERE 1\n#bad\n")
        self.assertClean(self.run_oxel(["--on-error=continue", "lib/s.c"], oxel=oxel), 0,
                         ["lib/Where.h (2) : error 200 : Bad syntax '#bad'"], b"1\r\n3\r\n")


class Environment(OxelCase):
    def env(self, **values):
        return {**{k: v for k, v in os.environ.items() if k not in ("RAVELTO_DIR", "XDG_CONFIG_HOME", "HOME")},
                **{k: os.path.join(self.dir, v) for k, v in values.items()}}

    def test_settings_file_from_ravelto_dir_then_the_configuration_folder(self):
        self.write("env/ravelto.ini", "[session]\nname=eeee\n", "env/other.ini", "[a]\nk=settings\n",
                   "other.ini", "[a]\nk=beside\n", "xdg/ravelto/ravelto.ini", "[Session]\nNAME=xxx\n",
                   "home/.config/ravelto/ravelto.ini", "[Session]\nName=hh\n")
        text = ('char b[64];\nGetPrivateProfileString("Session", "Name", "-", b, 64, 0)\n'
                'GetPrivateProfileString("a", "k", "-", b, 64, "other.ini")\n'
                'GetPrivateProfileString("a", "k", "-", b, 64, "./other.ini")\n' + MAIN)
        for env, trace in (({"HOME": "nohome"}, b"1\r\n1\r\n6"), ({"HOME": "home"}, b"2\r\n1\r\n6"),
                           ({"HOME": "home", "XDG_CONFIG_HOME": "xdg"}, b"3\r\n1\r\n6"),
                           ({"XDG_CONFIG_HOME": "xdg", "RAVELTO_DIR": "env"}, b"4\r\n8\r\n6"),
                           ({"XDG_CONFIG_HOME": "xdg", "RAVELTO_DIR": "empty"}, b"3\r\n1\r\n6")):
            self.assertClean(self.script(text, env=self.env(**env)), 0, [], trace + b"\r\n")

    def test_searchenv_walks_the_list_in_order(self):
        one, two = os.path.join(self.dir, "one"), os.path.join(self.dir, "two")
        name = "n" * (259 - len(one) - 1)  # the result with its NUL fills 260 bytes
        self.write("one/a.txt", "", "two/a.txt", "", "two/b.txt", "", f"one/{name}", "", f"one/{name}n", "")
        text = "char b[300];\n" + "".join(
            f'searchenv("{f}", "OXEL_TEST_DIRS", b) + strcmp(b, "{want}") + strlen(b) * (strlen(b) > 200)\n'
            for f, want in (("a.txt", one + "/a.txt"), ("b.txt", two + "/b.txt"), ("c.txt", ""),
                            (name, "x"), (name + "n", ""))) + MAIN
        # Empty entries are passed over; an entry ending with '/' gets no second one.
        env = dict(os.environ, OXEL_TEST_DIRS=f"::{one}:{two}/")
        self.assertClean(self.script(text, env=env), 0, [], b"0\r\n" * 3 + b"258\r\n0\r\n")

    def test_exit_closes_the_streams(self):
        self.assertClean(self.script('long f;\nf = fopen("out.txt", "w")\nfputs("kept", f)\nexit(263)\n' + MAIN), 7, [])
        self.assertEqual(Path(self.dir, "out.txt").read_text(), "kept")

    def test_dev_stdout_and_dev_stderr_are_the_callers_streams_in_order(self):
        # As (echo first; oxel s.c; echo last) >f 2>&1: a file opened anew would start at offset 0.
        self.write("s.c", 'long o; long e; int *p;\nvoid main() { o = fopen("/dev/stdout", "w");'
                          ' e = fopen("/dev/stderr", "a"); fputs("out\\n", o); fputs("err\\n", e); p = 100;'
                          ' *p = 1; fputs("after", o); }\n')
        with open(Path(self.dir, "f"), "wb") as f:
            f.write(b"first\n")
            f.flush()
            status = subprocess.run([OXEL, "--on-error=continue", "s.c"], cwd=self.dir, stdout=f, stderr=f).returncode
            f.write(b"\nlast\n")
        self.assertEqual((status, Path(self.dir, "f").read_bytes()), (0, b"first\nout\nerr\n" + PREFIX +
                         b"s.c (2) : error 102 : Memory overflow\nafter\nlast\n"))


class AskMode(OxelCase):
    TEXT = "1\nint x;\n#one\n2\nint y;\n#two\n3\n" + MAIN

    def ask(self, answers, text, env_add=None, options=("--on-error=ask",)):
        self.write("s.c", text)
        trace, keys = Path(self.dir, "trace.out"), [a.encode() + b"\n" for a in answers] + [b"\x04"]  # then the end
        status, out, _ = on_pty([OXEL, *options, f"--trace={trace}", "s.c"], self.dir,
                                dict(os.environ, **(env_add or {})), [(b"[e]dit? ", k) for k in keys])
        return status, out.replace(b"\r\n", b"\n"), trace.read_bytes()

    def test_continue_and_cancel(self):
        status, out, trace = self.ask(["x", "c", "C"], self.TEXT)
        self.assertEqual((status, trace, out.count(PREFIX), out.count(b"[e]dit? ")), (0, b"1\r\n2\r\n3\r\n", 2, 3))
        self.assertIn(b"== C Interpreter Error ==\ns.c (3) : error 200 : Bad syntax '#one'\nFile : s.c\n", out)
        for answers in (["a"], []):  # Cancel, or the end of the input
            status, out, trace = self.ask(answers, self.TEXT, options=())
            self.assertEqual((status, trace, out.count(PREFIX)), (1, b"1\r\n", 1))

    def test_edit_opens_the_current_file(self):
        record = os.path.join(self.dir, "edited")
        stub = self.write("editor.sh", f'#!/bin/sh\nprintf "%s" "$*" > "{record}.tmp"\nmv "{record}.tmp" "{record}"\n')
        os.chmod(stub, 0o755)
        status, out, trace = self.ask(["e"], self.TEXT, {"VISUAL": "", "EDITOR": stub})
        self.assertEqual((status, trace, wait_for(record)), (1, b"1\r\n", "s.c"))
        # Inside an include file the editor gets that file; $VISUAL comes before $EDITOR.
        self.write("inc/h.h", "int a;\n#inner\n")
        status, out, _ = self.ask(["e"], '#include "inc/h.h"\n' + MAIN, {"VISUAL": stub, "EDITOR": "/nonexistent"})
        self.assertIn(b"\ninc/h.h (2) : error 200 : Bad syntax '#inner'\nFile : s.c\n", out)
        self.assertEqual((status, wait_for(record)), (1, "inc/h.h"))


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
                line = text.count("\n") + 1
                self.assertClean(self.script(text + "\n" + MAIN), 1, [f"s.c ({line}) : error 100 : Out of memory"])

    def test_over_long_tokens_are_cut_and_macros_that_lead_back_to_themselves(self):
        name, m, bad, invalid = "v" * 127, "M" * 31, "s.c ({}) : error {} : {}".format, "Invalid indentifier"
        inc = self.write("d" * 100 + "/" + "h" * 100 + ".h", "int h;\n")[len(self.dir) + 1:]  # path too long
        chain = "".join(f"#define M{i} M{i + 1}\n" for i in range(300)) + "#define M300 M0\nint M0 = 4;\n"
        for text, errors, trace in (
                (f"int {name}x;\n{name} = 5\n{name}yz\n",
                 [bad(1, 201, invalid), bad(3, 201, invalid), bad(4, 903, "No main function")],
                 b"5\r\n5\r\n"),
                ('char *s = "' + "x" * 100000 + '";\ns[254]\ns[255]\n' + MAIN, [bad(1, 200, "Bad syntax 'Constant'")],
                 b"120\r\n0\r\n"),
                (f"#define {m} 7\n#define {'N' * 32} 8\nint x;\n#define BODY {'1+' * 128}1\nint y;\n"
                 f"#define OK 3\nOK + {m}\n" + MAIN,
                 [bad(2, 201, invalid), bad(5, 200, "Bad syntax '#define'")], b"8\r\n10\r\n"),
                ("#" + "d" * 100000 + "\n" + MAIN, [bad(1, 200, "Bad syntax '#" + "d" * 126 + "'")], None),
                (f'#include "{inc}"\n' + MAIN, [bad(1, 900, f"Can't open include file '{inc}'")], None),
                (chain + "M0 + 1\n" + MAIN, [bad(n, 200, "Bad syntax 'M0'") for n in (302, 303)], b"5\r\n")):
            self.assertClean(self.script(text), 0, errors, trace)
        # An include name longer than its buffer; expansions nested deeper than the push-back store
        # holds are refused, not overrun.
        nest = "".join(f"#define {c} {chr(ord(c) + 1)}" + " + 1" * 60 + "\n" for c in "ABCDEFG")
        for text, error in (('#include "' + "i" * 300 + '"\n', "s.c (1) : error 900 : Can't open incl"),
                            (nest + "int H;\nA\n", "s.c (9) : error 100 : Out of m")):
            r = self.script(text + MAIN)
            self.assertEqual((r.others, r.errors[0][:len(error)], r.status), ([], error, 0))

    def test_control_and_high_bytes(self):
        for byte in list(range(0, 9)) + [11, 12] + list(range(14, 32)) + list(range(127, 256)):
            r = self.script(b"int x;\nx = 1 + " + bytes([byte]) + b"2\nx + 40\n" + MAIN.encode())
            want = "s.c (2) : error 502 : Unexpected character '" + (chr(byte) if byte else " ") + "'"
            self.assertEqual((r.others, r.status, r.errors[0]), ([], 0, want), byte)
            if byte <= 8:  # reported and dropped
                self.assertEqual((r.errors, r.trace), ([want], b"3\r\n43\r\n"), byte)
            else:  # the rest of the file is still read
                self.assertTrue(r.trace.endswith(b"\r\n41\r\n"), byte)

    def test_input_that_ends_early_and_line_numbers(self):
        ran, at = "s.c (1) : error 302 : Bad operand /", "s.c (2) : error "  # main ran
        eof = "s.c (3) : error 501 : Unexpected end of file"
        for tail, errors in (("/* open\n", [eof, ran]), ('!"open\n', [ran]), ("'x", [at + "500 : Expected '''", ran]),
                             ("#define LAST", [ran]), ("#define", [at + "201 : Invalid indentifier", ran]),
                             ('#include "open', [at + "500 : Expected '\"'", ran]),
                             ("#include", [at + "502 : Unexpected character ' '", ran]),
                             ("#inc", [at + "200 : Bad syntax '#inc'", ran]), ("int f() { return 1;\n", [eof])):
            self.assertClean(self.script("int main() { return 1 / 0; }\n" + tail), 0, errors)
        for end in ("\n", "\r\n"):  # line numbers far down
            text = end * 40000 + "int main() {" + end + "  return 1 / 0;" + end + "}" + end
            self.assertClean(self.script(text), 0, ["s.c (40002) : error 302 : Bad operand /"])
        # A lone CR is half a line end, also after a lone LF.
        self.assertClean(self.script("int x;\n\r#bad\n" + MAIN), 0, ["s.c (3) : error 200 : Bad syntax '#bad'"])


if __name__ == "__main__":
    OXEL = os.path.abspath(sys.argv.pop(sys.argv.index("--oxel") + 1))
    sys.argv.remove("--oxel")
    unittest.main(verbosity=2)
