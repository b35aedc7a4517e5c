// Downloads from a loopback server that misbehaves on purpose, and the state
// operations at the moments that matter.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <thread>

#include "download/download_task.h"
#include "tests/download/download_fixtures.h"
#include "tests/support/scripted_http_server.h"

namespace signmaker {
namespace {

using namespace testing;

// The byte range a request asks for, as "a-b"; empty when it asks for none.
std::string RangeOf(const RecordedRequest& request) {
  const std::string head = request.head;
  const std::size_t at = head.find("Range:bytes=");
  if (at == std::string::npos) return {};
  const std::size_t from = at + 12;
  return head.substr(from, head.find("\r\n", from) - from);
}

// A 206 reply with the resource's bytes from `range` ("a-b", b clamped to the end);
// the whole resource with 200 when the request names no range.
std::string RangeReply(const std::string& resource, const std::string& range) {
  if (range.empty()) return HttpResponse(200, "", resource);
  const std::size_t dash = range.find('-');
  const std::size_t first = std::stoul(range.substr(0, dash));
  const std::size_t last = std::min<std::size_t>(std::stoul(range.substr(dash + 1)), resource.size() - 1);
  return HttpResponse(206, "", std::string_view(resource).substr(first, last - first + 1));
}

// Holds replies until the test lets them go (or a generous limit has passed).
class Gate {
 public:
  void Open() {
    {
      std::lock_guard guard(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  void Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait_for(lock, WaitLimit, [this] { return open_; });
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
};

// Opens the gates when the test ends, before the server waits for its connections.
struct OpenOnExit {
  std::vector<std::shared_ptr<Gate>> gates;
  ~OpenOnExit() {
    for (const auto& gate : gates) gate->Open();
  }
};

std::vector<Report> Finals(const std::vector<Report>& reports) {
  std::vector<Report> finals;
  for (const Report& report : reports) {
    if (report.event != EventProgress) finals.push_back(report);
  }
  return finals;
}

// Progress reports only, for task `task`, with growing done values no larger than `total`.
void ExpectOrderedProgress(const std::vector<Report>& reports, std::int32_t task, std::int32_t total) {
  std::int32_t previous = 0;
  for (const Report& report : reports) {
    if (report.event != EventProgress) continue;
    EXPECT_EQ(report.task, task);
    EXPECT_GT(report.done, previous);
    EXPECT_LE(report.done, total);
    previous = report.done;
  }
}

TEST(ScriptedDownload, SendsTheHeaderBlockAndOneRequestPerRange) {
  const std::string resource = ResourceText(5000000);
  ScriptedHttpServer server;
  server.SetHandler([&](const RecordedRequest& request) {
    return ScriptedReply{RangeReply(resource, RangeOf(request))};
  });
  TempFolder out;
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  // A folder as the target: the file is named after the URL.
  ASSERT_GT(downloader.object.Download(server.Url("/files/pkg.zip"), out.Path().string(), 10, recorder->Callback(), 1),
            0);
  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  ExpectCompleteSequence(recorder->Reports(), 1, 5000000);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == ResourceBytes(5000000));

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 7u);  // name probe, size probe, five ranges
  EXPECT_EQ(RangeOf(requests[0]), "");
  EXPECT_EQ(requests[0].Header("Accept"), std::nullopt);
  EXPECT_NE(requests[1].head.find(std::string(DownloadHeaders) + "\r\nPragma: no-cache\r\n"), std::string::npos)
      << requests[1].head;
  std::set<std::string> ranges;
  for (std::size_t i = 2; i < requests.size(); ++i) {
    const std::string range = RangeOf(requests[i]);
    ranges.insert(range);
    EXPECT_EQ(requests[i].RequestLine(), "GET /files/pkg.zip HTTP/1.1");
    EXPECT_NE(requests[i].head.find(std::string(DownloadHeaders) + "\r\nRange:bytes=" + range + "\r\n"),
              std::string::npos)
        << requests[i].head;
  }
  EXPECT_EQ(ranges, (std::set<std::string>{"0-1048575", "1048576-2097151", "2097152-3145727", "3145728-4194303",
                                           "4194304-5000000"}));
}

TEST(ScriptedDownload, ARangeThatGoesWrongFailsTheTask) {
  constexpr std::int32_t total = 3000000;
  const std::string resource = ResourceText(total);
  const std::string second = "1048576-2097151";
  const struct {
    const char* name;
    std::function<std::string(const std::string& range)> reply;
  } cases[] = {
      {"no reply", [&](const std::string& range) { return range == second ? "" : RangeReply(resource, range); }},
      {"closed early",
       [&](const std::string& range) {
         const std::string whole = RangeReply(resource, range);
         return range == second ? whole.substr(0, whole.size() / 2) : whole;
       }},
      {"short reply",
       [&](const std::string& range) {
         return range == second ? HttpResponse(206, "", resource.substr(1048576, 500000)) : RangeReply(resource, range);
       }},
      {"range ignored", [&](const std::string&) { return RangeReply(resource, ""); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHttpServer server;
    server.SetHandler([&](const RecordedRequest& request) { return ScriptedReply{c.reply(RangeOf(request))}; });
    TempFolder out;
    Downloader downloader;
    const auto recorder = ProgressRecorder::Make();

    ASSERT_GT(downloader.object.Download(server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1), 0);
    ASSERT_TRUE(recorder->WaitForFinal());
    ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
    const auto reports = recorder->Reports();
    EXPECT_EQ(Finals(reports), (std::vector<Report>{{1, EventFailed, 0, 0}}));
    EXPECT_EQ(reports.back().event, EventFailed);
    ExpectOrderedProgress(reports, 1, total);
    EXPECT_EQ(std::filesystem::file_size(out.Path() / "pkg.zip"), static_cast<std::uintmax_t>(total));
  }
}

TEST(ScriptedDownload, AReplyLongerThanItsRangeDoesNotOverwriteTheNextRange) {
  constexpr std::int32_t total = 1048576 + 100000;
  const std::string resource = ResourceText(total);
  ScriptedHttpServer server;
  server.SetHandler([&](const RecordedRequest& request) {
    const std::string range = RangeOf(request);
    if (range == "0-1048575") {  // the range, then bytes that belong to nobody
      return ScriptedReply{HttpResponse(206, "", resource.substr(0, 1048576) + std::string(100000, '\xEE'))};
    }
    return ScriptedReply{RangeReply(resource, range)};
  });
  TempFolder out;
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  // One thread: the second range's worker could only start after the first has ended.
  ASSERT_GT(downloader.object.Download(server.Url("/pkg.zip"), out.File("pkg.zip"), 1, recorder->Callback(), 1), 0);
  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  EXPECT_EQ(Finals(recorder->Reports()), (std::vector<Report>{{1, EventFailed, 0, 0}}));
  ExpectOrderedProgress(recorder->Reports(), 1, total);
  const Bytes file = ReadWholeFile(out.Path() / "pkg.zip");
  ASSERT_EQ(file.size(), static_cast<std::size_t>(total));
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + 1048576, resource.begin(),
                         [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); }));
  EXPECT_TRUE(std::all_of(file.begin() + 1048576, file.end(), [](std::uint8_t b) { return b == 0; }));
  EXPECT_EQ(server.Requests().size(), 2u);  // the failure ended the launching
}

TEST(ScriptedDownload, AServerIgnoringTheRangeStillFillsASingleRange) {
  const std::string resource = ResourceText(500000);
  ScriptedHttpServer server;
  server.SetHandler([&](const RecordedRequest&) { return ScriptedReply{RangeReply(resource, "")}; });
  TempFolder out;
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  ASSERT_GT(downloader.object.Download(server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1), 0);
  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  ExpectCompleteSequence(recorder->Reports(), 1, 500000);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == ResourceBytes(500000));
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(RangeOf(requests[1]), "0-500000");
}

TEST(ScriptedDownload, NoLengthLeavesAnEmptyFile) {
  ScriptedHttpServer server;
  server.Enqueue("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nsome body");
  TempFolder out;
  WriteWholeFile(out.Path() / "pkg.zip", ResourceBytes(1000));  // emptied
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  EXPECT_EQ(downloader.object.Download(server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1), 0);
  EXPECT_EQ(downloader.tasks.At(1), 0);
  EXPECT_EQ(std::filesystem::file_size(out.Path() / "pkg.zip"), 0u);
  EXPECT_EQ(downloader.kernel.Open(), 0);
  EXPECT_EQ(server.Requests().size(), 1u);
  EXPECT_TRUE(recorder->Reports().empty());
}

TEST(ScriptedDownload, RefusedStartsCreateNoFile) {
  const struct {
    const char* name;
    std::string probeReply;
    Text target;
    std::int32_t threads;
  } cases[] = {
      {"2 GiB", "HTTP/1.1 200 OK\r\nContent-Length: 2147483648\r\n\r\n", "pkg.zip", 10},
      {"negative length", "HTTP/1.1 200 OK\r\nContent-Length: -5\r\n\r\n", "pkg.zip", 10},
      {"no reply", "", "pkg.zip", 10},
      {"no threads", HttpResponse(200, "", "abc"), "pkg.zip", 0},
      {"folder missing", HttpResponse(200, "", "abc"), "missing/pkg.zip", 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHttpServer server;
    server.Enqueue(c.probeReply);
    TempFolder out;
    Downloader downloader;
    const auto recorder = ProgressRecorder::Make();
    EXPECT_EQ(downloader.object.Download(server.Url("/pkg.zip"), out.File(c.target), c.threads, recorder->Callback(), 1),
              -1);
    EXPECT_EQ(downloader.tasks.Count(), 1);
    EXPECT_EQ(downloader.tasks.At(1), -1);
    EXPECT_TRUE(std::filesystem::is_empty(out.Path()));
    EXPECT_EQ(downloader.kernel.Open(), 0);
    EXPECT_TRUE(recorder->Reports().empty());
  }
}

// A server whose range replies wait at a gate of their own, one per range.
struct GatedServer {
  explicit GatedServer(std::int32_t total, std::size_t ranges) : resource(ResourceText(total)) {
    for (std::size_t i = 0; i < ranges; ++i) release.gates.push_back(std::make_shared<Gate>());
    server.SetHandler([resource = resource, gates = release.gates](const RecordedRequest& request) {
      const std::string range = RangeOf(request);
      if (!range.empty()) gates[std::stoul(range) / RangeSize]->Wait();
      return ScriptedReply{RangeReply(resource, range)};
    });
  }
  Gate& Of(std::size_t range) { return *release.gates[range - 1]; }

  std::string resource;
  ScriptedHttpServer server;
  OpenOnExit release;
};

TEST(ScriptedDownload, APausedWorkerWaitsWithItsRequestOpen) {
  GatedServer gated(500000, 1);
  TempFolder out;
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  ASSERT_GT(downloader.object.Download(gated.server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1),
            0);
  ASSERT_TRUE(gated.server.WaitForRequests(2, WaitLimit));  // the worker waits for its reply
  downloader.object.Pause(1);
  gated.Of(1).Open();
  // The block in hand is written and reported, then nothing until the task resumes.
  ASSERT_TRUE(recorder->WaitForReports(1));
  std::this_thread::sleep_for(std::chrono::milliseconds(400));
  EXPECT_EQ(recorder->Reports().size(), 1u);
  downloader.object.Resume(1);

  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  ExpectCompleteSequence(recorder->Reports(), 1, 500000);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == ResourceBytes(500000));
  EXPECT_EQ(gated.server.Requests().size(), 2u);
}

TEST(ScriptedDownload, StopEndsEachWorkerAfterTheBlockInHand) {
  constexpr std::int32_t total = 2 * RangeSize;
  GatedServer gated(total, 2);
  TempFolder out;
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  ASSERT_GT(downloader.object.Download(gated.server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1),
            0);
  ASSERT_TRUE(gated.server.WaitForRequests(3, WaitLimit));  // both workers wait for their replies
  downloader.object.StopAll();
  gated.Of(1).Open();
  gated.Of(2).Open();
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());

  const auto reports = recorder->Reports();
  ASSERT_EQ(reports.size(), 2u);  // one block each, no final report
  ExpectOrderedProgress(reports, 1, total);
  EXPECT_LT(reports.back().done, total);
  EXPECT_EQ(std::filesystem::file_size(out.Path() / "pkg.zip"), static_cast<std::uintmax_t>(total));
}

TEST(ScriptedDownload, ResumedAfterAStopTheTaskFinishesWithWhatItHas) {
  constexpr std::int32_t total = 2 * RangeSize;
  GatedServer gated(total, 2);
  TempFolder out;
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  ASSERT_GT(downloader.object.Download(gated.server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1),
            0);
  ASSERT_TRUE(gated.server.WaitForRequests(3, WaitLimit));
  downloader.object.Stop(1);
  gated.Of(1).Open();
  ASSERT_TRUE(recorder->WaitForReports(1));  // the first worker has seen the stop and ends
  downloader.object.Resume(1);
  gated.Of(2).Open();

  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  const auto reports = recorder->Reports();
  ExpectOrderedProgress(reports, 1, total);
  ASSERT_EQ(Finals(reports).size(), 1u);
  const Report final = reports.back();
  EXPECT_EQ(final.event, EventFinished);
  EXPECT_EQ(final.total, total);
  EXPECT_EQ(final.done, reports[reports.size() - 2].done);
  EXPECT_LT(final.done, total);
  // The second range is whole, the first holds its one block and zeros after it.
  const Bytes file = ReadWholeFile(out.Path() / "pkg.zip");
  const Bytes resource = ResourceBytes(total);
  EXPECT_TRUE(std::equal(file.begin() + RangeSize, file.end(), resource.begin() + RangeSize));
  const std::int32_t firstBlock = final.done - RangeSize;
  ASSERT_GT(firstBlock, 0);
  EXPECT_TRUE(std::equal(file.begin(), file.begin() + firstBlock, resource.begin()));
  EXPECT_TRUE(std::all_of(file.begin() + firstBlock, file.begin() + RangeSize, [](std::uint8_t b) { return b == 0; }));
}

TEST(ScriptedDownload, TheThreadCountCapsTheConnections) {
  constexpr std::int32_t total = 5 * RangeSize;
  GatedServer gated(total, 5);
  TempFolder out;
  Downloader downloader;
  const auto recorder = ProgressRecorder::Make();

  ASSERT_GT(downloader.object.Download(gated.server.Url("/pkg.zip"), out.File("pkg.zip"), 2, recorder->Callback(), 1),
            0);
  ASSERT_TRUE(gated.server.WaitForRequests(3, WaitLimit));
  // Several launch steps later, still two ranges asked for.
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  EXPECT_EQ(gated.server.Requests().size(), 3u);
  for (std::size_t range = 1; range <= 5; ++range) gated.Of(range).Open();

  ASSERT_TRUE(recorder->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  ExpectCompleteSequence(recorder->Reports(), 1, total);
  EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == ResourceBytes(total));
}

TEST(ScriptedDownload, AReleasedListGetsNoReportsWhileTheDownloadGoesOn) {
  GatedServer gated(500000, 1);
  TempFolder out;
  TrackingKernel kernel;
  FixedRuntime runtime(true);
  const auto recorder = ProgressRecorder::Make();
  {
    DownloadTaskList tasks;
    MultiDownloader object(tasks, platform::HttpClient::Default(), kernel, runtime);
    ASSERT_GT(object.Download(gated.server.Url("/pkg.zip"), out.File("pkg.zip"), 10, recorder->Callback(), 1), 0);
    ASSERT_TRUE(gated.server.WaitForRequests(2, WaitLimit));
  }  // the program ends: the object, then the list
  gated.Of(1).Open();
  ASSERT_TRUE(kernel.WaitUntilAllClosed());
  EXPECT_TRUE(recorder->Reports().empty());
  EXPECT_TRUE(ReadWholeFile(out.Path() / "pkg.zip") == ResourceBytes(500000));
}

TEST(ScriptedDownload, StateOperationsLeaveFailedAndEndedEntriesAlone) {
  const std::string resource = ResourceText(1000);
  ScriptedHttpServer server;
  server.SetHandler([&](const RecordedRequest& request) {
    if (request.RequestLine().starts_with("GET /gone ")) return ScriptedReply{};
    if (request.RequestLine().starts_with("GET /empty ")) return ScriptedReply{"HTTP/1.1 200 OK\r\n\r\n"};
    return ScriptedReply{RangeReply(resource, RangeOf(request))};
  });
  TempFolder out;
  Downloader downloader;
  MultiDownloader& object = downloader.object;

  // Nothing to do on an empty list.
  object.PauseAll();
  object.StopAll();
  object.ResumeAll();
  object.StopAndResumeAll();
  EXPECT_EQ(downloader.tasks.Count(), 0);

  const auto first = ProgressRecorder::Make();
  const TaskHandle ended = object.Download(server.Url("/a.bin"), out.File("a.bin"), 10, first->Callback(), 1);
  ASSERT_GT(ended, 0);
  ASSERT_TRUE(first->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  EXPECT_EQ(object.Download(server.Url("/gone"), out.File("b.bin"), 10, first->Callback(), 1), -1);
  EXPECT_EQ(object.Download(server.Url("/empty"), out.File("c.bin"), 10, first->Callback(), 1), 0);

  for (const std::int32_t number : {INT_MIN, -1, 0, 1, 2, 3, 4, 99, INT_MAX}) {
    object.Pause(number);
    object.Stop(number);
    object.Resume(number);
    object.StopAndResume(number);
  }
  object.PauseAll();
  object.StopAll();
  object.StopAndResumeAll();
  object.ResumeAll();
  EXPECT_EQ(downloader.tasks.Count(), 3);
  EXPECT_EQ(downloader.tasks.At(1), ended);
  EXPECT_EQ(downloader.tasks.At(2), -1);
  EXPECT_EQ(downloader.tasks.At(3), 0);

  // A task started after them is task 4 and runs undisturbed.
  const auto fourth = ProgressRecorder::Make();
  const TaskHandle handle = object.Download(server.Url("/d.bin"), out.File("d.bin"), 10, fourth->Callback(), 1);
  ASSERT_GT(handle, 0);
  EXPECT_NE(handle, ended);
  ASSERT_TRUE(fourth->WaitForFinal());
  ASSERT_TRUE(downloader.kernel.WaitUntilAllClosed());
  ExpectCompleteSequence(fourth->Reports(), 4, 1000);
  ExpectCompleteSequence(first->Reports(), 1, 1000);
  EXPECT_EQ(downloader.tasks.NumberOf(handle), 4);
}

}  // namespace
}  // namespace signmaker
