// The main of a fuzzing entry: the bytes of each file named go to the entry's run(); without names,
// under AFL++'s persistent mode (tests/fuzz/run.sh ENTRY), each input from shared memory, many to a process.
#include <unistd.h>  // AFL++'s macros read

#include <fstream>
#include <sstream>
#include <string>

static void run(const std::string &input);

#ifdef __AFL_FUZZ_TESTCASE_LEN
__AFL_FUZZ_INIT();
#endif

int main(int argc, char **argv) {
#ifdef __AFL_FUZZ_TESTCASE_LEN
  if (argc < 2) {
    const unsigned char *input = __AFL_FUZZ_TESTCASE_BUF;
    while (__AFL_LOOP(10000)) run(std::string(reinterpret_cast<const char *>(input), __AFL_FUZZ_TESTCASE_LEN));
    return 0;
  }
#endif
  for (int i = 1; i < argc; ++i) {
    std::ostringstream data;
    data << std::ifstream(argv[i], std::ios::binary).rdbuf();
    run(data.str());
  }
  return 0;
}
