// The symbol table: lookups across scope levels, the tag and label classes, member lookups, and
// the storage that declarations give to globals, parameters, locals and members.
#include "decl/symbols.h"

#include <string>
#include <vector>

#include "eval/value.h"
#include "test_support.h"

class Symbols : public OxelTest {
protected:
  static std::vector<std::string> names(const Symbol *list) {
    std::vector<std::string> out;
    for (; list; list = list->link) out.push_back(list->name);
    return out;
  }
};

TEST_F(Symbols, InnermostLevelWinsAndDeclaringSearchesOneLevel) {
  declaring = true;
  Symbol *global = sym_enter("g");
  Symbol *only_global = sym_enter("h");
  enter_scope();
  enter_scope();
  EXPECT_EQ(find("g"), nullptr);  // declaring: the current level only
  Symbol *local = sym_enter("g");
  EXPECT_NE(local, global);
  EXPECT_EQ(find("g"), local);
  declaring = false;
  EXPECT_EQ(find("g"), local);
  EXPECT_EQ(find("h"), only_global);
  // An unknown name met while not declaring goes to the global table with the class in force.
  set_cur_stg(STG_STATIC);
  Symbol *undeclared = sym_enter("u");
  set_cur_stg(STG_AUTO);
  leave_scope();
  leave_scope();
  EXPECT_EQ(scope_level, 0);
  EXPECT_EQ(find("g"), global);
  EXPECT_EQ(find("u"), undeclared);
  EXPECT_EQ(undeclared->stg, STG_STATIC);
  EXPECT_EQ(names(*scope_table(0)), (std::vector<std::string>{"g", "h", "u"}));
}

TEST_F(Symbols, TagsHaveOneNamespaceAtEveryLevel) {
  declaring = true;
  Symbol *var = sym_enter("S");
  enter_scope();
  enter_scope();
  enter_scope();
  set_cur_stg(STG_TAG);
  EXPECT_EQ(find("S"), nullptr);
  Symbol *tag = sym_enter("S");
  EXPECT_EQ(tag->stg, STG_TAG);
  EXPECT_EQ(*scope_table(7), tag);
  leave_scope();
  leave_scope();
  leave_scope();
  EXPECT_EQ(find("S"), tag);
  set_cur_stg(STG_AUTO);
  EXPECT_EQ(find("S"), var);
}

TEST_F(Symbols, LabelsShareTheListOfTheOutermostBlock) {
  declaring = true;
  enter_scope();  // parameters
  enter_scope();  // the body's outermost block
  Symbol *local = sym_enter("v");
  set_cur_stg(STG_LABEL);
  EXPECT_EQ(scope_table(9), scope_table(1));
  EXPECT_EQ(find("v"), local);
  Symbol *label = sym_enter("done");
  EXPECT_EQ(label->stg, STG_LABEL);
  set_cur_stg(STG_AUTO);
  EXPECT_EQ(names(*scope_table(2)), (std::vector<std::string>{"v", "done"}));
  EXPECT_EQ(find("done"), label);
}

TEST_F(Symbols, MemberLookupSearchesTheStructOnce) {
  load("int i;\nstruct S { char c; int i; } s;\n");
  Symbol *s = find("s");
  Symbol *global_i = find("i");
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->type, TY_STRUCT);
  begin_member_lookup(s);
  Symbol *member = find("i");
  ASSERT_NE(member, nullptr);
  EXPECT_EQ(member->stg, STG_MEMBER);
  EXPECT_EQ(member->offset, 1);
  EXPECT_EQ(find("i"), global_i);  // the member mode holds for one lookup
  EXPECT_EQ(global_i->stg, STG_GLOBAL);
}

TEST_F(Symbols, StructAndUnionLayoutAndAnonymousTags) {
  load(
      "struct S { char c; int i; } s;\n"
      "union U { char c; int i; } u;\n"
      "struct { int a; } x;\n"
      "struct { char b; double d; } y;\n"
      "int after;\n"
      "struct O { short h; struct I { char x; int z; } in; char t; } o;\n");
  set_cur_stg(STG_TAG);
  Symbol *S = find("S");
  Symbol *U = find("U");
  set_cur_stg(STG_AUTO);
  ASSERT_NE(S, nullptr);
  ASSERT_NE(U, nullptr);
  EXPECT_EQ(S->type, TY_STAG);
  EXPECT_EQ(S->aux, 5);
  EXPECT_EQ(U->type, TY_UTAG);
  EXPECT_EQ(U->aux, 5);  // union members follow each other too
  EXPECT_EQ(names(S->members), (std::vector<std::string>{"c", "i"}));
  EXPECT_EQ(S->members->link->offset, 1);
  EXPECT_EQ(U->members->link->offset, 1);

  Symbol *x = find("x");
  Symbol *y = find("y");
  ASSERT_NE(aux_tag(x->aux), nullptr);
  EXPECT_STREQ(aux_tag(x->aux)->name, "@temp0");
  EXPECT_STREQ(aux_tag(y->aux)->name, "@temp1");
  EXPECT_EQ(find("@temp0"), aux_tag(x->aux));  // in the table of the level where it appeared
  EXPECT_EQ(td_size(y), 9);

  // Globals lie one after the other in the arena, without padding.
  EXPECT_EQ(find("s")->offset, 0);
  EXPECT_EQ(find("u")->offset, 5);
  EXPECT_EQ(x->offset, 10);
  EXPECT_EQ(y->offset, 14);
  EXPECT_EQ(find("after")->offset, 23);
  // A struct inside a struct: the inner body's members go to the inner tag.
  Symbol *o = find("o");
  EXPECT_EQ(o->offset, 27);
  EXPECT_EQ(td_size(o), 8);
  EXPECT_EQ(names(aux_tag(o->aux)->members), (std::vector<std::string>{"h", "in", "t"}));
  EXPECT_EQ(aux_tag(o->aux)->members->link->link->offset, 7);
  EXPECT_EQ(arena_top, 35);
}

TEST_F(Symbols, ParametersLocalsAndFrameSize) {
  load(
      "int f(a, b, p) char *b; int p[10]; int a;\n"
      "{ int i; double d; { char c; struct { int q; } z; } }\n");
  Symbol *f = find("f");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->type, TY_FUNC);
  EXPECT_EQ(f->ret_type, TY_INT);
  ASSERT_NE(f->scopes, nullptr);
  // Parameters lie from 0 upwards in the order they were named; an array parameter is a pointer.
  Symbol *a = first_param(f);
  Symbol *b = next_param();
  Symbol *p = next_param();
  EXPECT_EQ(next_param(), nullptr);
  ASSERT_NE(p, nullptr);
  EXPECT_STREQ(a->name, "a");
  EXPECT_EQ(a->offset, 0);
  EXPECT_EQ(b->offset, 4);
  EXPECT_EQ(p->offset, 8);
  EXPECT_EQ(p->type, TY_PTR);
  EXPECT_EQ(p->aux, 10);
  EXPECT_EQ(p->next->type, TY_INT);
  EXPECT_EQ(td_size(p), 4);
  // Locals lie downwards from the frame base, nested blocks below their enclosing block.
  std::vector<std::string> body = names(f->scopes[1]);
  EXPECT_EQ(body, (std::vector<std::string>{"i", "d"}));
  EXPECT_EQ(f->scopes[1]->offset, -4);
  EXPECT_EQ(f->scopes[1]->link->offset, -12);
  EXPECT_EQ(names(f->scopes[2]), (std::vector<std::string>{"c", "@temp0", "z"}));
  EXPECT_EQ(f->scopes[2]->offset, -13);
  EXPECT_EQ(f->scopes[2]->link->link->offset, -17);
  EXPECT_EQ(f->offset, -17);  // the frame size
}

TEST_F(Symbols, FirstParamOfAFunctionWithoutScopes) {
  Symbol *k = sym_enter("k");
  EXPECT_EQ(first_param(k), nullptr);
  EXPECT_EQ(next_param(), nullptr);
}
