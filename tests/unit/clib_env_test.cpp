// What scripts cannot set up themselves: the environment. Where "ravelto.ini" is found when
// GetPrivateProfileString names no file, and how searchenv walks a variable's directory list.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "builtins/clib_adapters.h"
#include "eval/value.h"
#include "platform/platform.h"
#include "platform/posix/posix_shell.h"

namespace fs = std::filesystem;

namespace {

const char *const variables[] = {"RAVELTO_DIR", "XDG_CONFIG_HOME", "HOME", "OXEL_TEST_DIRS"};

class ClibEnv : public ::testing::Test {
protected:
  void SetUp() override {
    arena_init();
    posix_set_error_policy(ON_ERROR_CONTINUE);
    root = fs::temp_directory_path() / ("oxel_env_" + std::to_string(::getpid()));
    for (const char *name : variables) {
      const char *v = std::getenv(name);
      saved.push_back(v ? v : "\x01");
      ::unsetenv(name);
    }
  }
  void TearDown() override {
    for (size_t i = 0; i < saved.size(); ++i)
      if (saved[i] == "\x01") ::unsetenv(variables[i]);
      else ::setenv(variables[i], saved[i].c_str(), 1);
    fs::remove_all(root);
  }

  void write(const fs::path &path, const std::string &text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  static std::int32_t put(int offset, const char *text) {
    std::memcpy(arena_ptr(arena_base + offset, std::strlen(text) + 1), text, std::strlen(text) + 1);
    return static_cast<std::int32_t>(arena_base + offset);
  }
  static std::string at(std::int32_t addr) { return reinterpret_cast<char *>(arena_ptr(addr, 1)); }

  // GetPrivateProfileString("Session", "Name", "none", buffer, 64, 0)
  std::string settings_value() {
    std::int32_t w[BUILTIN_WORDS] = {put(0, "Session"), put(16, "Name"), put(32, "none"), put(64, ""), 64, 0};
    bi_GetPrivateProfileString(w);
    return at(w[3]);
  }
  // searchenv(file, "OXEL_TEST_DIRS", result)
  std::string searchenv(const char *file) {
    std::int32_t w[BUILTIN_WORDS] = {put(0, file), put(300, "OXEL_TEST_DIRS"), put(400, "unchanged")};
    bi_searchenv(w);
    return at(w[2]);
  }

  fs::path root;
  std::vector<std::string> saved;
};

TEST_F(ClibEnv, SettingsFileComesFromRaveltoDirThenTheConfigDirectory) {
  write(root / "env/ravelto.ini", "[session]\nname=from env\n");
  write(root / "xdg/ravelto/ravelto.ini", "[Session]\nNAME=from xdg\n");
  write(root / "home/.config/ravelto/ravelto.ini", "[Session]\nName=from home\n");
  EXPECT_EQ(settings_value(), "none");
  ::setenv("HOME", (root / "home").c_str(), 1);
  EXPECT_EQ(settings_value(), "from home");
  ::setenv("XDG_CONFIG_HOME", (root / "xdg").c_str(), 1);
  EXPECT_EQ(settings_value(), "from xdg");
  ::setenv("RAVELTO_DIR", (root / "env").c_str(), 1);
  EXPECT_EQ(settings_value(), "from env");
  // A RAVELTO_DIR without the file does not hide the configuration directory.
  ::setenv("RAVELTO_DIR", (root / "empty").c_str(), 1);
  EXPECT_EQ(settings_value(), "from xdg");
}

TEST_F(ClibEnv, BareFileNamesAreSettingsFilesOthersArePaths) {
  write(root / "env/other.ini", "[a]\nk=settings\n");
  write(root / "other.ini", "[a]\nk=beside\n");
  ::setenv("RAVELTO_DIR", (root / "env").c_str(), 1);
  fs::path cwd = fs::current_path();
  fs::current_path(root);
  char buf[32];
  EXPECT_EQ(plat_profile_string("a", "k", "none", buf, sizeof buf, "other.ini"), 8);
  EXPECT_STREQ(buf, "settings");
  EXPECT_EQ(plat_profile_string("a", "k", "none", buf, sizeof buf, "./other.ini"), 6);
  EXPECT_STREQ(buf, "beside");
  fs::current_path(cwd);
}

TEST_F(ClibEnv, SearchenvWalksTheListInOrder) {
  std::string one = (root / "one").string();
  std::string two = (root / "two").string();
  write(one + "/a.txt", "");
  write(two + "/a.txt", "");
  write(two + "/b.txt", "");
  // Empty entries are passed over; an entry ending with '/' gets no second one.
  ::setenv("OXEL_TEST_DIRS", ("::" + one + ":" + two + "/").c_str(), 1);
  EXPECT_EQ(searchenv("a.txt"), one + "/a.txt");
  EXPECT_EQ(searchenv("b.txt"), two + "/b.txt");
  EXPECT_EQ(searchenv("c.txt"), "");
  // Results of 260 bytes or more (with the NUL) do not fit the result buffers: "".
  std::string name(259 - one.size() - 1, 'n');
  write(one + "/" + name, "");
  write(one + "/" + name + "n", "");
  EXPECT_EQ(searchenv(name.c_str()).size(), 259u);
  EXPECT_EQ(searchenv((name + "n").c_str()), "");
}

}  // namespace
