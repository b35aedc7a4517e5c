// The checks that run once the main window has been created, with every machine
// service faked: skin, connection test, version check, update window, end.

#include "app/startup_checks.h"

#include <gtest/gtest.h>

#include "resources/skin_blocks.h"
#include "tests/app/startup_fakes.h"
#include "tests/support/recording_downloader.h"

namespace signmaker {
namespace {

using fakes::Log;

class StartupChecksTest : public testing::Test, protected fakes::FakeServices {
 protected:
  // The exit code when the checks ended the program; nullopt when they returned.
  std::optional<int> Run() {
    try {
      OnMainWindowCreated(services, downloader, counters);
    } catch (const fakes::ProcessEnded& ended) {
      return ended.code;
    }
    return std::nullopt;
  }

  fakes::RecordingDownloader downloader;
  UpdateCounters counters;
};

const Log SkinSteps = {
    "WriteFile /work/dir/jedata.dll",
    "WriteFile /work/dir/皮肤.she",
    "SetFileAttributes /work/dir/jedata.dll 6",
    "SetFileAttributes /work/dir/皮肤.she 6",
    "Attach /work/dir/jedata.dll /work/dir/皮肤.she []",
};

Log Then(Log first, const Log& rest) {
  first.insert(first.end(), rest.begin(), rest.end());
  return first;
}

Bytes Reply(std::string_view text) { return Bytes(text.begin(), text.end()); }

TEST_F(StartupChecksTest, TheSkinIsWrittenMarkedAndAppliedBeforeTheConnectionTest) {
  http.reply = Reply("&6.4&");
  EXPECT_EQ(Run(), std::nullopt);
  EXPECT_EQ(log, Then(SkinSteps, {"IsConnected", "Get " + Text(VersionUrl)}));

  ASSERT_EQ(runtime.writes.size(), 2u);
  const auto engine = SkinEngineBlock();
  const auto skinFile = SkinFileBlock();
  EXPECT_EQ(runtime.writes[0].bytes, Bytes(engine.begin(), engine.end()));
  EXPECT_EQ(runtime.writes[1].bytes, Bytes(skinFile.begin(), skinFile.end()));
  // The engine is loaded only if the written file still holds the program's own block.
  EXPECT_EQ(skin.expected.data(), engine.data());
  EXPECT_EQ(skin.expected.size(), engine.size());
}

TEST_F(StartupChecksTest, WithoutACurrentDirectoryNothingIsWrittenAndStartUpGoesOn) {
  runtime.currentDirectory = "";
  http.reply = Reply("&6.4&");
  EXPECT_EQ(Run(), std::nullopt);
  EXPECT_EQ(log, (Log{"IsConnected", "Get " + Text(VersionUrl)}));
}

TEST_F(StartupChecksTest, WithoutAConnectionTheProgramEndsAfterANoticeAndSendsNothing) {
  runtime.connected = false;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(log, Then(SkinSteps, {"IsConnected", "MessageBox 信息： 请联网后再打开本软件", "EndProcess 0"}));
  EXPECT_TRUE(downloader.starts.empty());
}

TEST_F(StartupChecksTest, OnlyTheExactVersionBetweenTheFirstTwoAmpersandsIsCurrent) {
  using namespace std::string_view_literals;
  const struct {
    std::string_view reply;
    bool current;
  } cases[] = {
      {"abc&6.4&def", true},
      {"&6.4&&6.5&", true},
      {"&6.4&\0tail"sv, true},
      {"&6.5&", false},
      {"&6.40&", false},
      {"&6.4", false},
      {"6.4", false},
      {"", false},
      {"&", false},
      {"&&", false},
      {"&&6.4&", false},
      {"& 6.4&", false},
      {"\0&6.4&"sv, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "reply [" << Text(c.reply) << "]");
    log.clear();
    downloader.starts.clear();
    http.reply = Reply(c.reply);
    const Log checked = Then(SkinSteps, {"IsConnected", "Get " + Text(VersionUrl)});
    if (c.current) {
      EXPECT_EQ(Run(), std::nullopt);
      EXPECT_EQ(log, checked);
      EXPECT_TRUE(downloader.starts.empty());
    } else {
      EXPECT_EQ(Run(), 0);
      EXPECT_EQ(log, Then(checked, {"MessageBox 砚禾提示您！ 软件已经更新！请联系QQ：509183726",
                                    "RunModal UpdateWindow", "EndProcess 0"}));
      // The update window started the package download while it was open.
      ASSERT_EQ(downloader.starts.size(), 1u);
      EXPECT_EQ(downloader.starts[0].targetPath, runtime.desktopFolder + "vink.zip");
    }
  }
}

}  // namespace
}  // namespace signmaker
