// The built-in table: its size and order, the rows outside the host set with their result codes,
// and the lookup by exact name.
#include "builtins/builtin_table.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "decl/types.h"
#include "eval/value.h"

namespace {

int index_of(const char *name) {
  for (int i = 0; i < builtin_count; ++i)
    if (std::strcmp(builtin_table[i].name, name) == 0) return i;
  return -1;
}

}  // namespace

TEST(BuiltinTable, SizeOrderAndTheHostRows) {
  ASSERT_EQ(builtin_count, 182);
  EXPECT_STREQ(builtin_table[0].name, "GetPrivateProfileString");
  for (int i = 1; i < builtin_count; ++i)
    EXPECT_LT(std::strcmp(builtin_table[i - 1].name, builtin_table[i].name), 0)
        << builtin_table[i - 1].name << " before " << builtin_table[i].name;
  int itoa = index_of("itoa");
  int labs = index_of("labs");
  ASSERT_GE(itoa, 0);
  EXPECT_EQ(labs - itoa - 1, 104);
  int host = 0;
  for (int i = 0; i < builtin_count; ++i) {
    bool kt = std::strncmp(builtin_table[i].name, "kt", 2) == 0;
    host += kt;
    EXPECT_EQ(kt, i > itoa && i < labs) << builtin_table[i].name;
    int type = builtin_table[i].return_type;
    EXPECT_TRUE(type == TY_INT || type == TY_PTR || type == TY_LONG || type == TY_DOUBLE)
        << builtin_table[i].name;
  }
  EXPECT_EQ(host, 104);
}

TEST(BuiltinTable, LibraryRowsAndTheirResultCodes) {
  const std::pair<int, const char *> groups[] = {
      {TY_INT,
       "GetPrivateProfileString abs atoi chdir chdrv exit fclose feof fflush fgetc fgets fprintf "
       "fputc fputs fread free fscanf fseek fwrite getdrive isalnum isalpha isascii isdigit isgraph "
       "islower isprint isspace isupper ltoa max memchr memcmp memcpy min mkdir remove rename rmdir "
       "searchenv sprintf sscanf strcmp strftime stricmp strlen strncmp strspn tolower toupper ungetc"},
      {TY_PTR,
       "getcwd itoa malloc memmove memset realloc strcat strchr strcpy strlwr strncat strncpy "
       "strrchr strrev strset strstr strtok strupr ultoa"},
      {TY_LONG, "atol fopen ftell labs time tmpfile"},
      {TY_DOUBLE, "atof difftime"},
  };
  std::set<std::string> listed;
  for (auto [type, names] : groups) {
    std::string all = names;
    for (size_t pos = 0; pos < all.size();) {
      size_t end = all.find(' ', pos);
      if (end == std::string::npos) end = all.size();
      std::string name = all.substr(pos, end - pos);
      pos = end + 1;
      listed.insert(name);
      Value v;
      ASSERT_TRUE(builtin_lookup(name.c_str(), &v)) << name;
      EXPECT_EQ(v.type, type) << name;
      EXPECT_STREQ(builtin_name(v.imm.i), name.c_str());
    }
  }
  EXPECT_EQ(listed.size(), 78u);
  for (int i = 0; i < builtin_count; ++i) {
    if (std::strncmp(builtin_table[i].name, "kt", 2) != 0) {
      EXPECT_EQ(listed.count(builtin_table[i].name), 1u) << builtin_table[i].name;
    }
  }
}

TEST(BuiltinTable, LookupFindsEveryRowByItsExactName) {
  for (int i = 0; i < builtin_count; ++i) {
    Value v;
    ASSERT_TRUE(builtin_lookup(builtin_table[i].name, &v)) << builtin_table[i].name;
    EXPECT_EQ(v.imm.i, i);
  }
  for (const char *miss : {"Strlen", "STRLEN", "strle", "strlenx", "", "kt", "getPrivateProfileString", "A",
                           "zz", "ktconnectanddial"}) {
    Value v;
    EXPECT_FALSE(builtin_lookup(miss, &v)) << miss;
  }
}
