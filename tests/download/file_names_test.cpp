// The output file's name and path, and how a total is cut into ranges.
#include <gtest/gtest.h>

#include "download/download_task.h"
#include "download/file_names.h"
#include "tests/download/download_fixtures.h"
#include "tests/support/scripted_http_server.h"

namespace signmaker {
namespace {

using testing::FixedRuntime;
using testing::HttpResponse;
using testing::ScriptedHttpServer;

TEST(FileNameFromUrl, KeepsTheLastSegmentWithoutItsQuery) {
  const struct {
    const char* url;
    const char* name;
  } cases[] = {
      {"http://h.example/files/pkg.zip?x=1", "pkg.zip"},
      {"pkg.zip", "pkg.zip"},
      {"http://h.example/dir/", ""},
      {"C:\\dl\\setup.exe", "setup.exe"},
      {"http://h.example/a?b/c.zip", "c.zip"},  // the query is cut after the last "/"
      {"http://h.example/a.zip?x?y", "a.zip"},
      // The second byte of this two-byte character is a backslash; it is no separator.
      {"http://h.example/\x95\\.zip", "\x95\\.zip"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileNameFromUrl(c.url), c.name) << c.url;
}

TEST(PathExtension, LooksAtTheLastPartOnly) {
  const struct {
    const char* path;
    const char* extension;
  } cases[] = {
      {"/dl/pkg.zip", ".zip"}, {"/dl/pkg.tar.gz", ".gz"}, {"/d.l/setup", ""},
      {"/dl/", ""},            {"name.", "."},            {"/dl/.hidden", ".hidden"},
  };
  for (const auto& c : cases) EXPECT_EQ(PathExtension(c.path), c.extension) << c.path;
}

TEST(CompleteTargetPath, AddsTheNameToAFolder) {
  // Offline, the name comes from the URL and no request is made.
  FixedRuntime offline(false);
  const struct {
    const char* target;
    const char* url;
    const char* path;
  } cases[] = {
      {"/dl/", "http://h.example/files/pkg.zip", "/dl/pkg.zip"},
      {"/dl", "http://h.example/files/pkg.zip", "/dl/pkg.zip"},
      {"/dl/out.bin", "http://h.example/files/pkg.zip", "/dl/out.bin"},
      {"/d.l/setup", "http://h.example/getfile", "/d.l/setup/getfile"},
      // A path with no "." at all gets its last part once more.
      {"/dl/setup", "http://h.example/dir/", "/dl/setup/setup"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CompleteTargetPath(c.target, c.url, platform::HttpClient::Default(), offline), c.path)
        << c.target << " " << c.url;
  }
}

TEST(DefaultFileName, TakesTheServersContentLocationWithoutFollowingRedirects) {
  ScriptedHttpServer server;
  server.Enqueue(HttpResponse(302, "Location: /elsewhere.zip\r\nContent-Location: /real/name.zip?v=2\r\n"));
  FixedRuntime online(true);
  EXPECT_EQ(DefaultFileName(server.Url("/get?id=1"), platform::HttpClient::Default(), online), "name.zip");

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].RequestLine(), "GET /get?id=1 HTTP/1.1");
  EXPECT_EQ(requests[0].Header("User-Agent"), "我的下载5731906");
  EXPECT_EQ(requests[0].Header("Pragma"), "no-cache");
}

TEST(DefaultFileName, FallsBackToTheUrl) {
  FixedRuntime online(true);
  FixedRuntime offline(false);
  {  // no Content-Location in the reply
    ScriptedHttpServer server;
    server.Enqueue(HttpResponse(200));
    EXPECT_EQ(DefaultFileName(server.Url("/files/pkg.zip"), platform::HttpClient::Default(), online), "pkg.zip");
  }
  {  // offline: not even asked
    ScriptedHttpServer server;
    EXPECT_EQ(DefaultFileName(server.Url("/files/pkg.zip"), platform::HttpClient::Default(), offline), "pkg.zip");
    EXPECT_TRUE(server.Requests().empty());
  }
  {  // no reply at all
    ScriptedHttpServer server;
    server.Enqueue(std::string());
    EXPECT_EQ(DefaultFileName(server.Url("/files/pkg.zip"), platform::HttpClient::Default(), online), "pkg.zip");
  }
  {  // a location too long to be read
    ScriptedHttpServer server;
    server.Enqueue(HttpResponse(200, "Content-Location: /" + std::string(300, 'a') + ".zip\r\n"));
    EXPECT_EQ(DefaultFileName(server.Url("/files/pkg.zip"), platform::HttpClient::Default(), online), "pkg.zip");
  }
}

TEST(RangeCountOf, IsTheCeilingOfTotalOverRangeSize) {
  const struct {
    std::int32_t total, ranges;
  } cases[] = {{1, 1}, {500000, 1}, {1048576, 1}, {1048577, 2}, {3145728, 3}, {5000000, 5},
               {2147483647, 2048}};
  for (const auto& c : cases) EXPECT_EQ(RangeCountOf(c.total, RangeSize), c.ranges) << c.total;
}

}  // namespace
}  // namespace signmaker
