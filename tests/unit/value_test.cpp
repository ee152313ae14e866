// Script memory: loads and stores with their conversions, the arena's bounds, its allocators and
// the call stack, and malloc and realloc on the arena.
#include <cstring>
#include <string>

#include "builtins/builtin_table.h"
#include "decl/symbols.h"
#include "eval/value.h"
#include "shell/diagnostics.h"
#include "shell/driver.h"
#include "test_support.h"

namespace {

constexpr int SPOT = 100;  // arena offset that the tests load from and store to

std::uint32_t at(int offset) { return arena_base + static_cast<std::uint32_t>(offset); }
std::uint8_t *mem(int offset) { return arena_ptr(at(offset), 1); }

Value int_value(std::int32_t i) {
  Value v;
  v.type = TY_INT;
  v.imm.i = i;
  return v;
}

Value double_value(double d, int type = TY_DOUBLE) {
  Value v;
  v.type = type;
  v.imm.d = d;
  return v;
}

// The bytes at SPOT, as hexadecimal pairs.
std::string bytes(int n) {
  std::string out;
  char buf[4];
  for (int i = 0; i < n; ++i) {
    std::snprintf(buf, sizeof buf, "%02x", mem(SPOT)[i]);
    out += buf;
  }
  return out;
}

}  // namespace

class Memory : public OxelTest {
protected:
  void SetUp() override {
    OxelTest::SetUp();
    executing = true;
  }
  void fill(const char *hex) {
    for (int i = 0; hex[2 * i]; ++i)
      mem(SPOT)[i] = static_cast<std::uint8_t>(std::stoi(std::string(hex + 2 * i, 2), nullptr, 16));
  }
  Value load(int code) {
    Value v;
    v.type = code;
    v.imm.i = 0x5A5A5A5A;
    mem_load(&v, at(SPOT), code);
    return v;
  }
  // Stores 'v' as 'code' over eight 0xAA bytes; returns the eight bytes afterwards.
  std::string store(const Value &v, int code) {
    fill("aaaaaaaaaaaaaaaa");
    mem_store(&v, at(SPOT), code);
    return bytes(8);
  }
};

TEST_F(Memory, LoadsPromoteSmallIntegers) {
  fill("ff80ffff");
  EXPECT_EQ(load(TY_CHAR).imm.i, -1);
  EXPECT_EQ(load(TY_CHAR).type, TY_INT);
  EXPECT_EQ(load(TY_UCHAR).imm.i, 255);
  EXPECT_EQ(load(TY_UCHAR).type, TY_INT);
  EXPECT_EQ(load(TY_SHORT).imm.i, -32513);  // 0x80ff
  EXPECT_EQ(load(TY_SHORT).type, TY_INT);
  EXPECT_EQ(load(TY_USHORT).imm.i, 0x80ff);
  EXPECT_EQ(load(TY_USHORT).type, TY_INT);
  for (int code : {TY_INT, TY_UINT, TY_LONG, TY_ULONG, TY_ENUM, TY_PTR, TY_FUNC}) {
    EXPECT_EQ(load(code).imm.i, static_cast<std::int32_t>(0xffff80ff)) << code;
    EXPECT_EQ(load(code).type, code);
  }
  float f = 1.5f;
  std::memcpy(mem(SPOT), &f, sizeof f);
  EXPECT_EQ(load(TY_FLOAT).imm.d, 1.5);
  EXPECT_EQ(load(TY_FLOAT).type, TY_FLOAT);
  double d = -2.25;
  std::memcpy(mem(SPOT), &d, sizeof d);
  EXPECT_EQ(load(TY_DOUBLE).imm.d, -2.25);
  // Aggregates load as their own address.
  for (int code : {TY_ARRAY, TY_STRUCT, TY_UNION})
    EXPECT_EQ(static_cast<std::uint32_t>(load(code).imm.i), at(SPOT)) << code;
  EXPECT_EQ(error_count, 0);
}

TEST_F(Memory, LoadsOfUnknownCodesAndOutsideTheChecking) {
  capture_errors();
  EXPECT_EQ(load(TY_VOID).imm.i, 0x5A5A5A5A);
  EXPECT_EQ(load(TY_LABEL).imm.i, 0x5A5A5A5A);
  EXPECT_EQ(captured_errors(), "C Interpreter Error: test.c (1) : error 401 : Unknown type\n"
                               "C Interpreter Error: test.c (1) : error 401 : Unknown type\n");
  // The checking pass loads nothing: the value is unknown, a non-zero stand-in that is counted.
  executing = false;
  fill("07000000");
  unsigned unknown = unknown_values;
  EXPECT_EQ(load(TY_INT).imm.i, 1);
  EXPECT_EQ(unknown_values, unknown + 1);
}

TEST_F(Memory, StoresFromIntegers) {
  EXPECT_EQ(store(int_value(0x141), TY_CHAR), "41aaaaaaaaaaaaaa");
  EXPECT_EQ(store(int_value(-1), TY_UCHAR), "ffaaaaaaaaaaaaaa");
  EXPECT_EQ(store(int_value(0x12345), TY_SHORT), "4523aaaaaaaaaaaa");
  EXPECT_EQ(store(int_value(0x12345), TY_USHORT), "4523aaaaaaaaaaaa");
  for (int code : {TY_INT, TY_UINT, TY_LONG, TY_ULONG, TY_ENUM, TY_PTR, TY_FUNC})
    EXPECT_EQ(store(int_value(0x01020304), code), "04030201aaaaaaaa") << code;
  EXPECT_EQ(store(int_value(-3), TY_FLOAT), "000040c0aaaaaaaa");  // -3.0f
  EXPECT_EQ(store(int_value(-3), TY_DOUBLE), "00000000000008c0");  // -3.0
  capture_errors();
  for (int code : {TY_ARRAY, TY_STRUCT, TY_UNION, TY_VOID})
    EXPECT_EQ(store(int_value(1), code), "aaaaaaaaaaaaaaaa") << code;
  EXPECT_EQ(error_count, 4);
  EXPECT_NE(captured_errors().find("error 401 : Unknown type"), std::string::npos);
}

TEST_F(Memory, StoresFromFloatingValues) {
  EXPECT_EQ(store(double_value(3.9), TY_INT), "03000000aaaaaaaa");
  EXPECT_EQ(store(double_value(-3.9), TY_INT), "fdffffffaaaaaaaa");
  EXPECT_EQ(store(double_value(3e9), TY_LONG), "005ed0b2aaaaaaaa");  // low 32 bits of 3000000000
  EXPECT_EQ(store(double_value(300.7), TY_CHAR), "2caaaaaaaaaaaaaa");
  EXPECT_EQ(store(double_value(70000.9, TY_FLOAT), TY_USHORT), "7011aaaaaaaaaaaa");
  EXPECT_EQ(store(double_value(1.5), TY_FLOAT), "0000c03faaaaaaaa");
  EXPECT_EQ(store(double_value(1.5, TY_FLOAT), TY_DOUBLE), "000000000000f83f");
  capture_errors();
  for (int code : {TY_UCHAR, TY_PTR, TY_STRUCT, TY_FUNC})
    EXPECT_EQ(store(double_value(1.0), code), "aaaaaaaaaaaaaaaa") << code;
  EXPECT_EQ(error_count, 4);
  EXPECT_NE(captured_errors().find("error 401 : Unknown type"), std::string::npos);
}

TEST_F(Memory, AccessesMustLieWhollyInsideTheArena) {
  capture_errors();
  Value v = int_value(7);
  mem_load(&v, at(ARENA_SIZE - 1), TY_CHAR);  // the last byte is inside
  mem_load(&v, at(ARENA_SIZE - 2), TY_INT);   // starts inside, ends outside
  mem_load(&v, at(ARENA_SIZE - 4), TY_DOUBLE);
  mem_load(&v, arena_base - 1, TY_CHAR);
  mem_store(&v, at(ARENA_SIZE - 3), TY_INT);
  mem_store(&v, 0, TY_CHAR);
  EXPECT_EQ(v.imm.i, 0);
  EXPECT_EQ(error_count, 5);
  std::string expected;
  for (int i = 0; i < 5; ++i) expected += "C Interpreter Error: test.c (1) : error 102 : Memory overflow\n";
  EXPECT_EQ(captured_errors(), expected);
  EXPECT_EQ(mem(ARENA_SIZE - 3)[0], 0);
  // The checking pass stores nothing outside and reports nothing.
  executing = false;
  mem_store(&v, at(ARENA_SIZE - 1), TY_SHORT);
  EXPECT_EQ(error_count, 5);
}

TEST_F(Memory, VariableAddresses) {
  Symbol *g = sym_enter("g");
  g->stg = STG_GLOBAL;
  g->offset = 40;
  Symbol *local = sym_enter("l");
  local->stg = STG_AUTO;
  local->offset = -4;
  frame_base = 200;
  EXPECT_EQ(var_address(g), at(40));
  EXPECT_EQ(var_address(local), at(196));
  capture_errors();
  g->offset = ARENA_SIZE;
  EXPECT_EQ(var_address(g), at(0));
  executing = false;
  EXPECT_EQ(var_address(g), at(0));
  EXPECT_EQ(captured_errors(), "C Interpreter Error: test.c (1) : error 102 : Memory overflow\n");
}

TEST_F(Memory, ConvertValue) {
  struct Row {
    Value in;
    int code;
    int type;
    double expected;
  };
  const Row rows[] = {
      {int_value(300), TY_CHAR, TY_INT, 44},        {int_value(127 + 1), TY_CHAR, TY_INT, -128},
      {int_value(-1), TY_UCHAR, TY_INT, 255},       {int_value(70000), TY_SHORT, TY_INT, 4464},
      {int_value(-1), TY_USHORT, TY_INT, 65535},    {double_value(2.9), TY_INT, TY_INT, 2},
      {double_value(-2.9), TY_LONG, TY_LONG, -2},   {double_value(300.5), TY_CHAR, TY_INT, 44},
      {int_value(7), TY_DOUBLE, TY_DOUBLE, 7.0},    {double_value(0.1), TY_FLOAT, TY_FLOAT, 0.1f},
      {int_value(-5), TY_UINT, TY_UINT, -5},        {double_value(2.5), TY_DOUBLE, TY_DOUBLE, 2.5},
  };
  for (const Row &row : rows) {
    Value v = row.in;
    convert_value(&v, row.code);
    EXPECT_EQ(v.type, row.type) << row.code;
    EXPECT_EQ(is_floating(v.type) ? v.imm.d : v.imm.i, row.expected) << row.code;
  }
}

TEST_F(Memory, ArenaAllocationStopsAtTheCallStack) {
  EXPECT_EQ(arena_reserve(10), 0);
  EXPECT_EQ(arena_alloc(5), at(10));
  EXPECT_EQ(arena_top, 15);
  stack_ptr = 100;
  EXPECT_EQ(arena_reserve(85), 15);
  capture_errors();
  EXPECT_EQ(arena_reserve(1), -1);
  EXPECT_EQ(arena_alloc(1), 0u);
  EXPECT_EQ(arena_top, 100);
  EXPECT_EQ(captured_errors(), "C Interpreter Error: test.c (1) : error 102 : Memory overflow\n"
                               "C Interpreter Error: test.c (1) : error 102 : Memory overflow\n");
}

TEST_F(Memory, PushArgLowersTheStack) {
  Value v = int_value(0x11223344);
  ASSERT_TRUE(push_arg(&v, TY_INT));
  EXPECT_EQ(stack_ptr, 16379);  // the first 4-byte argument: offsets 16379 to 16382
  EXPECT_EQ(mem(16379)[0], 0x44);
  EXPECT_EQ(mem(16382)[0], 0x11);
  EXPECT_EQ(mem(16383)[0], 0);
  Value d = double_value(2.5);
  ASSERT_TRUE(push_arg(&d, TY_DOUBLE));
  EXPECT_EQ(stack_ptr, 16371);
  Value back;
  back.type = TY_DOUBLE;
  mem_load(&back, at(16371), TY_DOUBLE);
  EXPECT_EQ(back.imm.d, 2.5);
  ASSERT_TRUE(push_arg(&v, TY_CHAR));
  EXPECT_EQ(stack_ptr, 16370);
  // The stack may not grow into the bottom allocations.
  arena_top = 16367;
  capture_errors();
  EXPECT_FALSE(push_arg(&v, TY_INT));
  EXPECT_EQ(stack_ptr, 16370);
  EXPECT_EQ(captured_errors(), "C Interpreter Error: test.c (1) : error 102 : Memory overflow\n");
}

TEST_F(Memory, MallocAndRealloc) {
  std::int32_t words[BUILTIN_WORDS] = {10};
  std::int32_t p = bi_malloc(words).i;
  std::int32_t q = bi_malloc(words).i;
  EXPECT_EQ(q - p, 10);
  words[0] = p;
  bi_free(words);
  words[0] = 4;
  std::int32_t block = bi_malloc(words).i;
  std::memcpy(arena_ptr(block, 4), "abcd", 4);
  // realloc right after the block: the copy runs front to back over the bytes it just wrote.
  words[0] = block;
  words[1] = 8;
  std::int32_t grown = bi_realloc(words).i;
  EXPECT_EQ(grown, block + 4);
  EXPECT_EQ(std::string(reinterpret_cast<const char *>(arena_ptr(grown, 8)), 8), "abcdabcd");
  words[0] = 0;
  words[1] = 3;
  EXPECT_EQ(bi_realloc(words).i, grown + 8);  // a null block acts as malloc
}
