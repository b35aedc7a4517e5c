// The request routine's own logic, against a client that records the request and
// hands back a prepared reply.

#include "web/web_access.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace signmaker {
namespace {

class RecordingClient final : public platform::HttpClient {
 public:
  platform::HttpReply reply;
  std::optional<platform::HttpRequest> sent;

  platform::HttpReply Send(const platform::HttpRequest& request) override {
    sent = request;
    return reply;
  }
  Bytes Get(const Text&) override { return {}; }
  std::unique_ptr<platform::HttpStream> Open(const Text&, const Text&, const Text&, bool) override {
    return nullptr;
  }
};

// A reply with `headerLines` (each ended by "\r\n") after a 200 status line.
platform::HttpReply ReplyWith(const std::string& headerLines, const std::string& body = "") {
  return {BytesFromText(body), "HTTP/1.1 200 OK\r\n" + headerLines + "\r\n"};
}

constexpr std::string_view Url = "http://www.shop.test/p/make.php?x=1";

TEST(WebAccessRequest, HeaderCompletion) {
  struct Case {
    const char* name;
    Text headers;
    Text sent;
  };
  const Case cases[] = {
      {"no headers: the Referer line comes first, without a line break before it", "",
       "Referer: http://www.shop.test/p/make.php?x=1\r\nAccept: */*\r\nAccept-Language: zh-cn"
       "\r\nContent-Type: application/x-www-form-urlencoded"},
      {"the caller's lines first, the missing defaults after them", "X-A: 1\r\nAccept: text/html",
       "X-A: 1\r\nAccept: text/html\r\nReferer: http://www.shop.test/p/make.php?x=1"
       "\r\nAccept-Language: zh-cn\r\nContent-Type: application/x-www-form-urlencoded"},
      {"the name searches are case-sensitive",
       "referer: r\r\naccept-language: en\r\ncontent-type: text/plain",
       "referer: r\r\naccept-language: en\r\ncontent-type: text/plain"
       "\r\nReferer: http://www.shop.test/p/make.php?x=1\r\nAccept: */*\r\nAccept-Language: zh-cn"
       "\r\nContent-Type: application/x-www-form-urlencoded"},
      {"every line present: nothing is added",
       "Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: t",
       "Referer: r\r\nAccept: a\r\nAccept-Language: l\r\nContent-Type: t"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingClient client;
    Text headers = c.headers;
    WebAccess(Url, 0, {}, nullptr, nullptr, &headers, nullptr, false, nullptr, std::nullopt,
              nullptr, client);
    EXPECT_EQ(headers, c.sent);
    ASSERT_TRUE(client.sent);
    EXPECT_EQ(client.sent->headers, c.sent);
  }
}

TEST(WebAccessRequest, AgentChoice) {
  struct Case {
    const char* name;
    Text headers;
    Text agent;
  };
  const Case cases[] = {
      {"no User-Agent line", "X-A: 1", Text(DefaultUserAgent)},
      {"a User-Agent line followed by a line break", "User-Agent:  Foo \r\nX-A: 1", "Foo"},
      {"the search ignores case", "user-agent: Foo\r\nX-A: 1", "Foo"},
      {"the only line, without a line break after it", "user-agent: Foo", "Foo"},
      {"the last line: the value after the first colon of the whole text",
       "X-A: 1\r\nUser-Agent: Foo", "1\r\nUser-Agent: Foo"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingClient client;
    Text headers = c.headers;
    WebAccess(Url, 0, {}, nullptr, nullptr, &headers, nullptr, false, nullptr, std::nullopt,
              nullptr, client);
    ASSERT_TRUE(client.sent);
    EXPECT_EQ(client.sent->agent, c.agent);
    EXPECT_EQ(client.sent->headers.find(c.headers), 0u) << "the caller's User-Agent line stays";
  }
}

TEST(WebAccessRequest, VerbAndBody) {
  struct Case {
    const char* name;
    int method;
    Text bodyText;
    Bytes bodyBytes;
    Text verb;
    std::optional<Bytes> sent;
    Bytes bodyBytesAfter;
  };
  const Bytes given = BytesFromText("b=2");
  const Case cases[] = {
      {"GET sends no body and leaves bodyBytes alone", 0, "a=1", {}, "GET", std::nullopt, {}},
      {"POST takes bodyText and returns it in bodyBytes", 1, "a=1", {}, "POST",
       BytesFromText("a=1"), BytesFromText("a=1")},
      {"POST prefers bodyBytes over bodyText", 1, "a=1", given, "POST", given, given},
      {"POST with nothing sends an empty body", 1, "", {}, "POST", Bytes{}, {}},
      {"another method is a GET that carries the body", 2, "a=1", {}, "GET", BytesFromText("a=1"),
       BytesFromText("a=1")},
      {"a negative method too", -1, "a=1", {}, "GET", BytesFromText("a=1"), BytesFromText("a=1")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingClient client;
    Bytes bodyBytes = c.bodyBytes;
    WebAccess(Url, c.method, c.bodyText, nullptr, nullptr, nullptr, nullptr, false, &bodyBytes,
              std::nullopt, nullptr, client);
    ASSERT_TRUE(client.sent);
    EXPECT_EQ(client.sent->verb, c.verb);
    EXPECT_EQ(client.sent->body, c.sent);
    EXPECT_EQ(bodyBytes, c.bodyBytesAfter);
  }
}

TEST(WebAccessRequest, UrlSwitchesAndProxy) {
  struct Case {
    const char* name;
    Text url;
    bool noRedirect;
    std::optional<Text> proxy;
    Text host;
    int port;
    Text path;
    bool secure;
  };
  const Case cases[] = {
      {"plain http with a port, redirects followed", "http://Img.Shop.test:8080/p/re86.php?a=1", false,
       std::nullopt, "img.shop.test", 8080, "/p/re86.php?a=1", false},
      {"https in capitals gets TLS and port 443", "HTTPS://s.test/a/b?c=1", true, std::nullopt,
       "s.test", 443, "/a/b?c=1", true},
      {"no scheme is plain http; an empty proxy is still supplied", "shop.test/a", false, Text(),
       "shop.test", 80, "/a", false},
      {"a proxy address", "http://h.test/x", false, Text("127.0.0.1:3128"), "h.test", 80, "/x",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingClient client;
    WebAccess(c.url, 0, {}, nullptr, nullptr, nullptr, nullptr, c.noRedirect, nullptr, c.proxy,
              nullptr, client);
    ASSERT_TRUE(client.sent);
    EXPECT_EQ(client.sent->host, c.host);
    EXPECT_EQ(client.sent->port, c.port);
    EXPECT_EQ(client.sent->path, c.path);
    EXPECT_EQ(client.sent->secure, c.secure);
    EXPECT_EQ(client.sent->followRedirects, !c.noRedirect);
    EXPECT_EQ(client.sent->proxy, c.proxy);
  }
}

TEST(WebAccessReply, HeaderScan) {
  struct Case {
    const char* name;
    std::string headerLines;
    Text location;
    Text replyCookies;
  };
  const Case cases[] = {
      {"Location is taken, cookies joined with \"; \"",
       "Location: /next\r\nSet-Cookie: a=1; path=/\r\nSet-Cookie: b=2; path=/\r\n", "/next",
       "a=1; b=2"},
      {"a later Location line wins, Content-Location counts too",
       "Location: /first\r\nContent-Location: /x\r\n", "/x", ""},
      {"a cookie without attributes is kept", "Set-Cookie: sid=42\r\n", "", "sid=42"},
      {"the name searches are case-sensitive", "location: /l\r\nset-cookie: a=1; path=/\r\n", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingClient client;
    client.reply = ReplyWith(c.headerLines, "body");
    Text location, replyCookies, replyHeaders;
    const Bytes body = WebAccess(Url, 0, {}, nullptr, &replyCookies, nullptr, &location, false,
                                 nullptr, std::nullopt, &replyHeaders, client);
    EXPECT_EQ(body, BytesFromText("body"));
    EXPECT_EQ(replyHeaders, *client.reply.rawHeaders);
    EXPECT_EQ(replyCookies, c.replyCookies);
    EXPECT_EQ(location, c.location.empty() ? replyHeaders : c.location)
        << "without a Location line it holds the reply headers";
  }
}

TEST(WebAccessReply, LocationIsNotClearedFirst) {
  RecordingClient client;
  client.reply = ReplyWith("X-A: 1\r\n");
  Text location = "kept";
  WebAccess(Url, 0, {}, nullptr, nullptr, nullptr, &location, false, nullptr, std::nullopt,
            nullptr, client);
  EXPECT_EQ(location, "kept");
}

TEST(WebAccessReply, HeaderBlockLimit) {
  const Text spaces(5000, ' ');
  struct Case {
    const char* name;
    std::optional<Text> raw;
    Text replyHeaders;
  };
  const Text fits = "HTTP/1.1 200 OK\r\nX: " + Text(4999 - 24, 'v') + "\r\n\r\n";
  const Text tooLong = "HTTP/1.1 200 OK\r\nLocation: /x\r\nX: " + Text(4985, 'v') + "\r\n\r\n";
  ASSERT_EQ(fits.size(), 4999u);
  ASSERT_EQ(tooLong.size(), 5023u);
  const Case cases[] = {
      {"4,999 bytes fit", fits, fits},
      {"5,000 bytes and more leave the spaces", tooLong, spaces},
      {"exactly 5,000 bytes need the zero too", fits + "x", spaces},
      {"no reply leaves the spaces", std::nullopt, spaces},
      {"the block ends at a zero byte", Text("HTTP/1.1 200 OK\r\n\r\n\0junk", 24),
       "HTTP/1.1 200 OK\r\n\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingClient client;
    client.reply.rawHeaders = c.raw;
    Text location, replyHeaders;
    WebAccess(Url, 0, {}, nullptr, nullptr, nullptr, &location, false, nullptr, std::nullopt,
              &replyHeaders, client);
    EXPECT_EQ(replyHeaders, c.replyHeaders);
    EXPECT_EQ(location, c.replyHeaders) << "no Location line is found in the spaces";
  }
}

TEST(WebAccessCookies, SuppliedOrLeftOut) {
  struct Case {
    const char* name;
    std::optional<Text> cookies;
    bool useCookieStore;
    bool cookieLine;
    std::optional<Text> cookiesAfter;
    Text replyCookiesAfter;
  };
  const Case cases[] = {
      {"left out: the cookie store applies, nothing is merged", std::nullopt, true, false,
       std::nullopt, "b=3; c=4"},
      {"supplied empty: no store, no Cookie line, the reply's cookies kept", Text(), false, false,
       Text("b=3; c=4"), "b=3;c=4"},
      {"supplied: sent, then merged", Text("a=1; b=2"), false, true, Text("b=3; c=4; a=1"),
       "b=3;c=4"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RecordingClient client;
    client.reply = ReplyWith("Set-Cookie: b=3; path=/\r\nSet-Cookie: c=4; HttpOnly\r\n");
    std::optional<Text> cookies = c.cookies;
    Text replyCookies;
    WebAccess(Url, 0, {}, &cookies, &replyCookies, nullptr, nullptr, false, nullptr, std::nullopt,
              nullptr, client);
    ASSERT_TRUE(client.sent);
    EXPECT_EQ(client.sent->useCookieStore, c.useCookieStore);
    EXPECT_EQ(client.sent->headers.find("\r\nCookie: a=1; b=2") != Text::npos, c.cookieLine);
    EXPECT_EQ(cookies, c.cookiesAfter);
    EXPECT_EQ(replyCookies, c.replyCookiesAfter);
  }
}

TEST(WebAccessCookies, FailedRequestStillMergesSuppliedCookies) {
  RecordingClient client;  // no reply at all
  std::optional<Text> cookies = Text("a=1; s=x y; a=2; gone=deleted");
  WebAccess(Url, 1, "q=1", &cookies, nullptr, nullptr, nullptr, false, nullptr, std::nullopt,
            nullptr, client);
  EXPECT_EQ(cookies, Text("a=1; s=xy"));
}

}  // namespace
}  // namespace signmaker
