// The POSIX program: oxel [OPTIONS] SCRIPT. It builds the driver's argument vector from its
// command line, sets up trace output and the answer to errors, and runs the driver once.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "eval/value.h"
#include "platform/posix/host_posix.h"
#include "platform/posix/posix_shell.h"
#include "platform/posix/run_control.h"
#include "shell/diagnostics.h"
#include "shell/driver.h"
#include "shell/modes.h"
#include "shell/run_end.h"
#include "shell/startup.h"

#ifndef OXEL_VERSION
#define OXEL_VERSION "0"
#endif

static const char usage[] =
    "Usage: oxel [OPTIONS] SCRIPT\n"
    "       oxel [OPTIONS] '[TEXT] SCRIPT'\n"
    "Reads the C script SCRIPT, checks every function body, and runs its main function.\n"
    "The values of top-level expressions and the traces go to the trace output.\n"
    "\n"
    "Options:\n"
    "  -dlex, -dexp, -dsym, -dstmt  raise the lexer, expression, symbol or statement trace level\n"
    "                               (each occurrence adds one)\n"
    "  --check                      read and check the script and run nothing of it: top-level\n"
    "                               expressions are checked like function bodies, not evaluated\n"
    "  --trace=FILE                 write trace output to FILE ('-': standard error, the default)\n"
    "  --host=PATH                  the host automation library that the kt built-ins call\n"
    "                               (default: $OXEL_HOST, else librv32auto.so next to oxel)\n"
    "  --on-error=ask|continue|cancel\n"
    "                               how errors are answered: ask on the terminal (the default when\n"
    "                               standard input and standard error are terminals), continue\n"
    "                               the run, or cancel it (the default otherwise)\n"
    "  --time-limit=SECONDS         end the run after SECONDS seconds of wall-clock time with\n"
    "                               error 103 and status 124, whatever --on-error says\n"
    "  --help                       show this text and exit\n"
    "  --version                    show the version and exit\n"
    "\n"
    "A first argument that starts with '[' is joined with the arguments after it into a host\n"
    "command line '[TEXT] SCRIPT'; the script path is what follows the first ']' and its blanks.\n"
    "Every error also writes one line 'C Interpreter Error: <message>' to standard error.\n"
    "\n"
    "SIGINT, SIGTERM and SIGHUP end the run cleanly (script streams closed, the host library\n"
    "told); a second one while the run is ending ends it at once.\n"
    "\n"
    "Exit status: 0 after the run, 1 after a cancelled or fatal error (or, with --check, any\n"
    "error), 2 for a bad command line, N when the script calls exit(N), 124 at the time limit,\n"
    "130, 143 and 129 after SIGINT, SIGTERM and SIGHUP.\n"
    "\n"
    "Environment: OXEL_HOST (see --host); OXEL_NO_PLANS=1 runs every statement through the\n"
    "token walker instead of compiled code (slower; for testing the interpreter).\n";

// The longest time limit: what an int holds (some 68 years).
constexpr long MAX_TIME_LIMIT = 2147483647L;

static int usage_error(const char *what, const char *arg) {
  std::fprintf(stderr, "oxel: %s%s\nTry 'oxel --help'.\n", what, arg);
  return 2;
}

namespace {
struct Options {
  bool check = false;
  const char *trace = nullptr;
  const char *host = nullptr;
  int time_limit = 0;
  ErrorPolicy policy = isatty(0) && isatty(2) ? ON_ERROR_ASK : ON_ERROR_CANCEL;
  std::vector<const char *> driver_options;
  std::string script;
  bool bracket = false;
};
}  // namespace

// A whole number of seconds, at least 1.
static bool parse_seconds(const char *text, int *seconds) {
  char *end = nullptr;
  errno = 0;
  long n = std::strtol(text, &end, 10);
  if (errno || end == text || *end || n < 1 || n > MAX_TIME_LIMIT) return false;
  *seconds = static_cast<int>(n);
  return true;
}

// Parses one option; -1 to go on, else the exit status.
static int parse_option(const char *arg, Options &o) {
  if (std::strcmp(arg, "--help") == 0) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (std::strcmp(arg, "--version") == 0) {
    std::printf("oxel %s\n", OXEL_VERSION);
    return 0;
  }
  if (std::strcmp(arg, "--check") == 0) o.check = true;
  else if (std::strncmp(arg, "--trace=", 8) == 0) o.trace = arg + 8;
  else if (std::strncmp(arg, "--host=", 7) == 0 && arg[7]) o.host = arg + 7;
  else if (std::strncmp(arg, "--time-limit=", 13) == 0) {
    if (!parse_seconds(arg + 13, &o.time_limit)) return usage_error("bad time limit: ", arg + 13);
  } else if (std::strcmp(arg, "--on-error=ask") == 0) o.policy = ON_ERROR_ASK;
  else if (std::strcmp(arg, "--on-error=continue") == 0) o.policy = ON_ERROR_CONTINUE;
  else if (std::strcmp(arg, "--on-error=cancel") == 0) o.policy = ON_ERROR_CANCEL;
  else if (arg[1] == '-') return usage_error("unknown option ", arg);
  else o.driver_options.push_back(arg);  // the driver reports what it does not know
  return -1;
}

static int parse_arguments(int argc, char **argv, Options &o) {
  int i = 1;
  for (; i < argc && argv[i][0] == '-'; ++i) {
    if (std::strcmp(argv[i], "--") == 0) {
      ++i;
      break;
    }
    int status = parse_option(argv[i], o);
    if (status >= 0) return status;
  }
  if (i == argc) return usage_error("no script given", "");
  if (argv[i][0] == '[') {
    o.bracket = true;
    for (int j = i; j < argc; ++j) {
      if (j > i) o.script += ' ';
      o.script += argv[j];
    }
    return -1;
  }
  if (i + 1 < argc) return usage_error("unexpected argument after the script: ", argv[i + 1]);
  o.script = argv[i];
  return -1;
}

int main(int argc, char **argv) {
  Options o;
  int status = parse_arguments(argc, argv, o);
  if (status >= 0) return status;
  char path[PATH_BUFFER];
  if (o.bracket) {
    // The host's form ends with status 1 as the host program expects; a user at a terminal is told why.
    switch (parse_command_line(o.script.c_str(), path)) {
    case CMDLINE_OK: break;
    case CMDLINE_NO_BRACKETS: std::fprintf(stderr, "oxel: no ']' ends the '[' of %s\n", o.script.c_str()); return 1;
    case CMDLINE_PATH_TOO_LONG: std::fprintf(stderr, "oxel: the script path is 256 characters or more\n"); return 1;
    }
  } else if (o.script.size() >= PATH_BUFFER) {
    return usage_error("script path too long: ", o.script.c_str());
  } else {
    std::snprintf(path, sizeof path, "%s", o.script.c_str());
  }
  if (o.trace && std::strcmp(o.trace, "-") != 0) {
    std::FILE *out = std::fopen(o.trace, "wb");
    if (!out) {
      std::perror(o.trace);
      return 1;
    }
    posix_set_trace(out);
  }
  posix_set_error_policy(o.policy);
  posix_start_run(o.time_limit);
  posix_set_host_library(o.host);
  posix_set_host_command_line(o.script.c_str());
  set_start_paths(path);
  arena_init();

  check_only = o.check;
  const char *no_plans = std::getenv("OXEL_NO_PLANS");
  compiled_code = !no_plans || !*no_plans || std::strcmp(no_plans, "0") == 0;
  std::vector<const char *> args{"oxel"};
  if (!o.check) args.push_back("-run");
  args.insert(args.end(), o.driver_options.begin(), o.driver_options.end());
  // The driver takes every argument that starts with '-' for an option.
  std::string source = script_path[0] == '-' ? std::string("./") + script_path : std::string(script_path);
  args.push_back(source.c_str());
  interpreter_main(static_cast<int>(args.size()), args.data());
  check_requested_end();
  end_run(o.check && error_count > 0 ? 1 : 0);
}
