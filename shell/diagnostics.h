// Error reports and trace output. Every message of the interpreter goes through error(), every
// trace text through trace_printf(); the texts come from the message table (resources/messages.def).
#pragma once

// The ids of the message table that the interpreter raises or loads.
enum MessageId {
  MSG_OUT_OF_MEMORY = 100,
  MSG_SYMBOL_TABLE_OVERFLOW = 101,
  MSG_MEMORY_OVERFLOW = 102,
  MSG_TIME_LIMIT = 103,
  MSG_BAD_SYNTAX = 200,
  MSG_INVALID_IDENTIFIER = 201,
  MSG_BAD_TYPE_DECLARATION = 300,
  MSG_BAD_ARGUMENT = 301,
  MSG_BAD_OPERAND = 302,
  MSG_BAD_LABEL_SYNTAX = 303,
  MSG_BAD_SUBSCRIPT = 304,
  MSG_BAD_LVALUE = 305,
  MSG_BAD_ARRAY_SIZE = 306,
  MSG_UNKNOWN_OPTION = 400,
  MSG_UNKNOWN_TYPE = 401,
  MSG_UNKNOWN_LABEL = 402,
  MSG_UNKNOWN_FUNCTION = 403,
  MSG_EXPECTED = 500,
  MSG_UNEXPECTED_EOF = 501,
  MSG_UNEXPECTED_CHARACTER = 502,
  MSG_END_OF_TOKEN_LIST = 503,
  MSG_REDEFINITION = 600,
  MSG_TYPE_MISMATCH = 601,
  MSG_NESTED_FUNCTION = 602,
  MSG_NON_INTEGRAL_EXPRESSION = 700,
  MSG_NON_INTEGRAL_OPERAND = 701,
  MSG_ARROW_NEEDS_POINTER = 800,
  MSG_DOT_NEEDS_STRUCT = 801,
  MSG_UNKNOWN_MEMBER = 802,
  MSG_CANT_OPEN_INCLUDE = 900,
  MSG_TOO_MANY_FILES = 901,
  MSG_CANT_OPEN = 902,
  MSG_NO_MAIN = 903,
  MSG_ERROR_PREFIX = 922,
  MSG_SYM_ALLOCATE_AFTER = 1000,
  MSG_SYM_ALLOCATE_BEFORE = 1001,
  MSG_SKIPPING_TOKEN = 1002,
  MSG_RETURNED_FROM_CALL = 1003,
  MSG_CALLING = 1004,
  MSG_CALLING_BUILTIN = 1005,
};

// Size of the buffers that message texts are loaded into (longer texts are cut).
constexpr int MESSAGE_BUFFER = 128;
// Size of the buffers that trace texts of the table are loaded into.
constexpr int TRACE_TEXT_BUFFER = 256;

// The text of message 'id' (empty when the table has none), copied into 'buf'.
const char *load_message(int id, char *buf, int size);

// Reports message 'id', formatted with the further arguments, in the error dialog. Returns 1 after
// Continue and -1 when no dialog could be shown; after Cancel or Edit the run ends with status 1.
int error(int id, ...);
// Reports message 'id' as error() does, then ends the run with status 1 whatever the answer.
[[noreturn]] void fatal(int id, ...);

// Writes the error line of message 'id' without asking anything: for the ends of a run that no
// answer can change.
void report_line(int id, ...);

// Number of errors reported so far (the --check status).
extern int error_count;

// Writes formatted trace text; a final "\n" goes out as "\r\n".
void trace_printf(const char *format, ...) __attribute__((format(printf, 1, 2)));

// Traces message-table text 'id' formatted with the further arguments.
void trace_message(int id, ...);

// Nesting depth that the recursive parsers allow (declarators, expressions, statements, calls
// together); deeper input would exhaust the C++ stack.
constexpr int MAX_NESTING = 600;

// Counts one level of parser recursion for its lifetime. Past MAX_NESTING it reports
// "Out of memory" and ends the process with status 1.
class NestingGuard {
public:
  NestingGuard() {
    if (++depth > MAX_NESTING) overflow();
  }
  ~NestingGuard() { --depth; }
  NestingGuard(const NestingGuard &) = delete;
  NestingGuard &operator=(const NestingGuard &) = delete;

private:
  [[noreturn]] static void overflow();
  static inline int depth = 0;
};

// Gives a variable back the value it had when the guard was made, when the scope ends (an early
// return included).
template <typename T> class Restore {
public:
  explicit Restore(T &variable) : variable_(variable), saved_(variable) {}
  ~Restore() { variable_ = saved_; }
  const T &saved() const { return saved_; }
  Restore(const Restore &) = delete;
  Restore &operator=(const Restore &) = delete;

private:
  T &variable_;
  T saved_;
};
