#include "services/stand_in_server.h"

#include <httplib.h>

#include <gtest/gtest.h>

#include <QImage>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "gui_application.h"
#include "services/update_package.h"

namespace signmaker::services {
namespace {

using namespace std::chrono_literals;

const std::vector<SignStyle> Styles = {
    {0, "/p/re119.php", "id=", "&id1=156&id4=%23FF73FF&id5=%23000000&id6=1"},
    {1, "/f/re81.php", "id=", "&id1=81&id4=%237A8CFF&id5=%23C0CACC&id6=%23E3E8EB"},
};
constexpr const char* FormType = "application/x-www-form-urlencoded";

// A server on a free loopback port, serving on its own thread for one test.
class StandInServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureGuiApplication();
    package_ = UpdatePackage("6.5", 2500000);
    StandInConfig config;
    config.styles = Styles;
    config.version = "6.5";
    config.package = package_;
    config.log = [this](std::string_view line) {
      std::lock_guard lock(mutex_);
      log_.emplace_back(line);
      logged_.notify_all();
    };
    server_ = std::make_unique<StandInServer>(std::move(config));
    port_ = server_->Bind(0);
    ASSERT_GT(port_, 0);
    serving_ = std::thread([this] { server_->Serve(); });
  }
  void TearDown() override {
    if (server_) server_->Stop();
    if (serving_.joinable()) serving_.join();
  }

  httplib::Client Client() const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(10s);
    client.set_read_timeout(20s);
    client.set_decompress(false);
    return client;
  }

  // The log once it holds `count` lines, waiting at most a few seconds for them.
  std::vector<std::string> LogOf(std::size_t count) {
    std::unique_lock lock(mutex_);
    logged_.wait_for(lock, 10s, [&] { return log_.size() >= count; });
    return log_;
  }

  // The picture path of a sign page, as the program cuts it out.
  static std::string PicturePath(const std::string& page) {
    const auto left = page.find("../");
    if (left == std::string::npos) return "";
    const auto right = page.find("\">", left + 3);
    if (right == std::string::npos) return "";
    return page.substr(left + 3, right - left - 3);
  }

  std::string package_;
  std::unique_ptr<StandInServer> server_;
  std::thread serving_;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable logged_;
  std::vector<std::string> log_;
};

TEST_F(StandInServerTest, SignPostGivesAPageWhosePicturePathServesTheJpeg) {
  auto client = Client();
  const std::string body = "id=%E4%B8%AD%E6%96%87AB&id1=156&id4=%23FF73FF&id5=%23000000&id6=1";
  const auto reply = client.Post("/p/re119.php", body, FormType);
  ASSERT_TRUE(reply);
  ASSERT_EQ(reply->status, 200) << reply->body;
  // The page reads the same after escape decoding: CRLF line ends, no escapes.
  EXPECT_EQ(reply->body.find('%'), std::string::npos);
  EXPECT_EQ(reply->body.find('\\'), std::string::npos);
  for (std::size_t at = reply->body.find('\n'); at != std::string::npos; at = reply->body.find('\n', at + 1)) {
    ASSERT_TRUE(at > 0 && reply->body[at - 1] == '\r');
  }
  const std::string path = PicturePath(reply->body);
  ASSERT_TRUE(path.starts_with("pic/")) << reply->body;

  const auto picture = client.Get("/" + path);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->status, 200);
  EXPECT_EQ(picture->get_header_value("Content-Type"), "image/jpeg");
  const QImage image = QImage::fromData(reinterpret_cast<const uchar*>(picture->body.data()),
                                        static_cast<int>(picture->body.size()), "JPG");
  EXPECT_FALSE(image.isNull());

  // The same post names the same picture; other words another one.
  EXPECT_EQ(PicturePath(client.Post("/p/re119.php", body, FormType)->body), path);
  const auto other = client.Post("/p/re119.php", "id=XY&id1=156&id4=%23FF73FF&id5=%23000000&id6=1", FormType);
  EXPECT_NE(PicturePath(other->body), path);

  const auto log = LogOf(4);
  ASSERT_GE(log.size(), 2u);
  EXPECT_NE(log[0].find("\"POST /p/re119.php\" 200"), std::string::npos) << log[0];
  EXPECT_NE(log[0].find("style=0 words=\"\xE4\xB8\xAD\xE6\x96\x87" "AB\""), std::string::npos) << log[0];
  EXPECT_NE(log[0].find("picture=/" + path), std::string::npos) << log[0];
  EXPECT_NE(log[1].find("\"GET /" + path + "\" 200"), std::string::npos) << log[1];
}

TEST_F(StandInServerTest, MalformedRequestsGetAClearError) {
  auto client = Client();
  const std::string good = "id=AB&id1=156&id4=%23FF73FF&id5=%23000000&id6=1";
  struct Case {
    const char* path;
    std::string body;
    const char* type;
    int status;
  };
  const Case cases[] = {
      {"/p/re119.php", "id=AB&id1=999", FormType, 400},
      {"/p/re119.php", "id=%E4%B8&id1=156&id4=%23FF73FF&id5=%23000000&id6=1", FormType, 400},
      {"/f/re81.php", good, FormType, 400},
      {"/p/re86.php", good, FormType, 404},
      {"/p/re119.php", good, "text/plain", 415},
      {"/p/re119.php", std::string(2 << 20, 'a'), FormType, 413},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + (" " + c.body.substr(0, 60)));
    const auto reply = client.Post(c.path, c.body, c.type);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, c.status);
  }
  for (const char* path : {"/pic/0000000000000000.jpg", "/p/re119.php", "/nothing"}) {
    const auto reply = client.Get(path);
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, 404) << path;
  }
  // The server is still there.
  EXPECT_EQ(client.Post("/p/re119.php", good, FormType)->status, 200);
}

TEST_F(StandInServerTest, VersionChannelPublishesTheVersionBetweenTheFirstTwoAmpersands) {
  auto client = Client();
  const auto reply = client.Get("/fcg-bin/cgi_get_portrait.fcg?uins=509183726");
  ASSERT_TRUE(reply);
  EXPECT_EQ(reply->status, 200);
  const std::string& body = reply->body;
  const auto first = body.find('&');
  ASSERT_NE(first, std::string::npos);
  const auto second = body.find('&', first + 1);
  ASSERT_NE(second, std::string::npos);
  EXPECT_EQ(body.substr(first + 1, second - first - 1), "6.5");
  EXPECT_EQ(client.Get("/fcg-bin/cgi_get_portrait.fcg?uins=1")->status, 404);
}

TEST_F(StandInServerTest, PackageAnswersTheProbeAndEveryRange) {
  auto client = Client();
  const auto probe = client.Get("/vink.zip");
  ASSERT_TRUE(probe);
  EXPECT_EQ(probe->status, 200);
  EXPECT_EQ(probe->get_header_value("Content-Length"), std::to_string(package_.size()));
  EXPECT_EQ(probe->body, package_);

  const std::uint64_t size = package_.size();
  const std::string last = std::to_string(size - 1), total = std::to_string(size);
  struct Case {
    std::string range;
    int status;
    std::string contentRange;
    std::uint64_t first = 0, count = 0;
  };
  const Case cases[] = {
      {"bytes=0-1048575", 206, "bytes 0-1048575/" + total, 0, 1048576},
      {"bytes=1048576-2097151", 206, "bytes 1048576-2097151/" + total, 1048576, 1048576},
      // The last range ends at the total, one past the last byte.
      {"bytes=2097152-" + total, 206, "bytes 2097152-" + last + "/" + total, 2097152, size - 2097152},
      {"bytes=-10", 206, "bytes " + std::to_string(size - 10) + "-" + last + "/" + total, size - 10, 10},
      {"bytes=" + total + "-", 416, "bytes */" + total},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.range);
    const auto reply = client.Get("/vink.zip", {{"Range", c.range}});
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->status, c.status);
    EXPECT_EQ(reply->get_header_value("Content-Range"), c.contentRange);
    if (c.status == 206) {
      EXPECT_EQ(reply->get_header_value("Content-Length"), std::to_string(c.count));
      EXPECT_TRUE(reply->body == package_.substr(c.first, c.count));
    }
  }
}

// Ten range requests at once, as the downloader sends them, each on its connection.
TEST_F(StandInServerTest, ServesManyRangesAtOnce) {
  constexpr std::uint64_t Range = 262144;
  const std::uint64_t count = (package_.size() + Range - 1) / Range;
  std::vector<std::string> parts(count);
  std::vector<std::thread> threads;
  for (std::uint64_t n = 0; n < count; ++n) {
    threads.emplace_back([&, n] {
      auto client = Client();
      const std::uint64_t end = n + 1 == count ? package_.size() : (n + 1) * Range - 1;
      const auto reply = client.Get(
          "/vink.zip", {{"Range", "bytes=" + std::to_string(n * Range) + "-" + std::to_string(end)}});
      if (reply && reply->status == 206) parts[n] = reply->body;
    });
  }
  for (auto& thread : threads) thread.join();
  std::string joined;
  for (const auto& part : parts) joined += part;
  EXPECT_TRUE(joined == package_);
}

}  // namespace
}  // namespace signmaker::services
