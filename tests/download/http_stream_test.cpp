// Replies read piece by piece over HTTP: what the downloader's probes and range
// requests rely on.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/http.h"
#include "tests/download/download_fixtures.h"
#include "tests/support/scripted_http_server.h"

namespace signmaker {
namespace {

using testing::HttpResponse;
using testing::ScriptedHttpServer;
using testing::ScriptedReply;

// Reads the stream to its end; `status` is what the last Read gave (0 or -1).
std::string ReadAll(platform::HttpStream& stream, long& status) {
  std::string body;
  std::uint8_t buffer[20480];
  while ((status = stream.Read(buffer, sizeof buffer)) > 0) body.append(reinterpret_cast<char*>(buffer), status);
  return body;
}

TEST(HttpStream, ReadsTheBodyAndTheReplyHeaders) {
  ScriptedHttpServer server;
  const std::string body = testing::ResourceText(300000);
  server.Enqueue(HttpResponse(206, "Content-Location: /x/pkg.zip \r\n", body));
  auto stream = platform::HttpClient::Default().Open(server.Url("/pkg.zip"), "Accept: */*\r\nRange:bytes=0-9",
                                                      "agent 1", true);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->ContentLength(), 300000);
  EXPECT_EQ(stream->ContentLocation(), "/x/pkg.zip");
  long status = 1;
  EXPECT_EQ(ReadAll(*stream, status), body);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(stream->Read(nullptr, 0), 0);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  // The caller's lines in their order, then the no-cache line; nothing of the client's own.
  EXPECT_NE(requests[0].head.find("\r\nAccept: */*\r\nRange:bytes=0-9\r\n"), std::string::npos) << requests[0].head;
  EXPECT_EQ(requests[0].Header("User-Agent"), "agent 1");
  EXPECT_EQ(requests[0].Header("Pragma"), "no-cache");
  EXPECT_EQ(requests[0].Header("Accept-Encoding"), std::nullopt);
}

TEST(HttpStream, AgentInTheHeadersWins) {
  ScriptedHttpServer server;
  server.Enqueue(HttpResponse(200));
  auto stream = platform::HttpClient::Default().Open(server.Url("/"), "User-Agent: mine", "other", true);
  ASSERT_NE(stream, nullptr);
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].head.find("other"), std::string::npos) << requests[0].head;
  EXPECT_EQ(requests[0].Header("User-Agent"), "mine");
}

TEST(HttpStream, ContentLengthAsTheServerSentIt) {
  const struct {
    const char* line;
    std::optional<std::int64_t> length;
  } cases[] = {
      {"Content-Length: 0\r\n", 0},
      {"Content-Length: 2147483648\r\n", 2147483648LL},
      {"", std::nullopt},
  };
  for (const auto& c : cases) {
    ScriptedHttpServer server;
    // A reply cut short after its headers: only the headers matter here.
    server.Enqueue(std::string("HTTP/1.1 200 OK\r\n") + c.line + "Connection: close\r\n\r\n");
    auto stream = platform::HttpClient::Default().Open(server.Url("/"), "", "", true);
    ASSERT_NE(stream, nullptr) << c.line;
    EXPECT_EQ(stream->ContentLength(), c.length) << c.line;
  }
}

TEST(HttpStream, ATransferCutShortFailsAfterItsBytes) {
  ScriptedHttpServer server;
  server.Enqueue("HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + std::string(5000, 'x'));
  auto stream = platform::HttpClient::Default().Open(server.Url("/"), "", "", true);
  ASSERT_NE(stream, nullptr);
  long status = 0;
  EXPECT_EQ(ReadAll(*stream, status), std::string(5000, 'x'));
  EXPECT_EQ(status, -1);
}

TEST(HttpStream, ABodyEndedByClosingIsComplete) {
  ScriptedHttpServer server;
  server.Enqueue("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + std::string(70000, 'y'));
  auto stream = platform::HttpClient::Default().Open(server.Url("/"), "", "", true);
  ASSERT_NE(stream, nullptr);
  EXPECT_EQ(stream->ContentLength(), std::nullopt);
  long status = -1;
  EXPECT_EQ(ReadAll(*stream, status), std::string(70000, 'y'));
  EXPECT_EQ(status, 0);
}

TEST(HttpStream, NoReplyGivesNoStream) {
  ScriptedHttpServer server;
  server.Enqueue(std::string());  // closes without a byte
  EXPECT_EQ(platform::HttpClient::Default().Open(server.Url("/"), "", "", true), nullptr);
}

TEST(HttpStream, RedirectsAreFollowedOnlyWhenAsked) {
  ScriptedHttpServer server;
  server.SetHandler([&](const testing::RecordedRequest& request) {
    if (request.RequestLine().starts_with("GET /old ")) {
      return ScriptedReply{HttpResponse(302, "Location: /new\r\nContent-Location: /old.zip\r\n")};
    }
    return ScriptedReply{HttpResponse(200, "Content-Location: /new.zip\r\n", "new")};
  });
  auto followed = platform::HttpClient::Default().Open(server.Url("/old"), "", "", true);
  ASSERT_NE(followed, nullptr);
  EXPECT_EQ(followed->ContentLocation(), "/new.zip");
  long status = -1;
  EXPECT_EQ(ReadAll(*followed, status), "new");

  auto kept = platform::HttpClient::Default().Open(server.Url("/old"), "", "", false);
  ASSERT_NE(kept, nullptr);
  EXPECT_EQ(kept->ContentLocation(), "/old.zip");
}

TEST(HttpStream, SmallReadsGetEveryByteInOrder) {
  // Pieces larger than a read stay with the stream (holding the transfer) until
  // they have been taken.
  ScriptedHttpServer server;
  const std::string body = testing::ResourceText(8 * 1024 * 1024 + 7);
  server.Enqueue(HttpResponse(200, "", body));
  auto stream = platform::HttpClient::Default().Open(server.Url("/"), "", "", true);
  ASSERT_NE(stream, nullptr);
  std::string got;
  std::uint8_t buffer[1000];
  long count = 0;
  while ((count = stream->Read(buffer, sizeof buffer)) > 0) got.append(reinterpret_cast<char*>(buffer), count);
  EXPECT_EQ(count, 0);
  EXPECT_TRUE(got == body);
}

}  // namespace
}  // namespace signmaker
