// Downloads from a real HTTP server with range support.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tests/download/download_fixtures.h"
#include "tests/support/nginx_server.h"

namespace signmaker {
namespace {

using namespace testing;

TEST(NginxDownload, FilesArriveWholeWithOrderedReports) {
  TempFolder served;
  TempFolder out;
  NginxServer server(served.Path().string());
  ASSERT_NE(server.Port(), 0);
  const struct {
    std::int32_t total;
    std::int32_t threads;
  } cases[] = {{500000, 10}, {5000000, 10}, {3145728, 10}, {1, 10}, {5000000, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "total " << c.total << ", threads " << c.threads);
    const Bytes resource = ResourceBytes(static_cast<std::size_t>(c.total));
    WriteWholeFile(served.Path() / "pkg.zip", resource);
    Downloader downloader;
    const auto recorder = ProgressRecorder::Make();

    const TaskHandle handle = downloader.object.Download(server.Url("/pkg.zip"), out.File("pkg.zip"), c.threads,
                                                         recorder->Callback(), 1);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(downloader.tasks.At(1), handle);
    ASSERT_TRUE(recorder->WaitForFinal());
    ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());

    const auto reports = recorder->Reports();
    ExpectCompleteSequence(reports, 1, c.total);
    // A read brings at most 20,480 bytes, and every block is reported.
    EXPECT_GE(reports.size() - 1, static_cast<std::size_t>((c.total + 20479) / 20480));
    EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == resource);
  }
}

TEST(NginxDownload, DownloadsAtTheSameTimeKeepTheirOwnTaskNumbers) {
  // The second task is appended while the first one's threads look up their number.
  TempFolder served;
  TempFolder out;
  const Bytes first = ResourceBytes(5000000);
  const Bytes second = ResourceBytes(3145728);
  WriteWholeFile(served.Path() / "first.bin", first);
  WriteWholeFile(served.Path() / "second.bin", second);
  NginxServer server(served.Path().string());
  ASSERT_NE(server.Port(), 0);
  Downloader downloader;
  const auto one = ProgressRecorder::Make();
  const auto two = ProgressRecorder::Make();

  ASSERT_GT(downloader.object.Download(server.Url("/first.bin"), out.File("first.bin"), 10, one->Callback(), 1), 0);
  ASSERT_TRUE(one->WaitForReports(1));
  ASSERT_GT(downloader.object.Download(server.Url("/second.bin"), out.File("second.bin"), 10, two->Callback(), 1), 0);

  ASSERT_TRUE(one->WaitForFinal());
  ASSERT_TRUE(two->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  ExpectCompleteSequence(one->Reports(), 1, 5000000);
  ExpectCompleteSequence(two->Reports(), 2, 3145728);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "first.bin") == first);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "second.bin") == second);
}

TEST(NginxDownload, AReceiverThatTakesItsTimeDoesNotBlockTheStateOperations) {
  // The receiver of the first report waits for the caller's thread, which meanwhile
  // pauses and resumes the task: neither may wait for the other.
  TempFolder served;
  TempFolder out;
  const Bytes resource = ResourceBytes(5000000);
  WriteWholeFile(served.Path() / "pkg.zip", resource);
  NginxServer server(served.Path().string());
  ASSERT_NE(server.Port(), 0);
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  struct Meeting {
    std::mutex mutex;
    std::condition_variable changed;
    bool entered = false;
    bool operationsDone = false;
    bool first = true;
  };
  const auto meeting = std::make_shared<Meeting>();
  std::atomic<bool> receiverGaveUp{false};
  recorder->SetHook([meeting, &receiverGaveUp](const Report&) {
    std::unique_lock lock(meeting->mutex);
    if (!std::exchange(meeting->first, false)) return;
    meeting->entered = true;
    meeting->changed.notify_all();
    if (!meeting->changed.wait_for(lock, std::chrono::seconds(30), [&] { return meeting->operationsDone; })) {
      receiverGaveUp = true;
    }
  });

  ASSERT_GT(downloader.object.Download(server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1), 0);
  {
    std::unique_lock lock(meeting->mutex);
    ASSERT_TRUE(meeting->changed.wait_for(lock, WaitLimit, [&] { return meeting->entered; }));
  }
  downloader.object.PauseAll();
  downloader.object.Pause(1);
  downloader.object.Resume(1);
  downloader.object.ResumeAll();
  {
    std::lock_guard guard(meeting->mutex);
    meeting->operationsDone = true;
  }
  meeting->changed.notify_all();

  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  EXPECT_FALSE(receiverGaveUp);
  ExpectCompleteSequence(recorder->Reports(), 1, 5000000);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == resource);
}

TEST(NginxDownload, PauseAllThenResumeAllGivesTheSameFile) {
  TempFolder served;
  TempFolder out;
  const Bytes resource = ResourceBytes(3145728);
  WriteWholeFile(served.Path() / "pkg.zip", resource);
  // Slow enough that the pause lands in the middle of the transfer.
  NginxServer server(served.Path().string(), 1024 * 1024);
  ASSERT_NE(server.Port(), 0);
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  ASSERT_GT(downloader.object.Download(server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1), 0);
  ASSERT_TRUE(recorder->WaitForReports(1));
  downloader.object.PauseAll();
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  downloader.object.ResumeAll();

  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  ExpectCompleteSequence(recorder->Reports(), 1, 3145728);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == resource);
}

}  // namespace
}  // namespace signmaker
