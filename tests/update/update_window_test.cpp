// The update window on the offscreen platform, with the downloader replaced by a recorder
// and progress reported from threads of the test's own, as downloads do.

#include "update/update_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QWidget>
#include <functional>
#include <thread>
#include <vector>

#include "resources/update_window_def.h"
#include "tests/support/fake_runtime.h"
#include "tests/support/recording_downloader.h"

namespace signmaker {
namespace {

namespace names = UpdateWindowControls;
namespace columns = UpdateListColumns;

// The real toolkit, except that opening a URL is only recorded.
class UrlRecordingToolkit : public platform::WindowToolkit {
 public:
  std::vector<Text> openedUrls;
  std::unique_ptr<platform::Window> CreateWindow(const platform::WindowDef& definition) override {
    return real().CreateWindow(definition);
  }
  void MessageBox(const Text& text, const Text& caption) override { real().MessageBox(text, caption); }
  int RunMessageLoop() override { return real().RunMessageLoop(); }
  void PostToWindowThread(std::function<void()> task) override { real().PostToWindowThread(std::move(task)); }
  void OpenUrl(const Text& url) override { openedUrls.push_back(url); }

 private:
  static platform::WindowToolkit& real() { return platform::WindowToolkit::Default(); }
};

QString Utf8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

class UpdateWindowTest : public testing::Test {
 protected:
  void SetUp() override { platform::WindowToolkit::Default(); }

  // Runs `steps` one after the other on the window thread while the window is open,
  // then closes it. Each step is queued behind whatever the step before it queued, so a
  // step sees the reports that the steps before it caused.
  void WhileOpen(std::vector<std::function<void()>> steps) {
    std::size_t next = 0;
    std::function<void()> step = [&] {
      if (next < steps.size()) {
        steps[next++]();
        toolkit.PostToWindowThread(step);
      } else {
        window.Window().Close();
      }
    };
    toolkit.PostToWindowThread(step);
    window.RunModal();
  }

  // Delivers reports the way a download does: on a thread of its own, in order.
  void Report(std::size_t start, std::vector<std::array<std::int32_t, 4>> reports) {
    std::thread reporter([&] {
      for (const auto& r : reports) downloader.starts.at(start).callback(r[0], r[1], r[2], r[3]);
    });
    reporter.join();
  }

  std::vector<Text> Row(int row) {
    std::vector<Text> cells;
    for (int column = 0; column < 6; ++column) cells.push_back(window.Window().Cell(names::List, row, column));
    return cells;
  }

  void Click(const char8_t* button) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (auto* found = top->findChild<QAbstractButton*>(Utf8(button))) return found->click();
    }
    ADD_FAILURE() << "no button";
  }

  UrlRecordingToolkit toolkit;
  fakes::FakeRuntime runtime;
  fakes::RecordingDownloader downloader;
  UpdateCounters counters;
  UpdateWindow window{toolkit, runtime, downloader, counters};
};

TEST_F(UpdateWindowTest, StartsThePackageDownloadToTheDesktopWhenCreated) {
  runtime.desktopFolder = "/home/李/桌面/";
  WhileOpen({[&] {
    ASSERT_EQ(downloader.starts.size(), 1u);
    EXPECT_EQ(downloader.starts[0].url, PackageUrl);
    EXPECT_EQ(downloader.starts[0].targetPath, "/home/李/桌面/vink.zip");
    EXPECT_EQ(downloader.starts[0].threadCount, 10);
    EXPECT_EQ(downloader.starts[0].flag, 1);
    EXPECT_EQ(window.Window().RowCount(names::List), 1);
    EXPECT_EQ(Row(0), (std::vector<Text>{"1", "vink.zip", "", "", "", ""}));
  }});
  EXPECT_EQ(counters.downloadCount.load(), 1);
}

TEST_F(UpdateWindowTest, ReportsFillTheRowOfTheirOwnTaskOnly) {
  WhileOpen({
      [&] { Report(0, {{1, EventProgress, 5000000, 1048576}, {1, EventProgress, 5000000, 2500000}}); },
      [&] {
        EXPECT_EQ(Row(0), (std::vector<Text>{"1", "vink.zip", "2.4 MB", "4.8 MB", "50%", "升级中"}));
        EXPECT_EQ(counters.shownRow.load(), 0);
        Report(0, {{4, EventProgress, 5000000, 5000000}, {0, EventProgress, 1, 1}});
      },
      [&] {
        EXPECT_EQ(Row(0)[4], "50%");
        EXPECT_EQ(counters.shownRow.load(), 0);
        // Two downloads reporting at the same time, each into its own row.
        window.Window().AppendRow(names::List);
        std::thread first([&] {
          for (int done = 1; done <= 200; ++done) downloader.starts[0].callback(1, EventProgress, 200, done);
        });
        std::thread second([&] {
          for (int done = 1; done <= 100; ++done) downloader.starts[0].callback(2, EventProgress, 400, done);
        });
        first.join();
        second.join();
      },
      [&] {
        EXPECT_EQ(Row(0), (std::vector<Text>{"1", "vink.zip", "200 Byte", "200 Byte", "100%", "升级中"}));
        EXPECT_EQ(Row(1), (std::vector<Text>{"", "", "100 Byte", "400 Byte", "25%", "升级中"}));
      },
  });
}

TEST_F(UpdateWindowTest, CompletionMarksTheShownRowOnceItReadsHundredPercent) {
  WhileOpen({
      [&] { Report(0, {{1, EventProgress, 5000000, 4999999}}); },
      [&] {
        window.CheckCompletion();
        EXPECT_EQ(Row(0)[4], "99%");
        EXPECT_EQ(Row(0)[5], "升级中");
        Report(0, {{1, EventFinished, 5000000, 5000000}});
      },
      [&] {
        window.CheckCompletion();
        EXPECT_EQ(Row(0)[4], "100%");
        EXPECT_EQ(Row(0)[5], "更新完毕");
        // Any later report writes its state again.
        Report(0, {{1, EventProgress, 5000000, 100}});
      },
      [&] { EXPECT_EQ(Row(0)[5], "升级中"); },
  });
}

TEST_F(UpdateWindowTest, AFailedDownloadShowsZeroes) {
  WhileOpen({
      [&] { Report(0, {{1, EventFailed, 0, 0}}); },
      [&] { EXPECT_EQ(Row(0), (std::vector<Text>{"1", "vink.zip", "0 Byte", "0 Byte", "0%", "升级中"})); },
  });
}

TEST_F(UpdateWindowTest, ASecondStartClearsTheListAndItsReportsHaveNoRow) {
  WhileOpen({
      [&] { Report(0, {{1, EventProgress, 100, 100}}); },
      [&] { Click(u8"按钮1"); },
      [&] {
        ASSERT_EQ(downloader.starts.size(), 2u);
        EXPECT_EQ(window.Window().RowCount(names::List), 1);
        EXPECT_EQ(Row(0), (std::vector<Text>{"2", "vink.zip", "", "", "", ""}));
        Report(1, {{2, EventFinished, 100, 100}});
      },
      [&] {
        EXPECT_EQ(window.Window().RowCount(names::List), 1);
        EXPECT_EQ(Row(0), (std::vector<Text>{"2", "vink.zip", "", "", "", ""}));
        EXPECT_EQ(counters.shownRow.load(), 1);
        window.CheckCompletion();
        EXPECT_EQ(Row(0)[5], "");
      },
  });
  EXPECT_EQ(counters.downloadCount.load(), 2);
}

TEST_F(UpdateWindowTest, AnEmptyUrlStartsNothing) {
  WhileOpen({[&] {
    window.Window().SetText(names::Url, "");
    Click(u8"按钮1");
    EXPECT_EQ(window.Window().RowCount(names::List), 0);
    EXPECT_EQ(downloader.starts.size(), 1u);
  }});
  EXPECT_EQ(counters.downloadCount.load(), 1);
}

TEST_F(UpdateWindowTest, ButtonsDriveAllDownloadsAndOpenThePackagePage) {
  WhileOpen({[&] {
    Click(u8"按钮3");
    Click(u8"按钮4");
    Click(u8"按钮2");
    Click(u8"按钮5");
  }});
  EXPECT_EQ(downloader.operations, (std::vector<std::string>{"PauseAll", "ResumeAll", "StopAll"}));
  EXPECT_EQ(toolkit.openedUrls, (std::vector<Text>{Text(PackageUrl)}));
}

TEST_F(UpdateWindowTest, ReportsAfterTheWindowClosedTouchNothing) {
  WhileOpen({});
  Report(0, {{1, EventProgress, 100, 50}});
  QCoreApplication::processEvents();
  EXPECT_EQ(Row(0)[4], "");

  // A window gone altogether while its download goes on reporting.
  auto gone = std::make_unique<UpdateWindow>(toolkit, runtime, downloader, counters);
  toolkit.PostToWindowThread([&] { gone->Window().Close(); });
  gone->RunModal();
  const ProgressCallback orphan = downloader.starts.back().callback;
  gone.reset();
  std::thread([&] { orphan(2, EventProgress, 100, 60); }).join();
  QCoreApplication::processEvents();
  EXPECT_EQ(counters.shownRow.load(), 0);
}

}  // namespace
}  // namespace signmaker
