// The differential entry of the script fuzzer (tests/fuzz/run.sh differential): runs oxel on the
// input twice, with compiled bodies and with every body run through the walker (OXEL_NO_PLANS=1),
// each in a fresh scratch folder with every error answered Continue, and aborts, which the fuzzer
// counts as a crash, when the two runs differ in their output (trace and messages) or status.
// oxel's own entry (platform/posix/main.cpp, built here as oxel_main) runs in forked children, so
// that the fuzzer sees the coverage of both runs.
//   fuzz_differential SCRIPT
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#undef main
int oxel_main(int argc, char **argv);

namespace {

struct Run {
  std::string output;
  int status = 0;
};

void remove_tree(const std::string &dir) {
  pid_t pid = fork();
  if (pid == 0) {
    execlp("rm", "rm", "-rf", dir.c_str(), static_cast<char *>(nullptr));
    _exit(127);
  }
  if (pid > 0) waitpid(pid, nullptr, 0);
}

Run run(const char *script, bool walker) {
  Run r;
  char dir[] = "/tmp/oxel-differential-XXXXXX";
  if (!mkdtemp(dir)) std::abort();
  int fds[2];
  if (pipe(fds) != 0) std::abort();
  pid_t pid = fork();
  if (pid == 0) {
    // A run that loops forever ends with this program, which the fuzzer stops at its time limit.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() == 1) _exit(127);
    close(fds[0]);
    dup2(fds[1], 1);
    dup2(fds[1], 2);
    close(fds[1]);
    FILE *in = std::freopen("/dev/null", "r", stdin);
    (void)in;
    if (chdir(dir) != 0) _exit(127);
    if (walker) setenv("OXEL_NO_PLANS", "1", 1);
    else unsetenv("OXEL_NO_PLANS");
    char *args[] = {const_cast<char *>("oxel"), const_cast<char *>("--on-error=continue"),
                    const_cast<char *>("--trace=-"), const_cast<char *>(script), nullptr};
    _exit(oxel_main(4, args));
  }
  close(fds[1]);
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) r.output.append(buf, static_cast<std::size_t>(n));
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  r.status = status;
  remove_tree(dir);
  return r;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fuzz_differential SCRIPT\n");
    return 2;
  }
  char script[PATH_MAX];
  if (!realpath(argv[1], script)) return 2;
  Run compiled = run(script, false);
  Run walked = run(script, true);
  // A run the sanitizers stopped is a crash of its own.
  for (const Run *r : {&compiled, &walked})
    if (WIFSIGNALED(r->status)) std::abort();
  if (compiled.status != walked.status || compiled.output != walked.output) {
    std::fprintf(stderr, "fuzz_differential: compiled and walked runs differ (status %d, %d)\n--- compiled\n%s\n--- walked\n%s\n",
                 compiled.status, walked.status, compiled.output.c_str(), walked.output.c_str());
    std::abort();
  }
  return 0;
}
