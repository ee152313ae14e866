#!/usr/bin/env python3
"""Random programs run twice, with compiled bodies and through the walker alone (OXEL_NO_PLANS=1):
any difference in trace, messages or status is printed with the program that shows it.

The programs mix what the register compiler types (ints, chars, shorts, doubles, pointers, arrays,
struct members, casts, sizeof, calls, loops, switch, goto) with what it leaves to the walker, and
include faults on purpose (indexes past the end, null pointers, division by zero) whose reports
must come at the same lines in the same order.

  python3 tests/fuzz/random_programs.py --oxel build/oxel [--count N] [--seed S] [--keep DIR]
"""
import argparse, os, random, subprocess, sys, tempfile

INTS = ["i", "j", "k", "a", "b"]
SMALL = ["c", "uc", "s", "us"]


def is_floating(t):
    return t in ("double", "float")


class Program:
    def __init__(self, rng):
        self.r = rng
        self.functions = []  # names of the int functions defined so far

    def const(self):
        return str(self.r.choice([0, 1, 2, 3, 7, 100, 255, 256, 32767, 65535, -1, -128, 1 << 20]))

    def lvalue(self):
        r = self.r.random()
        if r < 0.35: return self.r.choice(INTS)
        if r < 0.5: return self.r.choice(SMALL)
        if r < 0.6: return "g[%s & 7]" % self.atom()
        if r < 0.68: return "cb[%s & 15]" % self.atom()
        if r < 0.74: return "st[%s & 1].%s" % (self.atom(), self.r.choice(["a", "c", "s"]))
        if r < 0.8: return "ps->%s" % self.r.choice(["a", "c", "s"])
        if r < 0.86: return "*p"
        if r < 0.88: return "p[%s & 3]" % self.atom()
        if r < 0.92: return self.r.choice(["dg[%s & 3]" % self.atom(), "st[%s & 1].d" % self.atom(), "ps->d"])
        if r < 0.95: return "m2[%s & 3][%s & 3]" % (self.atom(), self.atom())
        if r < 0.97: return self.r.choice(["fv", "fg[%s & 3]" % self.atom()])
        return "d"

    def atom(self):
        r = self.r.random()
        if r < 0.3: return self.const()
        if r < 0.6: return self.r.choice(INTS + SMALL + ["n0", "n1"])
        if r < 0.7: return "g[%s & 7]" % self.r.choice(INTS)
        return self.r.choice(["cb[i & 15]", "st[1].c", "ps->s", "*q", "sizeof(struct S)", "sizeof st[0].c",
                              "(int) dg[j & 3]", "m2[i & 3][j & 3]", "m2[a][b]", "(int) (fv * 3)", "(fg[i & 3] < fv)", "(p - g)", "*(p + (i & 7))", "(q + 3 == cb + 3)", "(int) q", "-2147483647 - 1",
                              "((-2147483647 - 1) / -1)", "(uc << 30)", "(s >> 40)", "(int) (ps->d * 10)", "*pick(i)", "(int) scale(j)",
                              "sizeof(pick(i)[0])", "(pick(j) == cb)"])

    def expr(self, depth=0):
        r = self.r.random()
        if depth > 2 or r < 0.3: return self.atom()
        if r < 0.6:
            op = self.r.choice(["+", "-", "*", "/", "&", "|", "^", "<<", ">>", "<", ">", "<=", ">=", "==", "!="])
            return "(%s %s %s)" % (self.expr(depth + 1), op, self.expr(depth + 1))
        if r < 0.68: return "%s(%s)" % (self.r.choice(["-", "!"]), self.expr(depth + 1))
        if r < 0.76:
            t = self.r.choice(["char", "unsigned char", "short", "unsigned short", "int", "long", "double", "float"])
            return "(int) (%s) %s" % (t, self.atom()) if is_floating(t) else "(%s) %s" % (t, self.atom())
        if r < 0.82: return "%s%s" % (self.r.choice(INTS), self.r.choice(["++", "--"]))
        if r < 0.86: return "(int) (d * %s)" % self.atom()
        if r < 0.9 and self.functions:
            return "%s(%s, %s)" % (self.r.choice(self.functions), self.atom(), self.atom())
        if r < 0.94: return "(%s = %s)" % (self.lvalue(), self.expr(depth + 1))
        return "strlen(cb + (%s & 7))" % self.r.choice(INTS)

    def statement(self, depth, out, indent):
        pad = "    " * indent
        r = self.r.random()
        if depth > 2 or r < 0.45:
            out.append("%s%s = %s;" % (pad, self.lvalue(), self.expr()))
        elif r < 0.55:
            out.append("%sif (%s)" % (pad, self.expr()))
            self.statement(depth + 1, out, indent + 1)
            if self.r.random() < 0.5:
                out.append("%selse" % pad)
                self.statement(depth + 1, out, indent + 1)
        elif r < 0.65:
            v = "n%d" % depth  # loop counters only the loop writes
            out.append("%sfor (%s = 0; %s < %d; %s++) {" % (pad, v, v, self.r.randint(0, 6), v))
            for _ in range(self.r.randint(1, 3)): self.statement(depth + 1, out, indent + 1)
            if self.r.random() < 0.2: out.append("%s    if (%s) break;" % (pad, self.expr()))
            out.append("%s}" % pad)
        elif r < 0.72:
            v = "n%d" % depth
            out.append("%s{ %s = 0;" % (pad, v))
            out.append("%swhile (%s < %d) {" % (pad, v, self.r.randint(0, 5)))
            self.statement(depth + 1, out, indent + 1)
            out.append("%s    %s++;" % (pad, v))
            out.append("%s} }" % pad)
        elif r < 0.8:
            out.append("%sswitch (%s & 7) {" % (pad, self.expr()))
            for v in sorted(self.r.sample(range(8), self.r.randint(1, 4))):
                out.append("%scase %d:" % (pad, v))
                self.statement(depth + 1, out, indent + 1)
                if self.r.random() < 0.6: out.append("%s    break;" % pad)
            if self.r.random() < 0.5:
                out.append("%sdefault:" % pad)
                self.statement(depth + 1, out, indent + 1)
            out.append("%s}" % pad)
        elif r < 0.85:
            out.append("%sif (%s) return %s;" % (pad, self.expr(), self.expr()))
        elif r < 0.9:
            out.append("%s%s = %s * 0.5 + %s;" % (pad, self.r.choice(["d", "fv"]), self.r.choice(["d", "fv"]), self.expr()))
        elif r < 0.93:
            out.append("%sp = %s;" % (pad, self.r.choice(["g", "g + 4", "&a", "0", "(int *) cb", "&st[0].a"])))
        elif r < 0.95:
            out.append("%sif (%s) goto out;" % (pad, self.expr()))
        else:
            out.append("%sq = %s;" % (pad, self.r.choice(["cb", "cb + 3", "0", "(char *) g", "&st[1].c"])))

    def function(self, name):
        out = ["int %s(a, b) int a, b;" % name, "{",
               "    int i, j, k, n0, n1, n2, *p;", "    char c, *q;", "    unsigned char uc;", "    short s;",
               "    unsigned short us;", "    double d;", "    float fv;", "    struct S *ps;",
               "    i = j = k = 0; c = uc = s = us = 0; d = 1.5; fv = 0.1; p = g; q = cb; ps = &st[0];"]
        for _ in range(self.r.randint(3, 8)): self.statement(0, out, 1)
        out.append("out:")
        out.append("    return i + j * 3 + k * 5 + c + uc + s + us + a - b + (int) d + *q;")
        out.append("}")
        self.functions.append(name)
        return out

    def text(self):
        out = ["struct S { int a; char c; short s; double d; };", "int g[8];", "char cb[16];",
               "struct S st[2];", "double dg[4];", "int m2[3][4];", "float fg[4];", 'strcpy(cb, "abcdefghijklmno");',
               'char *pick(n) int n; { if (n & 1) return cb + (n & 7); if (n & 2) return "odd"; return cb; }',
               "double scale(n) int n; { if (n > 3) return n * 1.5; return dg[n & 3] + 0.25; }"]
        for n in range(self.r.randint(2, 5)):
            out += self.function("f%d" % n)
            for _ in range(2): out.append("f%d(%s, %s)" % (n, self.const(), self.const()))
            if self.r.random() < 0.2:  # a global declared again: new storage, which compiled callers must see
                out.append(self.r.choice(["int g[8];", "double dg[4];", "struct S st[2];"]))
        out.append("void main() { }")
        return "\n".join(out) + "\n"


def run(oxel, path, walker):
    env = dict(os.environ)
    env.pop("OXEL_HOST", None)
    if walker: env["OXEL_NO_PLANS"] = "1"
    else: env.pop("OXEL_NO_PLANS", None)
    try:
        p = subprocess.run([oxel, "--on-error=continue", "--trace=-", path], capture_output=True, env=env,
                           timeout=20, stdin=subprocess.DEVNULL)
        return p.returncode, p.stdout, p.stderr
    except subprocess.TimeoutExpired:
        return "timeout", b"", b""


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--oxel", required=True)
    ap.add_argument("--count", type=int, default=200)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--keep", help="folder for the programs that differ")
    a = ap.parse_args()
    differ = 0
    with tempfile.TemporaryDirectory() as tmp:
        for n in range(a.count):
            seed = a.seed + n
            text = Program(random.Random(seed)).text()
            path = os.path.join(tmp, "p%d.c" % seed)
            with open(path, "w") as f: f.write(text)
            compiled, walker = run(a.oxel, path, False), run(a.oxel, path, True)
            if compiled != walker:
                differ += 1
                print("seed %d differs:\n  compiled %r\n  walker   %r" % (seed, compiled[:2], walker[:2]))
                for x, y in zip(compiled[2].splitlines(), walker[2].splitlines()):
                    if x != y: print("  first message that differs:\n    %s\n    %s" % (x, y)); break
                if a.keep:
                    os.makedirs(a.keep, exist_ok=True)
                    with open(os.path.join(a.keep, "p%d.c" % seed), "w") as f: f.write(text)
    print("%d of %d programs differ" % (differ, a.count))
    return 1 if differ else 0


if __name__ == "__main__":
    sys.exit(main())
