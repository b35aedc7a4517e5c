// The request routine and the libcurl client against servers on loopback: what
// reaches the server, and what comes back when the server misbehaves.

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>

#include "platform/http.h"
#include "platform/linux/curl_session.h"
#include "tests/support/scripted_http_server.h"
#include "tests/support/self_signed_tls_server.h"
#include "web/web_access.h"

namespace signmaker {
namespace {

using testing::HttpResponse;
using testing::ScriptedHttpServer;
using testing::ScriptedReply;
using testing::SelfSignedTlsServer;

constexpr auto ArrivalLimit = std::chrono::seconds(10);
const Text NoReplyHeaders(5000, ' ');

// Shortens the time limit of every transfer while a test that stalls runs.
class ShortTimeLimit {
 public:
  ShortTimeLimit() : saved_(platform::curl::TimeLimit()) {
    platform::curl::SetTimeLimit(std::chrono::seconds(1));
  }
  ~ShortTimeLimit() { platform::curl::SetTimeLimit(saved_); }

 private:
  std::chrono::seconds saved_;
};

Text HostLine(const ScriptedHttpServer& server) {
  return "Host: 127.0.0.1:" + std::to_string(server.Port()) + "\r\n";
}

TEST(WebAccessOnTheWire, FormPostIsSentExactly) {
  ScriptedHttpServer server;
  const Text url = server.Url("/p/re86.php?id=7");
  for (const Text& form : {Text("text=%E4%B8%AD&s=1"), Text(1100 * 1024, 'x')}) {
    SCOPED_TRACE(form.size());
    server.Enqueue(HttpResponse(200, "", "reply"));
    Text headers;
    const Bytes body = WebAccess(url, 1, form, nullptr, nullptr, &headers);
    EXPECT_EQ(TextFromBytes(body), "reply");
    EXPECT_EQ(headers, "Referer: " + url +
                           "\r\nAccept: */*\r\nAccept-Language: zh-cn"
                           "\r\nContent-Type: application/x-www-form-urlencoded");
    const auto requests = server.Requests();
    ASSERT_FALSE(requests.empty());
    // No Expect line, even for a long body, and no Accept line of the client's own.
    EXPECT_EQ(requests.back().head,
              "POST /p/re86.php?id=7 HTTP/1.1\r\n" + HostLine(server) + "User-Agent: " +
                  Text(DefaultUserAgent) + "\r\n" + headers + "\r\nContent-Length: " +
                  std::to_string(form.size()) + "\r\n\r\n");
    EXPECT_EQ(requests.back().body, form);
  }
}

TEST(WebAccessOnTheWire, MethodsAndCallerHeaders) {
  struct Case {
    const char* name;
    int method;
    Text headers;
    Text requestLine;
    std::optional<Text> contentLength;
    Text body;
  };
  const Case cases[] = {
      {"GET sends no body", 0, "", "GET /m HTTP/1.1", std::nullopt, ""},
      {"another method: GET with the body", 2, "", "GET /m HTTP/1.1", Text("3"), "a=1"},
      {"the caller's Accept line and a line with an empty value are sent",
       0, "Accept: text/html\r\nX-Empty:\r\nUser-Agent: Mine/1.0", "GET /m HTTP/1.1",
       std::nullopt, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHttpServer server;
    server.Enqueue(HttpResponse(200));
    Text headers = c.headers;
    WebAccess(server.Url("/m"), c.method, "a=1", nullptr, nullptr, &headers);
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const auto& request = requests.front();
    EXPECT_EQ(request.RequestLine(), c.requestLine);
    EXPECT_EQ(request.Header("Content-Length"), c.contentLength);
    EXPECT_EQ(request.body, c.body);
    // The header text reaches the server whole and in order, and nothing else but
    // Host, User-Agent and Content-Length is added.
    Text expected = HostLine(server);
    if (c.headers.find("User-Agent") == Text::npos) {
      expected += "User-Agent: " + Text(DefaultUserAgent) + "\r\n";
    }
    expected += headers + "\r\n";
    if (c.contentLength) expected += "Content-Length: " + *c.contentLength + "\r\n";
    EXPECT_EQ(request.HeaderLines(), expected);
  }
}

TEST(WebAccessOnTheWire, CookieStoreOnlyWhenNoCookiesAreSupplied) {
  ScriptedHttpServer server;
  const Text url = server.Url("/c");
  server.Enqueue(HttpResponse(200, "Set-Cookie: kept=1; path=/\r\n"));
  server.Enqueue(HttpResponse(200));
  server.Enqueue(HttpResponse(200, "Set-Cookie: other=2; path=/\r\n"));
  server.Enqueue(HttpResponse(200));

  WebAccess(url);  // the store keeps kept=1
  WebAccess(url);  // and sends it
  std::optional<Text> cookies = Text();
  WebAccess(url, 0, {}, &cookies);  // neither sends kept=1 nor keeps other=2
  EXPECT_EQ(cookies, Text("other=2"));
  WebAccess(url);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].Header("Cookie"), std::nullopt);
  EXPECT_EQ(requests[1].Header("Cookie"), Text("kept=1"));
  EXPECT_EQ(requests[2].Header("Cookie"), std::nullopt);
  EXPECT_EQ(requests[3].Header("Cookie"), Text("kept=1"));

  // Supplied cookies go out in the routine's own Cookie line.
  server.Enqueue(HttpResponse(200, "Set-Cookie: other=deleted; path=/\r\n"));
  WebAccess(url, 0, {}, &cookies);
  EXPECT_EQ(server.Requests().back().Header("Cookie"), Text("other=2"));
  EXPECT_EQ(cookies, Text());
}

TEST(WebAccessOnTheWire, Redirects) {
  for (const bool noRedirect : {false, true}) {
    SCOPED_TRACE(noRedirect ? "not followed" : "followed");
    ScriptedHttpServer server;
    server.Enqueue(HttpResponse(302, "Location: /final\r\n", "moved"));
    // The final reply ends its lines with bare line feeds.
    server.Enqueue("HTTP/1.1 200 OK\nX-Final: 1\nContent-Length: 4\nConnection: close\n\nhere");
    Text location, replyHeaders;
    const Bytes body = WebAccess(server.Url("/start"), 0, {}, nullptr, nullptr, nullptr, &location,
                                 noRedirect, nullptr, std::nullopt, &replyHeaders);
    if (noRedirect) {
      EXPECT_EQ(TextFromBytes(body), "moved");
      EXPECT_EQ(location, "/final");
      EXPECT_EQ(server.Requests().size(), 1u);
    } else {
      EXPECT_EQ(TextFromBytes(body), "here");
      EXPECT_EQ(replyHeaders,
                "HTTP/1.1 200 OK\r\nX-Final: 1\r\nContent-Length: 4\r\nConnection: close\r\n\r\n");
      EXPECT_EQ(location, replyHeaders);
      ASSERT_EQ(server.Requests().size(), 2u);
      EXPECT_EQ(server.Requests()[1].RequestLine(), "GET /final HTTP/1.1");
    }
  }
}

TEST(WebAccessOnTheWire, ProxyCarriesPlainHttpOnly) {
  ScriptedHttpServer proxy;
  proxy.Enqueue(HttpResponse(200, "", "via proxy"));
  const Text address = "127.0.0.1:" + std::to_string(proxy.Port());
  const Bytes body = WebAccess("http://shop.example:8080/p/x.php?a=1", 1, "q=1", nullptr, nullptr,
                               nullptr, nullptr, false, nullptr, address);
  EXPECT_EQ(TextFromBytes(body), "via proxy");
  ASSERT_EQ(proxy.Requests().size(), 1u);
  const auto request = proxy.Requests().front();
  EXPECT_EQ(request.RequestLine(), "POST http://shop.example:8080/p/x.php?a=1 HTTP/1.1");
  EXPECT_EQ(request.Header("Host"), Text("shop.example:8080"));
  EXPECT_EQ(request.Header("Proxy-Connection"), std::nullopt);
  EXPECT_EQ(request.body, "q=1");

  // An https request goes straight to its host (whose certificate then fails it).
  SelfSignedTlsServer tls;
  ASSERT_TRUE(tls.Ready());
  Text replyHeaders;
  EXPECT_TRUE(WebAccess(tls.Url("/"), 0, {}, nullptr, nullptr, nullptr, nullptr, false, nullptr,
                        address, &replyHeaders)
                  .empty());
  EXPECT_EQ(replyHeaders, NoReplyHeaders);
  EXPECT_EQ(proxy.Requests().size(), 1u);
}

TEST(WebAccessOnTheWire, UntrustedCertificateFailsTheRequest) {
  SelfSignedTlsServer tls;
  ASSERT_TRUE(tls.Ready());
  std::optional<Text> cookies = Text("a=1; a=2");
  Text location, replyHeaders;
  const Bytes body = WebAccess(tls.Url("/secret"), 1, "q=1", &cookies, nullptr, nullptr, &location,
                               false, nullptr, std::nullopt, &replyHeaders);
  EXPECT_TRUE(body.empty());
  EXPECT_EQ(replyHeaders, NoReplyHeaders);
  EXPECT_EQ(location, NoReplyHeaders);
  EXPECT_EQ(cookies, Text("a=1"));
}

TEST(WebAccessOnTheWire, Failures) {
  struct Case {
    const char* name;
    ScriptedReply reply;
    Text body;
    bool headersArrive;
  };
  const Text hugeHeaders = "HTTP/1.1 200 OK\r\nX-Big: " + Text(6000, 'h') +
                           "\r\nLocation: /x\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
  const Case cases[] = {
      {"a header block over 5,000 bytes", {hugeHeaders}, "ok", false},
      {"the server closes in the middle of the body",
       {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nfirst part"}, "first part", true},
      {"the server closes without a reply", {""}, "", false},
      {"the server closes in the middle of the headers", {"HTTP/1.1 200 OK\r\nX-A: "}, "", false},
      {"the server stays silent", {"", std::chrono::seconds(30)}, "", false},
  };
  const ShortTimeLimit shortLimit;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHttpServer server;
    server.Enqueue(c.reply);
    Text location, replyHeaders;
    const Bytes body = WebAccess(server.Url("/f"), 1, "q=1", nullptr, nullptr, nullptr, &location,
                                 false, nullptr, std::nullopt, &replyHeaders);
    EXPECT_EQ(TextFromBytes(body), c.body);
    EXPECT_EQ(replyHeaders != NoReplyHeaders, c.headersArrive);
    EXPECT_EQ(location, replyHeaders);
  }

  SCOPED_TRACE("a refused connection");
  int closedPort = 0;
  {
    ScriptedHttpServer gone;
    closedPort = gone.Port();
  }
  Text replyHeaders;
  EXPECT_TRUE(WebAccess("http://127.0.0.1:" + std::to_string(closedPort) + "/", 0, {}, nullptr,
                        nullptr, nullptr, nullptr, false, nullptr, std::nullopt, &replyHeaders)
                  .empty());
  EXPECT_EQ(replyHeaders, NoReplyHeaders);
}

TEST(HttpClientSend, TargetAgentAndHost) {
  struct Case {
    const char* name;
    Text path;
    Text agent;
    Text requestLine;
    Text agentLine;
  };
  const Case cases[] = {
      {"dot segments stay, a fragment is not sent", "/a/../b?c=1#f", "A", "GET /a/../b?c=1 HTTP/1.1",
       "A"},
      {"spaces, and non-ASCII bytes before the query, are percent-encoded",
       "/\xD6\xD0 b?q=\xD6\xD0", "A", "GET /%d6%d0%20b?q=\xD6\xD0 HTTP/1.1", "A"},
      {"a line break ends the agent", "/", "A\r\nX-Injected: 1", "GET / HTTP/1.1", "A"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScriptedHttpServer server;
    server.Enqueue(HttpResponse(200));
    platform::HttpRequest request;
    request.host = "127.0.0.1";
    request.port = server.Port();
    request.path = c.path;
    request.agent = c.agent;
    EXPECT_TRUE(platform::HttpClient::Default().Send(request).rawHeaders);
    ASSERT_EQ(server.Requests().size(), 1u);
    const auto sent = server.Requests().front();
    EXPECT_EQ(sent.RequestLine(), c.requestLine);
    EXPECT_EQ(sent.Header("User-Agent"), c.agentLine);
    EXPECT_EQ(sent.Header("X-Injected"), std::nullopt);
  }

  SCOPED_TRACE("a host that would change the URL's meaning is not asked");
  ScriptedHttpServer server;
  platform::HttpRequest request;
  request.host = "127.0.0.1:" + std::to_string(server.Port()) + "/x?";
  request.port = server.Port();
  const platform::HttpReply reply = platform::HttpClient::Default().Send(request);
  EXPECT_EQ(reply.rawHeaders, std::nullopt);
  EXPECT_TRUE(server.Requests().empty());
}

TEST(HttpGet, BodyWhateverTheStatusEmptyOnFailure) {
  ScriptedHttpServer server;
  server.Enqueue(HttpResponse(302, "Location: /missing\r\n"));
  server.Enqueue(HttpResponse(404, "", "not here"));
  server.Enqueue("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\ncut short");
  platform::HttpClient& client = platform::HttpClient::Default();
  EXPECT_EQ(TextFromBytes(client.Get(server.Url("/pic/1.jpg"))), "not here");
  EXPECT_TRUE(client.Get(server.Url("/pic/2.jpg")).empty());
  ASSERT_EQ(server.Requests().size(), 3u);
  EXPECT_EQ(server.Requests()[1].RequestLine(), "GET /missing HTTP/1.1");
}

}  // namespace
}  // namespace signmaker
