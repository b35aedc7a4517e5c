// The make command apart from the window: what it posts, where it finds the picture,
// and how it ends when something fails.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "maker/make_sign.h"
#include "tests/maker/fake_http_client.h"

namespace signmaker {
namespace {

using testing::FakeHttpClient;

const Bytes SomePicture = {0xFF, 0xD8, 0xFF, 0x00, 0x01, 0x02};

MakeResult Make(FakeHttpClient& http, std::string_view line, int styleIndex, bool plain = true) {
  return MakeSign(line, plain, styleIndex, http, platform::CodeConversion::Default());
}

TEST(MakeSignTest, PostsTheFormOfTheChosenStyle) {
  struct Case {
    const char* name;
    Text line;
    bool plain;
    int style;
    Text path;
    Text body;
  };
  const std::vector<Case> cases = {
      {"last row, option on", "AB", true, 152, "/p/re86.php",
       "id=AB&id1609=vobta&id1608=vobta_com&id1=90&id2=&id3=&id4=%23FFA98F&idi=vobta&id5=391&id6=1"},
      {"option off", "AB", false, 152, "/p/re86.php",
       "id=%41%42&id1609=vobta&id1608=vobta_com&id1=90&id2=&id3=&id4=%23FFA98F&idi=vobta&id5=391&id6=1"},
      {"the line in the middle", "AB", true, 107, "/p/re31.php",
       "id=55Z&id1609=vobta&id1608=vobta_com&id1=33&id2=5&id3=%230000FF&id4=%2300AAFF&idi=vobta&"
       "id5=%23FF0000&id7=AB&id9=&id10=&id11=&id12="},
      {"a character the form encoding lacks", "堃", true, 152, "/p/re86.php",
       "id=&id1609=vobta&id1608=vobta_com&id1=90&id2=&id3=&id4=%23FFA98F&idi=vobta&id5=391&id6=1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHttpClient http;
    Make(http, c.line, c.style, c.plain);
    ASSERT_EQ(http.sent.size(), 1u);
    const platform::HttpRequest& post = http.sent.front();
    EXPECT_EQ(post.verb, "POST");
    EXPECT_EQ(post.host, ServiceHost);
    EXPECT_EQ(post.port, 80);
    EXPECT_EQ(post.path, c.path);
    ASSERT_TRUE(post.body.has_value());
    EXPECT_EQ(TextFromBytes(*post.body), c.body);
    EXPECT_NE(post.headers.find("Content-Type: application/x-www-form-urlencoded"), Text::npos);
    EXPECT_NE(post.headers.find("Referer: http://www.vobta.example" + c.path), Text::npos);
  }
}

TEST(MakeSignTest, FetchesThePictureThatTheReplyNames) {
  struct Case {
    const char* name;
    std::string reply;
    Text fetched;  // behind the service root
  };
  const std::vector<Case> cases = {
      {"plain", "<img src=\"../pic/1.jpg\">", "pic/1.jpg"},
      {"the first of several", "<a href=\"../one/1.jpg\"><img src=\"../two/2.jpg\">", "one/1.jpg"},
      {"marker only before the path", "<b\">x</b> ../pic/1.jpg", ""},
      {"marker escaped with %", "%3Cimg src=%22../pic/3.jpg%22%3E", "pic/3.jpg"},
      {"html escaped with \\u", "\\u003cimg src=\\u0022../pic/4.jpg\\u0022\\u003e", "pic/4.jpg"},
      {"no markers", "<html>busy</html>", ""},
      {"empty reply: the post failed", "", ""},
      {"text ends at the first zero byte", std::string("<p>\0<img src=\"../pic/5.jpg\">", 28), ""},
      {"a bare line feed fails the decoding", "<p>\n<img src=\"../pic/6.jpg\">", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHttpClient http;
    http.QueuePostReply(c.reply);
    http.QueueGetReply(SomePicture);
    const MakeResult result = Make(http, "AB", 3);
    EXPECT_EQ(http.sent.size(), 1u);
    EXPECT_EQ(http.fetched, std::vector<Text>{"http://www.vobta.example/" + c.fetched});
    EXPECT_EQ(result.kind, MakeResult::Kind::Made);
    EXPECT_EQ(result.picture, SomePicture);
    EXPECT_EQ(result.status, "制作完成");
  }
}

TEST(MakeSignTest, AFailedDownloadEndsWithNoPictureAndTheUsualStatus) {
  FakeHttpClient http;
  http.QueuePostReply("<img src=\"../pic/1.jpg\">");
  const MakeResult result = Make(http, "AB", 3);
  EXPECT_EQ(http.fetched.size(), 1u);
  EXPECT_EQ(result.kind, MakeResult::Kind::Made);
  EXPECT_TRUE(result.picture.empty());
  EXPECT_EQ(result.status, "制作完成");
}

TEST(MakeSignTest, AnEmptyLineOrNoStyleSendsNothing) {
  struct Case {
    const char* name;
    Text line;
    int style;
    MakeResult::Kind kind;
  };
  const std::vector<Case> cases = {
      {"empty line", "", 3, MakeResult::Kind::EmptyLine},
      {"empty line comes before the style", "", -1, MakeResult::Kind::EmptyLine},
      {"no style", "AB", -1, MakeResult::Kind::NoRequest},
      {"blanks are words, but no style", "  ", -1, MakeResult::Kind::NoRequest},
      {"a row the catalogue lacks", "AB", 153, MakeResult::Kind::NoRequest},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHttpClient http;
    EXPECT_EQ(Make(http, c.line, c.style).kind, c.kind);
    EXPECT_TRUE(http.sent.empty());
    EXPECT_TRUE(http.fetched.empty());
  }
}

TEST(MakeSignTest, ThePictureComesFromTheGivenServiceRoot) {
  FakeHttpClient http;
  http.QueuePostReply("<img src=\"../pic/1.jpg\">");
  MakeSign("AB", true, 0, http, platform::CodeConversion::Default(), "http://127.0.0.1:8080/");
  EXPECT_EQ(http.fetched, std::vector<Text>{"http://127.0.0.1:8080/pic/1.jpg"});
}

}  // namespace
}  // namespace signmaker
