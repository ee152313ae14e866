#!/usr/bin/env python3
"""The documents of man/ stay true: every script in them passes oxel --check, the tutorial runs as
written against the test server, the references name exactly what exists (the kt functions with
their prototypes, kt.h's constants, the phonebook's keys, the built-ins, the message ids), and
each installed man page is made from its Markdown. Run: docs_test.py --oxel PATH [unittest options]."""
import os, re, shutil, subprocess, sys, tempfile, unittest
from pathlib import Path

SOURCE = Path(__file__).resolve().parent.parent
MAN = SOURCE / "man"
OXEL = None
BLOCK = re.compile(r"^```(\w*)\n(.*?)^```", re.S | re.M)
FILE_NAME = re.compile(r"(?:/\*|;) ([\w.-]+): ")  # the first line of a block that is a file


def page(name):
    return (MAN / f"{name}.md").read_text()


def blocks(text, kind):
    return [body for tag, body in BLOCK.findall(text) if tag == kind]


def first_column(text, heading):
    """The first cells (no backticks) of the tables under 'heading', up to the next heading as high."""
    level = heading.split(" ")[0]
    part = text.split(heading + "\n", 1)[1]
    part = re.split(rf"^#{{1,{len(level)}}} ", part, flags=re.M)[0]
    rows = re.findall(r"^\| *`?([^`|]+?)`? *\|", part, re.M)
    return {r for r in rows if not set(r) <= set("-: ") and r not in ("function", "key", "id", "name")}


def source_file(path, pattern):
    return re.findall(pattern, (SOURCE / path).read_text(), re.M)


class Scripts(unittest.TestCase):
    def test_every_script_passes_the_check(self):
        checked_by_the_tutorial = set(re.findall(r"^\$ oxel --check (\S+)", page("oxel-tutorial"), re.M))
        work = Path(tempfile.mkdtemp(prefix="oxel-docs-"))
        self.addCleanup(shutil.rmtree, work, True)
        count = 0
        for md in sorted(MAN.glob("*.md")):
            for n, script in enumerate(blocks(md.read_text(), "c")):
                name = FILE_NAME.match(script)
                if name and name[1] in checked_by_the_tutorial:
                    continue
                path = work / f"{md.stem}-{n}.c"
                path.write_text(script)
                run = subprocess.run([OXEL, "--check", path], capture_output=True, text=True, timeout=30)
                with self.subTest(page=md.name, block=n, start=script[:60]):
                    self.assertEqual((run.returncode, run.stderr), (0, ""))
                count += 1
        self.assertGreater(count, 10)

    def test_the_pages_are_made_from_their_markdown(self):
        for md in sorted(MAN.glob("*.md")):
            section = re.match(r"# \S+\((\d)\)", md.read_text())[1]
            made = subprocess.run([sys.executable, MAN / "md2man.py", md], capture_output=True, text=True)
            with self.subTest(page=md.name):
                self.assertEqual(made.returncode, 0, made.stderr)
                installed = MAN / f"{md.stem}.{section}"
                self.assertTrue(installed.exists(), f"run: python3 man/md2man.py {md} > {installed}")
                self.assertEqual(made.stdout, installed.read_text(), f"run: python3 man/md2man.py {md} > {installed}")


class References(unittest.TestCase):
    def test_the_kt_reference_has_every_function_with_its_prototype_and_status(self):
        bindings = {name: (kind, int(args)) for name, args, kind in source_file(
            "builtins/host_bindings.h", r"^\s*X\((kt\w+),\s*(\d+),\s*TY_(INT|LONG)")}
        self.assertEqual(len(bindings), 104)
        entries = re.split(r"^### ", page("oxel-kt"), flags=re.M)[1:]
        documented = {}
        for entry in entries:
            name = entry.split("\n", 1)[0].strip()
            if not name.startswith("kt"):
                continue
            proto = re.search(rf"```text\n(int|long) {name}\(([^)]*)\)\n```", entry)
            with self.subTest(function=name):
                self.assertIsNotNone(proto, "a ```text block with the prototype")
                args = [a for a in proto[2].split(",") if a.strip() not in ("", "void")]
                documented[name] = (proto[1].upper(), len(args))
                self.assertRegex(entry, r"\*\*Status:\*\* (full|partly|no-op)")
        self.assertEqual(documented, bindings)

    def test_the_pages_name_kt_h_constants_that_exist_and_the_reference_names_them_all(self):
        defined = set(source_file("host/kt.h", r"^#define (KT_\w+)"))
        reference = page("oxel-kt")
        self.assertEqual(defined - set(re.findall(r"\bKT_\w+", reference)), set())
        for md in MAN.glob("*.md"):
            with self.subTest(page=md.name):
                self.assertEqual(set(re.findall(r"\bKT_[A-Z0-9_]+\b", md.read_text())) - defined, set())

    def test_the_phonebook_keys_are_those_of_the_library(self):
        keys = set(source_file("host/phonebook.cpp", r'^\s*\{"([A-Z]\w*)", (?:"[^"]*"|nullptr)\},'))
        self.assertIn("LineEnd", keys)
        self.assertEqual(first_column(page("oxel-sessions"), "### Keys"), keys)

    def test_the_language_page_lists_the_builtins_and_the_messages(self):
        builtins = set(source_file("builtins/builtin_table.cpp", r'^\s*\{TY_\w+,\s*"(\w+)"'))
        language = page("oxel-language")
        self.assertEqual(first_column(language, "### Built-in functions"), builtins)
        ids = {i for i in source_file("resources/messages.def", r"^MSG\((\d+),") if int(i) < 920 or i == "999"}
        self.assertEqual(first_column(language, "## Messages"), ids)


class Tutorial(unittest.TestCase):
    """The tutorial's files are written, its commands run in order in an empty folder, and each
    transcript ('$ command' lines and the output that follows them) must show what the commands
    print; the log's times are left out of the comparison."""

    def setUp(self):
        if not (Path(OXEL).parent / "librv32auto.so").exists():
            self.skipTest("no librv32auto.so next to oxel")
        self.work = Path(tempfile.mkdtemp(prefix="oxel-tutorial-"))
        self.addCleanup(shutil.rmtree, self.work, True)
        self.server = subprocess.Popen([sys.executable, SOURCE / "tests/host/login_server.py"],
                                       stdout=subprocess.PIPE, text=True)
        for cleanup in (self.server.stdout.close, self.server.wait, self.server.kill):  # run last to first
            self.addCleanup(cleanup)
        self.port = self.server.stdout.readline().strip().rsplit(":", 1)[1]
        self.env = dict(os.environ, PATH=f"{Path(OXEL).parent}:{os.environ['PATH']}", HOME=str(self.work))

    def run_shell(self, command):
        """Status and output (both streams, in order; an output that does not end a line is shown as
        a line) of one command; '$?' is the status of the command before."""
        command = command.replace("2323", self.port).replace("$?", str(self.status))
        run = subprocess.run(["bash", "-c", command], cwd=self.work, env=self.env, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, text=True, timeout=120)
        self.status = run.returncode
        out = run.stdout.replace("\r\n", "\n")
        return run.returncode, out + "\n" if out and not out.endswith("\n") else out

    def test_the_tutorial_runs_as_written(self):
        steps, self.status = 0, 0
        for tag, body in BLOCK.findall(page("oxel-tutorial")):
            name = FILE_NAME.match(body)
            if tag in ("c", "ini") and name:
                (self.work / name[1]).write_text(body.replace("2323", self.port))
            elif tag == "sh":
                status, out = self.run_shell(body)
                self.assertEqual(status, 0, f"{body}\n{out}")
            elif tag == "text" and body.startswith("$ "):
                for command, shown in re.findall(r"^\$ (\S.*)\n((?:(?!\$ \S).*\n)*)", body, re.M):
                    status, out = self.run_shell(command)
                    times = re.compile(r"^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d ", re.M)
                    with self.subTest(command=command):
                        self.assertEqual(times.sub("", out), times.sub("", shown))
            else:
                continue
            steps += 1
        self.assertGreater(steps, 15)


if __name__ == "__main__":
    if "--oxel" in sys.argv:  # only the references can be checked without it
        OXEL = os.path.abspath(sys.argv.pop(sys.argv.index("--oxel") + 1))
        sys.argv.remove("--oxel")
    unittest.main()
