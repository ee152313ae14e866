#include "builtins/builtin_table.h"

#include <cstring>

#include "builtins/clib_adapters.h"
#include "builtins/host_bindings.h"
#include "decl/types.h"
#include "eval/value.h"

// ORDER: rows stand in ascending byte order of their names (strcmp); builtin_lookup searches
// them by halves, and a test checks the order. The C-library adapters are in clib_*.cpp, the
// interpreter's own in own.cpp, the host automation bindings (the kt rows) in host_bindings.cpp.
// clang-format off
const BuiltinEntry builtin_table[] = {
    {TY_INT,     "GetPrivateProfileString",      bi_GetPrivateProfileString},
    {TY_INT,     "abs",                          bi_abs},
    {TY_DOUBLE,  "atof",                         bi_atof},
    {TY_INT,     "atoi",                         bi_atoi},
    {TY_LONG,    "atol",                         bi_atol},
    {TY_INT,     "chdir",                        bi_chdir},
    {TY_INT,     "chdrv",                        bi_chdrv},
    {TY_DOUBLE,  "difftime",                     bi_difftime},
    {TY_INT,     "exit",                         bi_exit},
    {TY_INT,     "fclose",                       bi_fclose},
    {TY_INT,     "feof",                         bi_feof},
    {TY_INT,     "fflush",                       bi_fflush},
    {TY_INT,     "fgetc",                        bi_fgetc},
    {TY_INT,     "fgets",                        bi_fgets},
    {TY_LONG,    "fopen",                        bi_fopen},
    {TY_INT,     "fprintf",                      bi_fprintf},
    {TY_INT,     "fputc",                        bi_fputc},
    {TY_INT,     "fputs",                        bi_fputs},
    {TY_INT,     "fread",                        bi_fread},
    {TY_INT,     "free",                         bi_free},
    {TY_INT,     "fscanf",                       bi_fscanf},
    {TY_INT,     "fseek",                        bi_fseek},
    {TY_LONG,    "ftell",                        bi_ftell},
    {TY_INT,     "fwrite",                       bi_fwrite},
    {TY_PTR,     "getcwd",                       bi_getcwd},
    {TY_INT,     "getdrive",                     bi_getdrive},
    {TY_INT,     "isalnum",                      bi_isalnum},
    {TY_INT,     "isalpha",                      bi_isalpha},
    {TY_INT,     "isascii",                      bi_isascii},
    {TY_INT,     "isdigit",                      bi_isdigit},
    {TY_INT,     "isgraph",                      bi_isgraph},
    {TY_INT,     "islower",                      bi_islower},
    {TY_INT,     "isprint",                      bi_isprint},
    {TY_INT,     "isspace",                      bi_isspace},
    {TY_INT,     "isupper",                      bi_isupper},
    {TY_PTR,     "itoa",                         bi_itoa},
    OXEL_HOST_BUILTIN_ROWS
    {TY_LONG,    "labs",                         bi_labs},
    {TY_INT,     "ltoa",                         bi_ltoa},
    {TY_PTR,     "malloc",                       bi_malloc},
    {TY_INT,     "max",                          bi_max},
    {TY_INT,     "memchr",                       bi_memchr},
    {TY_INT,     "memcmp",                       bi_memcmp},
    {TY_INT,     "memcpy",                       bi_memcpy},
    {TY_PTR,     "memmove",                      bi_memmove},
    {TY_PTR,     "memset",                       bi_memset},
    {TY_INT,     "min",                          bi_min},
    {TY_INT,     "mkdir",                        bi_mkdir},
    {TY_PTR,     "realloc",                      bi_realloc},
    {TY_INT,     "remove",                       bi_remove},
    {TY_INT,     "rename",                       bi_rename},
    {TY_INT,     "rmdir",                        bi_rmdir},
    {TY_INT,     "searchenv",                    bi_searchenv},
    {TY_INT,     "sprintf",                      bi_sprintf},
    {TY_INT,     "sscanf",                       bi_sscanf},
    {TY_PTR,     "strcat",                       bi_strcat},
    {TY_PTR,     "strchr",                       bi_strchr},
    {TY_INT,     "strcmp",                       bi_strcmp},
    {TY_PTR,     "strcpy",                       bi_strcpy},
    {TY_INT,     "strftime",                     bi_strftime},
    {TY_INT,     "stricmp",                      bi_stricmp},
    {TY_INT,     "strlen",                       bi_strlen},
    {TY_PTR,     "strlwr",                       bi_strlwr},
    {TY_PTR,     "strncat",                      bi_strncat},
    {TY_INT,     "strncmp",                      bi_strncmp},
    {TY_PTR,     "strncpy",                      bi_strncpy},
    {TY_PTR,     "strrchr",                      bi_strrchr},
    {TY_PTR,     "strrev",                       bi_strrev},
    {TY_PTR,     "strset",                       bi_strset},
    {TY_INT,     "strspn",                       bi_strspn},
    {TY_PTR,     "strstr",                       bi_strstr},
    {TY_PTR,     "strtok",                       bi_strtok},
    {TY_PTR,     "strupr",                       bi_strupr},
    {TY_LONG,    "time",                         bi_time},
    {TY_LONG,    "tmpfile",                      bi_tmpfile},
    {TY_INT,     "tolower",                      bi_tolower},
    {TY_INT,     "toupper",                      bi_toupper},
    {TY_PTR,     "ultoa",                        bi_ultoa},
    {TY_INT,     "ungetc",                       bi_ungetc},
};
// clang-format on

const int builtin_count = sizeof builtin_table / sizeof builtin_table[0];
static_assert(sizeof builtin_table / sizeof builtin_table[0] == 182, "78 library rows and 104 host rows");

bool builtin_lookup(const char *name, Value *value) {
  int low = 0;
  int high = builtin_count - 1;
  while (low <= high) {
    int mid = (low + high) / 2;
    // The first characters settle most steps without a call (the lexer asks for every name).
    const char *row = builtin_table[mid].name;
    int cmp = static_cast<unsigned char>(name[0]) - static_cast<unsigned char>(row[0]);
    if (cmp == 0) cmp = std::strcmp(name, row);
    if (cmp == 0) {
      value->type = builtin_table[mid].return_type;
      value->imm.i = mid;
      return true;
    }
    if (cmp < 0) high = mid - 1;
    else low = mid + 1;
  }
  return false;
}

const char *builtin_name(int index) { return builtin_table[index].name; }

BuiltinFn builtin_function(int index) { return builtin_table[index].function; }
