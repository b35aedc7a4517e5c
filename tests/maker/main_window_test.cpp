// The main window driven as a user would: choosing a style, the lines, making and
// saving a sign photo.

#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "maker/main_window.h"
#include "maker/style_catalogue.h"
#include "platform/linux/curl_session.h"
#include "platform/qt/picture_box.h"
#include "platform/qt/qt_window.h"
#include "resources/style_captions.h"
#include "tests/maker/fake_http_client.h"
#include "tests/support/scripted_http_server.h"

namespace signmaker {
namespace {

namespace fs = std::filesystem;
using testing::FakeHttpClient;

QString U8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

// The Qt toolkit, with message boxes noted instead of shown.
class NotingToolkit final : public platform::WindowToolkit {
 public:
  std::unique_ptr<platform::Window> CreateWindow(const platform::WindowDef& definition) override {
    return real_.CreateWindow(definition);
  }
  void MessageBox(const Text& text, const Text& caption) override { boxes.push_back({text, caption}); }
  int RunMessageLoop() override { return real_.RunMessageLoop(); }
  void PostToWindowThread(std::function<void()> task) override { real_.PostToWindowThread(std::move(task)); }
  void OpenUrl(const Text& url) override { real_.OpenUrl(url); }

  struct Box {
    Text text, caption;
    bool operator==(const Box&) const = default;
  };
  std::vector<Box> boxes;

 private:
  platform::WindowToolkit& real_ = platform::WindowToolkit::Default();
};

// The machine's run-time services with the desktop in a folder of the test's.
class DesktopRuntime final : public platform::Runtime {
 public:
  bool IsConnected() override { return real_.IsConnected(); }
  Text DesktopFolder() override { return desktop; }
  Text CurrentDirectory() override { return real_.CurrentDirectory(); }
  bool WriteFile(const Text& path, const Bytes& bytes) override { return real_.WriteFile(path, bytes); }
  bool SetFileAttributes(const Text& path, std::uint32_t attributes) override {
    return real_.SetFileAttributes(path, attributes);
  }
  std::uint32_t MillisecondsSinceStart() override { return real_.MillisecondsSinceStart(); }
  void AtProgramEnd(void (*routine)()) override { real_.AtProgramEnd(routine); }
  [[noreturn]] void EndProcess(int) override { std::abort(); }  // no test ends the process

  Text desktop;

 private:
  platform::Runtime& real_ = platform::Runtime::Default();
};

Bytes PngOf(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::darkCyan);
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return Bytes(data.begin(), data.end());
}

Bytes ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The file name of a caption on disk (UTF-8).
fs::path OnDisk(std::string_view caption) {
  return fs::path(platform::CodeConversion::Default().GbkToUtf8(Text(caption) + ".jpg"));
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    desktopDir_ = fs::temp_directory_path() /
                  ("signmaker-desktop-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                   "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(desktopDir_);
    fs::create_directories(desktopDir_);
    runtime_.desktop = desktopDir_.string() + "/";
    Open(http_);
  }
  void TearDown() override {
    main_.reset();
    QApplication::processEvents();
    fs::remove_all(desktopDir_);
  }

  void Open(platform::HttpClient& http) {
    main_ = std::make_unique<MainWindow>(toolkit_, runtime_, http);
    form_ = &dynamic_cast<platform::qt::QtWindow&>(main_->window()).widget();
    main_->Show();
    QApplication::setActiveWindow(form_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
  }

  template <typename T>
  T* Child(const char8_t* name) {
    T* child = form_->findChild<T*>(U8(name));
    EXPECT_NE(child, nullptr);
    return child;
  }
  QTreeWidget* List() { return Child<QTreeWidget>(u8"超级列表框_头像"); }
  void ClickRow(int row) {
    QTreeWidget* list = List();
    list->scrollToItem(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
  }
  Text Status() { return main_->window().GetText("编辑框4"); }
  Text FirstLine() { return main_->window().GetText("编辑框1"); }
  void TypeFirstLine(const char* words) {
    QTest::mouseClick(Child<QPlainTextEdit>(u8"编辑框1")->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClicks(Child<QPlainTextEdit>(u8"编辑框1"), words);
  }
  void Press(const char8_t* button) { QTest::mouseClick(Child<QPushButton>(button), Qt::LeftButton); }

  NotingToolkit toolkit_;
  DesktopRuntime runtime_;
  FakeHttpClient http_;
  fs::path desktopDir_;
  std::unique_ptr<MainWindow> main_;
  QDialog* form_ = nullptr;
};

TEST_F(MainWindowTest, OpensWithTheFirstLineNoStyleAndAnEmptyStatus) {
  EXPECT_EQ(form_->windowTitle(), U8(u8"举牌照制作器"));
  EXPECT_EQ(FirstLine(), "砚禾网络");
  EXPECT_EQ(Status(), "");
  EXPECT_EQ(main_->window().Selection("超级列表框_头像"), -1);
  EXPECT_TRUE(main_->window().Picture("图片框1").empty());
  EXPECT_TRUE(main_->window().IsChecked("选择框1"));
  EXPECT_EQ(main_->window().GetText("编辑框2"), "第二行");
  EXPECT_EQ(main_->window().GetText("编辑框3"), "第三行");

  QTreeWidget* list = List();
  EXPECT_EQ(list->headerItem()->text(0), U8(u8"举牌照制作器"));
  const auto captions = StyleCaptions();
  ASSERT_EQ(list->topLevelItemCount(), StyleCatalogue::Size);
  for (int row = 0; row < StyleCatalogue::Size; ++row) {
    EXPECT_EQ(main_->window().Cell("超级列表框_头像", row, 0), captions[static_cast<std::size_t>(row)]);
  }
}

TEST_F(MainWindowTest, ChoosingAStyleAnnouncesIt) {
  ClickRow(3);
  EXPECT_EQ(Status(), "正在制作举心形牌子照");
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(Status(), "正在制作举牌头像制作");
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(Status(), "正在制作" + Text(StyleCaptions()[5]));
  QTest::keyClick(List(), Qt::Key_Up);
  EXPECT_EQ(Status(), "正在制作举牌头像制作");
  // Clicking the row that has the focus already announces nothing.
  main_->window().SetText("编辑框4", "");
  ClickRow(4);
  EXPECT_EQ(Status(), "");
  EXPECT_TRUE(http_.sent.empty());
}

TEST_F(MainWindowTest, PressesEmptyTheirLinesWithTheRightButtonOnly) {
  struct Case {
    const char8_t* box;
    const char* name;
    Qt::MouseButton button;
    bool empties;
  };
  const std::vector<Case> cases = {
      {u8"编辑框1", "编辑框1", Qt::LeftButton, true},   {u8"编辑框1", "编辑框1", Qt::RightButton, false},
      {u8"编辑框2", "编辑框2", Qt::RightButton, true},  {u8"编辑框2", "编辑框2", Qt::LeftButton, false},
      {u8"编辑框3", "编辑框3", Qt::LeftButton, true},   {u8"编辑框3", "编辑框3", Qt::RightButton, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    main_->window().SetText(c.name, "刚输入的字");
    QWidget* target = form_->findChild<QWidget*>(U8(c.box));
    ASSERT_NE(target, nullptr);
    if (auto* lines = qobject_cast<QPlainTextEdit*>(target)) target = lines->viewport();
    QTest::mousePress(target, c.button, {}, QPoint(5, 5));
    QTest::mouseRelease(target, c.button, {}, QPoint(5, 5));
    EXPECT_EQ(main_->window().GetText(c.name), c.empties ? "" : "刚输入的字");
    if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
  }
}

TEST_F(MainWindowTest, TheFirstLineEmptiesAtEveryPressAndTakesTheNewWords) {
  TypeFirstLine("Hi");
  EXPECT_EQ(FirstLine(), "Hi");
  TypeFirstLine("AB");
  EXPECT_EQ(FirstLine(), "AB");
}

TEST_F(MainWindowTest, MakeShowsThePictureOfTheChosenStyle) {
  const Bytes picture = PngOf(300, 200);
  http_.QueuePostReply("<img src=\"../pic/1.png\">");
  http_.QueueGetReply(picture);
  ClickRow(152);
  TypeFirstLine("AB");
  Press(u8"按钮1");

  ASSERT_EQ(http_.sent.size(), 1u);
  EXPECT_EQ(http_.sent[0].path, "/p/re86.php");
  EXPECT_EQ(TextFromBytes(*http_.sent[0].body),
            "id=AB&id1609=vobta&id1608=vobta_com&id1=90&id2=&id3=&id4=%23FFA98F&idi=vobta&id5=391&id6=1");
  EXPECT_EQ(http_.fetched, std::vector<Text>{"http://www.vobta.example/pic/1.png"});
  EXPECT_EQ(main_->window().Picture("图片框1"), picture);
  EXPECT_EQ(Child<platform::qt::PictureBox>(u8"图片框1")->image().size(), QSize(300, 200));
  EXPECT_EQ(Status(), "制作完成");
  EXPECT_TRUE(toolkit_.boxes.empty());
}

TEST_F(MainWindowTest, AMakeThatFailsStillEndsWithTheUsualStatus) {
  ClickRow(3);
  Press(u8"按钮1");  // the post and the download bring nothing
  EXPECT_EQ(http_.sent.size(), 1u);
  EXPECT_EQ(http_.fetched, std::vector<Text>{"http://www.vobta.example/"});
  EXPECT_TRUE(main_->window().Picture("图片框1").empty());
  EXPECT_EQ(Status(), "制作完成");
}

TEST_F(MainWindowTest, AnEmptyLineIsRefusedWithAMessage) {
  ClickRow(3);
  main_->window().SetText("编辑框1", "");
  Press(u8"按钮1");
  EXPECT_EQ(toolkit_.boxes, (std::vector<NotingToolkit::Box>{{"请输入正确内容", "信息："}}));
  EXPECT_TRUE(http_.sent.empty());
  EXPECT_TRUE(http_.fetched.empty());
  EXPECT_EQ(Status(), "正在制作举心形牌子照");
}

TEST_F(MainWindowTest, WithoutAStyleTheMakeButtonDoesNothing) {
  Press(u8"按钮1");
  EXPECT_TRUE(http_.sent.empty());
  EXPECT_TRUE(http_.fetched.empty());
  EXPECT_TRUE(toolkit_.boxes.empty());
  EXPECT_EQ(Status(), "");
}

TEST_F(MainWindowTest, SaveWritesTheReceivedBytesUnderTheCaption) {
  const Bytes first = PngOf(120, 80);
  const Bytes second = BytesFromText("<html>not a picture, shorter</html>");
  http_.QueuePostReply("<img src=\"../pic/1.png\">");
  http_.QueueGetReply(first);
  http_.QueuePostReply("<img src=\"../pic/2.png\">");
  http_.QueueGetReply(second);
  ClickRow(3);
  const fs::path file = desktopDir_ / OnDisk("举心形牌子照");

  Press(u8"按钮2");  // before any make: an empty file
  EXPECT_TRUE(fs::exists(file));
  EXPECT_TRUE(ReadFile(file).empty());
  EXPECT_EQ(Status(), "保存完成！请查看桌面");

  Press(u8"按钮1");
  Press(u8"按钮2");
  EXPECT_EQ(ReadFile(file), first);
  Press(u8"按钮1");
  Press(u8"按钮2");  // replaces the earlier file, whatever the bytes are
  EXPECT_EQ(ReadFile(file), second);
}

TEST_F(MainWindowTest, SaveWithoutAStyleWritesTheBareExtension) {
  Press(u8"按钮2");
  EXPECT_TRUE(fs::exists(desktopDir_ / ".jpg"));
  EXPECT_EQ(Status(), "保存完成！请查看桌面");
}

TEST_F(MainWindowTest, ASaveThatCannotWriteStillEndsWithTheUsualStatus) {
  runtime_.desktop = (desktopDir_ / "missing").string() + "/";
  ClickRow(3);
  Press(u8"按钮2");
  EXPECT_FALSE(fs::exists(desktopDir_ / "missing"));
  EXPECT_EQ(Status(), "保存完成！请查看桌面");
}

// The whole way through the program's own HTTP client, to a scripted server on loopback
// that stands in for the sign service.
TEST_F(MainWindowTest, MakeAgainstALoopbackServicePostsTheFormAndShowsThePicture) {
  testing::ScriptedHttpServer service;
  ASSERT_NE(service.Port(), 0);
  const std::string route = "www.vobta.example:80:127.0.0.1:" + std::to_string(service.Port());
  ::setenv("SIGNMAKER_CONNECT_TO", route.c_str(), 1);
  platform::curl::SetTimeLimit(std::chrono::seconds(10));
  const Bytes picture = PngOf(64, 48);
  service.Enqueue(testing::HttpResponse(200, "Content-Type: text/html\r\n",
                                        "<html><img src=\"../pic/made.png\"></html>"));
  service.Enqueue(testing::HttpResponse(200, "Content-Type: image/png\r\n",
                                        std::string(picture.begin(), picture.end())));
  Open(platform::HttpClient::Default());

  ClickRow(107);
  TypeFirstLine("AB");
  Press(u8"按钮1");

  const auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].RequestLine(), "POST /p/re31.php HTTP/1.1");
  EXPECT_EQ(requests[0].Header("Host"), "www.vobta.example");
  EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
  EXPECT_EQ(requests[0].body,
            "id=55Z&id1609=vobta&id1608=vobta_com&id1=33&id2=5&id3=%230000FF&id4=%2300AAFF&idi=vobta&"
            "id5=%23FF0000&id7=AB&id9=&id10=&id11=&id12=");
  EXPECT_EQ(requests[1].RequestLine(), "GET /pic/made.png HTTP/1.1");
  EXPECT_EQ(main_->window().Picture("图片框1"), picture);
  EXPECT_EQ(Child<platform::qt::PictureBox>(u8"图片框1")->image().size(), QSize(64, 48));
  EXPECT_EQ(Status(), "制作完成");
}

}  // namespace
}  // namespace signmaker
