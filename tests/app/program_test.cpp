// The program's start and its ways out, with every machine service faked.

#include "app/program.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/startup_checks.h"
#include "resources/update_window_def.h"
#include "tests/app/startup_fakes.h"

namespace signmaker {
namespace {

using fakes::Log;

class ProgramTest : public testing::Test, protected fakes::FakeServices {
 protected:
  ~ProgramTest() override { ReleaseGlobals(); }

  // The exit code when the program was ended from inside; nullopt when ProgramStart returned.
  std::optional<int> Start(int& result) {
    try {
      result = ProgramStart(services);
    } catch (const fakes::ProcessEnded& ended) {
      return ended.code;
    }
    return std::nullopt;
  }

  bool Logged(std::string_view entry) const { return std::find(log.begin(), log.end(), entry) != log.end(); }

};

TEST_F(ProgramTest, ClosingTheMainWindowReturnsZeroAndReleasesOnceAtTheEnd) {
  http.reply = {'&', '6', '.', '4', '&'};
  int result = -1;
  EXPECT_EQ(Start(result), std::nullopt);
  EXPECT_EQ(result, 0);
  // The checks ran inside the window's creation, before it was shown and used.
  const auto version = std::find(log.begin(), log.end(), "Get " + Text(VersionUrl));
  const auto shown = std::find(log.begin(), log.end(), "Show MainWindow");
  ASSERT_NE(version, log.end());
  EXPECT_LT(version, shown);
  EXPECT_EQ(log.back(), "RunMessageLoop");

  EXPECT_NE(ProgramDownloader(), nullptr);
  EXPECT_EQ(runtime.endRoutines.size(), 1u);
  runtime.RunEndRoutines();
  EXPECT_EQ(ProgramDownloader(), nullptr);
}

TEST_F(ProgramTest, EndingFromTheStartUpChecksSkipsTheWindowAndStillReleases) {
  const struct {
    const char* what;
    bool connected;
    const char* lastBeforeEnd;
  } cases[] = {
      {"offline", false, "MessageBox 信息： 请联网后再打开本软件"},
      {"update announced", true, "RunModal UpdateWindow"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    log.clear();
    runtime.connected = c.connected;
    int result = -1;
    EXPECT_EQ(Start(result), 0);
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], c.lastBeforeEnd);
    EXPECT_EQ(log.back(), "EndProcess 0");
    EXPECT_FALSE(Logged("Show MainWindow"));
    EXPECT_FALSE(Logged("RunMessageLoop"));
    // The end routine ran, and only once: nothing is left registered.
    EXPECT_EQ(ProgramDownloader(), nullptr);
    EXPECT_TRUE(runtime.endRoutines.empty());
  }
}

TEST_F(ProgramTest, TheUpdateWindowDownloadsThroughTheProgramsDownloader) {
  runtime.desktopFolder = "/nonexistent-desktop/";
  int result = -1;
  EXPECT_EQ(Start(result), 0);
  // The download's size probe went out through the program's HTTP client.
  EXPECT_TRUE(Logged("Open " + Text(PackageUrl)));
}

}  // namespace
}  // namespace signmaker
