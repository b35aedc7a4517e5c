#include "web/url_parts.h"

#include <gtest/gtest.h>

#include <string>

namespace signmaker {
namespace {

struct UrlCase {
  std::string url;
  std::string host;           // UrlHost(url)
  std::string lastTwoLabels;  // UrlHost(url, true)
  std::string withPort;       // UrlHost(url, false, true)
  int port;
  std::string path;
};

void ExpectParts(const UrlCase& c) {
  SCOPED_TRACE(c.url);
  EXPECT_EQ(UrlHost(c.url), c.host);
  EXPECT_EQ(UrlHost(c.url, true), c.lastTwoLabels);
  EXPECT_EQ(UrlHost(c.url, false, true), c.withPort);
  EXPECT_EQ(UrlPort(c.url), c.port);
  EXPECT_EQ(UrlPath(c.url), c.path);
}

TEST(UrlParts, TakesUrlsApart) {
  const UrlCase cases[] = {
      {"http://img.Shop.test:8080/p/re86.php", "img.shop.test", "shop.test", "img.shop.test:8080",
       8080, "/p/re86.php"},
      {"HTTPS://a.b.c.shop.test/x", "a.b.c.shop.test", "shop.test", "a.b.c.shop.test", 443, "/x"},
      {"shop.test/a", "shop.test", "shop.test", "shop.test", 80, "/a"},
      {"http://h.test:8080", "h.test", "h.test", "h.test:8080", 8080, "/"},
      {"http://192.168.1.10:81/x", "192.168.1.10", "1.10", "192.168.1.10:81", 81, "/x"},
      {"http://web:abc/x", "web", "web", "web:abc", 0, "/x"},
      {"http://web:-1/x", "web", "web", "web:-1", 0, "/x"},
      {"http://web:99999999999/x", "web", "web", "web:99999999999", 0, "/x"},
      {"https://s.test/a/b?c=1#f", "s.test", "s.test", "s.test", 443, "/a/b?c=1#f"},
      {"https://s.test:8443/", "s.test", "s.test", "s.test:8443", 8443, "/"},
      {"http://www.vobta.example/p/re119.php", "www.vobta.example", "vobta.example",
       "www.vobta.example", 80, "/p/re119.php"},
      {"http://portrait.qq.example/fcg-bin/cgi_get_portrait.fcg?uins=509183726",
       "portrait.qq.example", "qq.example", "portrait.qq.example", 80,
       "/fcg-bin/cgi_get_portrait.fcg?uins=509183726"},
      // Another scheme is not understood: its name is taken for a host without a port.
      {"ftp://host/x", "ftp", "ftp", "ftp:", 0, "//host/x"},
      {"", "", "", "", 80, "/"},
  };
  for (const auto& c : cases) ExpectParts(c);
}

// The host ends where the path, query or fragment begins, only a scheme at the start
// counts, and the path is looked for after the host, never inside the scheme: a
// request must go to the host that the URL names, for the target that it names.
TEST(UrlParts, HostAndPathComeFromTheirOwnPlaces) {
  const UrlCase cases[] = {
      {"http://host?x=1", "host", "host", "host", 80, "/?x=1"},
      {"http://host:81#top", "host", "host", "host:81", 81, "/#top"},
      {"shop.test/?u=http://x.test/y", "shop.test", "shop.test", "shop.test", 80,
       "/?u=http://x.test/y"},
      {"http://a.test?u=http://b.test/x", "a.test", "a.test", "a.test", 80,
       "/?u=http://b.test/x"},
      {"http://t/x", "t", "t", "t", 80, "/x"},
      {"https://p/s", "p", "p", "p", 443, "/s"},
  };
  for (const auto& c : cases) ExpectParts(c);
}

}  // namespace
}  // namespace signmaker
