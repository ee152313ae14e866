// Type descriptors: sizes, display names, building chains and printing them.
#include "decl/types.h"

#include <string>

#include "decl/symbols.h"
#include "shell/diagnostics.h"
#include "test_support.h"

class Types : public OxelTest {
protected:
  // A symbol of base type 'code' with the links 'then' pushed on it in order.
  static Symbol *make(const char *name, int code, std::initializer_list<std::pair<int, int>> then = {}) {
    Symbol *sym = sym_enter(name);
    set_sym_type(sym, code, 0);
    for (auto [link, count] : then) add_sym_type(sym, link, count);
    return sym;
  }
};

TEST_F(Types, SizesOfCodes) {
  const int sizes[] = {-1, 0, 1,  2,  1,  2,  4, 4,  4,  4,  4,  4,  // codes 0 to 11
                       4,  8, -1, -1, -1, -1, 4, -1, -1, -1, -1, -1};
  capture_errors();
  for (int code = 0; code <= 23; ++code) EXPECT_EQ(type_size(code), sizes[code]) << code;
  std::string errors = captured_errors();
  // Every code without a size is reported once.
  EXPECT_EQ(error_count, 10);
  EXPECT_EQ(errors.substr(0, errors.find('\n') + 1),
            "C Interpreter Error: test.c (1) : error 401 : Unknown type\n");
}

TEST_F(Types, NamesOfCodes) {
  const char *names[] = {"??",    "VOID", "char", "short", "UINT char", "UINT short", "UINT int", "UINT LONG",
                         "int",   "*",    "LONG", "enum",  "float",     "double",     "[]",       "struct",
                         "union", "??",   "??",   "??",    "??",        "<sTag>",     "<uTag>",   "??"};
  for (int code = 0; code <= 23; ++code) EXPECT_STREQ(type_name(code), names[code]) << code;
  EXPECT_STREQ(type_name(-1), "??");
}

TEST_F(Types, SizesOfChains) {
  EXPECT_EQ(td_size(make("c", TY_CHAR)), 1);
  EXPECT_EQ(td_size(make("us", TY_USHORT)), 2);
  EXPECT_EQ(td_size(make("d", TY_DOUBLE)), 8);
  EXPECT_EQ(td_size(make("pd", TY_DOUBLE, {{TY_PTR, 0}})), 4);
  EXPECT_EQ(td_size(make("m", TY_INT, {{TY_ARRAY, 3}, {TY_ARRAY, 2}})), 24);
  EXPECT_EQ(td_size(make("ap", TY_CHAR, {{TY_PTR, 0}, {TY_ARRAY, 5}})), 20);
  Symbol *tag = make("T", TY_STAG);
  tag->aux = 13;  // the tag's recorded size
  Symbol *s = make("s", TY_STRUCT);
  s->aux = tag_aux(tag);
  EXPECT_EQ(td_size(s), 13);
  add_sym_type(s, TY_ARRAY, 2);
  EXPECT_EQ(td_size(s), 26);
}

TEST_F(Types, PointerOnAStructKeepsTheTag) {
  Symbol *tag = make("T", TY_STAG);
  Symbol *sp = sym_enter("sp");
  set_sym_type(sp, TY_STRUCT, tag_aux(tag));
  add_sym_type(sp, TY_PTR, 0);
  EXPECT_EQ(sp->type, TY_PTR);
  EXPECT_EQ(aux_tag(sp->aux), tag);
  ASSERT_NE(sp->next, nullptr);
  EXPECT_EQ(sp->next->type, TY_STRUCT);
  EXPECT_EQ(sp->next->next, nullptr);
  EXPECT_EQ(aux_tag(sp->next->aux), tag);
}

TEST_F(Types, NonPositiveArrayCount) {
  capture_errors();
  Symbol *a = make("a", TY_INT, {{TY_ARRAY, 0}});
  Symbol *b = make("b", TY_INT, {{TY_ARRAY, -4}});
  EXPECT_EQ(captured_errors(),
            "C Interpreter Error: test.c (1) : error 306 : Bad array size\n"
            "C Interpreter Error: test.c (1) : error 306 : Bad array size\n");
  EXPECT_EQ(a->type, TY_ARRAY);
  EXPECT_EQ(a->aux, 0);
  EXPECT_EQ(td_size(a), 0);
  EXPECT_EQ(td_size(b), 0);
}

TEST_F(Types, PrintDeclShowsTheBaseTypeFirst) {
  Symbol *pp = make("pp", TY_CHAR, {{TY_PTR, 0}, {TY_PTR, 0}});
  print_decl(pp, pp, 0);
  trace_printf("|");
  Symbol *a = make("a", TY_INT, {{TY_PTR, 0}, {TY_ARRAY, 3}});
  print_decl(a, a, 0);
  trace_printf("|");
  Symbol *m = make("m", TY_INT, {{TY_ARRAY, 3}, {TY_ARRAY, 2}});
  print_decl(m, m, 0);
  EXPECT_EQ(trace_text(), "char**\tpp|int*\ta[3]|int\tm[2][3]");
}
