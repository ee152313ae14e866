// What the register compiler makes of bodies: the fused forms, tables and typed results that
// make compiled code fast, and what it leaves to the walker. Scripts cannot see these (they get
// the same values either way), so a fault here would only show as a slower run.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "decl/symbols.h"
#include "eval/register_insn.h"
#include "eval/value.h"
#include "platform/posix/posix_shell.h"
#include "shell/driver.h"
#include "shell/modes.h"

using namespace regcode;

namespace {

// Each function is called once at the top level, which compiles it.
const char *const script = R"(
int a[100];
int sum(n) int n; { int i, s; s = 0; for (i = 0; i < n; i++) s = s + a[i]; return s; }
sum(10)
int count(n) int n; { int i; i = 0; while (i < n) i++; return i; }
count(3)
int dense(x) int x; { switch (x) { case 1: return 10; case 2: return 20; case 4: return 40; } return 0; }
dense(2)
int sparse(x) int x; { switch (x) { case 1: return 1; case 1000: return 2; case 100000: return 3; } return 0; }
sparse(1000)
int fib(n) int n; { if (n < 2) return n; return fib(n - 1) + fib(n - 2); }
fib(5)
double half(n) int n; { return n / 2.0; }
half(3)
char *word(n) int n; { if (n) return "yes"; return "no"; }
word(1)
double whole(n) int n; { return n; }
int mixed(n) int n; { int k; k = whole(n) > 1; return k + 1; }
mixed(1)
int nested(n) int n; { if (n) { again: n--; if (n) goto again; } return n; }
nested(2)
int bytes(p) char *p; { int h; h = 0; while (*p) { h = h * 31 + *p; p++; } return h; }
bytes("ab")
void main() { }
)";

class CompiledScript : public ::testing::Environment {
public:
  void SetUp() override {
    char path[] = "/tmp/oxel-unit-XXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, script, std::char_traits<char>::length(script)),
              static_cast<ssize_t>(std::char_traits<char>::length(script)));
    close(fd);
    posix_set_trace(std::fopen("/dev/null", "wb"));
    posix_set_error_policy(ON_ERROR_CONTINUE);
    arena_init();
    compiled_code = true;
    const char *args[] = {"oxel", "-run", path};
    interpreter_main(3, args);
    unlink(path);
  }
};

const RegisterCode *code(const char *name) {
  Symbol *fn = nullptr;
  if (!sym_find(name, &fn)) return nullptr;
  return code_of(fn);
}

int count_ops(const RegisterCode *rc, bool (*pred)(Op)) {
  return static_cast<int>(
      std::count_if(rc->code.begin(), rc->code.end(), [pred](const Insn &in) { return pred(in.op); }));
}

bool through_walker(Op op) { return op == OP_WALK || op == OP_EVAL || op == OP_DECLARE; }

TEST(RegisterCode, LoopsCompileToFusedForms) {
  const RegisterCode *rc = code("sum");
  ASSERT_NE(rc, nullptr);
  EXPECT_EQ(count_ops(rc, through_walker), 0);
  // The element is loaded by one indexed instruction, the sum written straight to its slot, the
  // jump back compares and checks for an interrupt in one, and no separate check is left.
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_LDX32; }), 1);
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_ADD_F_FR; }), 1);
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_MOV || op == OP_MOV_FR; }), 0);
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_JLTC_FF; }), 1);
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_CHECK; }), 0);
  // i = 0, the test before the loop, i++ on a word in the frame, the test and jump back, the
  // return and the end.
  const RegisterCode *w = code("count");
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(count_ops(w, [](Op op) { return op == OP_INCW_F; }), 1);
  EXPECT_EQ(static_cast<int>(w->code.size()), 6);
}

TEST(RegisterCode, CharLoopsLoadThroughThePointer) {
  const RegisterCode *rc = code("bytes");
  ASSERT_NE(rc, nullptr);
  EXPECT_EQ(count_ops(rc, through_walker), 0);
  // *p before the loop, in the body and in the test of the jump back.
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_LDM8S; }), 3);
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_INCW_F; }), 1);
}

TEST(RegisterCode, SwitchesJumpByTable) {
  const RegisterCode *d = code("dense");
  const RegisterCode *s = code("sparse");
  ASSERT_NE(d, nullptr);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(d->tables.size(), 1u);
  ASSERT_EQ(s->tables.size(), 1u);
  // Close values index a table; far ones are searched in sorted order.
  EXPECT_EQ(d->tables[0]->low, 1);
  EXPECT_EQ(d->tables[0]->dense.size(), 4u);
  EXPECT_TRUE(s->tables[0]->dense.empty());
  ASSERT_EQ(s->tables[0]->cases.size(), 3u);
  EXPECT_TRUE(std::is_sorted(s->tables[0]->cases.begin(), s->tables[0]->cases.end()));
}

TEST(RegisterCode, ResultsAreTypedWhenEveryReturnIs) {
  ASSERT_NE(code("fib"), nullptr);
  EXPECT_TRUE(code("fib")->typed_result);
  // Each call takes its one argument from a temporary; the returns read a slot and a temporary.
  EXPECT_EQ(count_ops(code("fib"), [](Op op) { return op == OP_CALL1_R; }), 2);
  EXPECT_EQ(count_ops(code("fib"), [](Op op) { return op == OP_RET_F || op == OP_RET_R; }), 2);
  EXPECT_EQ(count_ops(code("fib"), through_walker), 0);
  ASSERT_NE(code("half"), nullptr);
  EXPECT_TRUE(code("half")->typed_result);
  EXPECT_EQ(count_ops(code("half"), [](Op op) { return op == OP_RETD; }), 1);
  // A string's head names its pointee: callers take the result as a pointer word.
  ASSERT_NE(code("word"), nullptr);
  EXPECT_FALSE(code("word")->typed_result);
  EXPECT_TRUE(code("word")->word_result);
}

TEST(RegisterCode, WhatItCannotTypeRunsThroughTheWalker) {
  // A call whose result has no type the compiler can prove (a double function that returns an
  // int gives the int) is evaluated by the walker; the rest of the body stays compiled.
  const RegisterCode *rc = code("mixed");
  ASSERT_NE(rc, nullptr);
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_EVAL; }), 1);
  EXPECT_EQ(count_ops(rc, [](Op op) { return op == OP_RET_R; }), 1);
  // A label inside a nested statement leaves the whole body to the walker.
  EXPECT_EQ(code("nested"), nullptr);
}

}  // namespace

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new CompiledScript);
  return RUN_ALL_TESTS();
}
