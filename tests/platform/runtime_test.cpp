#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "platform/code_conversion.h"
#include "platform/runtime.h"

namespace signmaker::platform {
namespace {

namespace fs = std::filesystem;

// File names on disk are UTF-8; the test's plain literals are GBK.
std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// A scratch home folder; HOME and XDG_CONFIG_HOME point into it for the test.
class ScratchHome : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/signmaker-home-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    home_ = pattern;
    old_home_ = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", home_.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    setenv("HOME", old_home_.c_str(), 1);
    fs::remove_all(home_);
  }
  void WriteUserDirs(const std::string& line) {
    fs::create_directories(home_ / ".config");
    std::ofstream(home_ / ".config/user-dirs.dirs") << "# written by the test\n" << line << "\n";
  }
  static std::string Utf8(const Text& gbk) { return CodeConversion::Default().GbkToUtf8(gbk); }

  fs::path home_;
  std::string old_home_;
};

TEST_F(ScratchHome, DesktopFolderFollowsUserDirsAndIsCreated) {
  struct Case {
    std::string userDirsLine;  // empty: no user-dirs.dirs at all
    std::string expected;      // relative to the home folder
  };
  const Case cases[] = {
      {"", "Desktop/"},
      {U8(u8"XDG_DESKTOP_DIR=\"$HOME/桌面\""), U8(u8"桌面/")},
      {"XDG_DESKTOP_DIR=\"$HOME/Work/Desk/\"", "Work/Desk/"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"", "Desktop/"},
  };
  for (const Case& c : cases) {
    fs::remove_all(home_ / ".config");
    if (!c.userDirsLine.empty()) WriteUserDirs(c.userDirsLine);
    const std::string desktop = Utf8(Runtime::Default().DesktopFolder());
    EXPECT_EQ(desktop, home_.string() + "/" + c.expected) << c.userDirsLine;
    EXPECT_TRUE(fs::is_directory(desktop)) << desktop;
  }
}

TEST_F(ScratchHome, WriteFileCreatesAndReplacesWithExactBytes) {
  const Text path = CodeConversion::Default().Utf8ToGbk((home_ / U8(u8"举牌.jpg")).string());
  Runtime& runtime = Runtime::Default();
  ASSERT_TRUE(runtime.WriteFile(path, Bytes{0, 1, 2, 0xFF, 0, 9}));
  ASSERT_TRUE(runtime.WriteFile(path, Bytes{7, 0}));
  std::ifstream in(home_ / U8(u8"举牌.jpg"), std::ios::binary);
  const std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, std::string("\x07\x00", 2));
  ASSERT_TRUE(runtime.WriteFile(path, Bytes{}));
  EXPECT_EQ(fs::file_size(home_ / U8(u8"举牌.jpg")), 0u);
  EXPECT_FALSE(runtime.WriteFile(CodeConversion::Default().Utf8ToGbk((home_ / "none/x.jpg").string()), Bytes{1}));
  // Nothing but the file itself is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(home_), fs::directory_iterator()), 1);
}

TEST_F(ScratchHome, FileAttributesAreRecordedAsText) {
  const fs::path file = home_ / U8(u8"皮肤.she");
  std::ofstream(file) << "x";
  const bool set = Runtime::Default().SetFileAttributes(CodeConversion::Default().Utf8ToGbk(file.string()),
                                                        FileAttributeHidden | FileAttributeSystem);
  char value[32] = {};
  const ssize_t length = getxattr(file.c_str(), "user.DOSATTRIB", value, sizeof value);
  if (!set && length < 0 && errno == ENOTSUP) GTEST_SKIP() << "no user extended attributes here";
  ASSERT_TRUE(set);
  EXPECT_EQ(std::string(value, static_cast<std::size_t>(length)), "0x6");
}

int end_calls = 0;
void CountEnd() {
  ++end_calls;
  std::fprintf(stderr, "end routine %d\n", end_calls);
}

TEST(ProgramEnd, EndProcessRunsTheRoutineOnceAndExitsWithTheCode) {
  EXPECT_EXIT(
      {
        Runtime::Default().AtProgramEnd(CountEnd);
        Runtime::Default().EndProcess(0);
      },
      ::testing::ExitedWithCode(0), "end routine 1\n$");
  EXPECT_EXIT(
      {
        Runtime::Default().AtProgramEnd(CountEnd);
        std::exit(3);
      },
      ::testing::ExitedWithCode(3), "end routine 1\n$");
}

}  // namespace
}  // namespace signmaker::platform
