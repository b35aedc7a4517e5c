// The Qt window toolkit: windows built from a definition and driven as a user would.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/qt/qt_window.h"
#include "platform/window_toolkit.h"

namespace signmaker::platform {
namespace {

QString U8(const char8_t* text) { return QString::fromUtf8(reinterpret_cast<const char*>(text)); }

ControlDef Control(const char* name, ControlKind kind, const char* parent, int x, int y, int width,
                   int height, const char* text = "") {
  ControlDef control;
  control.name = name;
  control.kind = kind;
  control.parent = parent;
  control.x = x;
  control.y = y;
  control.width = width;
  control.height = height;
  control.text = text;
  return control;
}

// A small window with one control of each kind, some of them outside the visible area.
WindowDef SampleWindow() {
  WindowDef window;
  window.name = "样例";
  window.title = "样例窗口";
  window.x = 30;
  window.y = 40;
  window.width = 400;
  window.height = 300;
  ControlDef option = Control("选择框1", ControlKind::CheckBox, "", 0, -16, 120, 16, "选项");
  option.checked = true;
  window.controls.push_back(option);
  window.controls.push_back(Control("选择夹1", ControlKind::TabControl, "", 0, 0, 400, 300, "页"));
  ControlDef list = Control("列表", ControlKind::ListView, "选择夹1", 0, 0, 150, 200);
  list.columns = {{"标题", 230}, {"二", 60}};
  list.rows = {"甲", "乙", "丙", "丁"};
  list.fontPixels = 19;
  list.textColour = Colour{255, 255, 255};
  list.backColour = Colour{0, 0, 0};
  window.controls.push_back(list);
  ControlDef picture = Control("图片", ControlKind::PictureBox, "选择夹1", 150, 0, 100, 100);
  picture.tabStop = false;
  window.controls.push_back(picture);
  ControlDef status = Control("状态", ControlKind::EditBox, "选择夹1", 150, 110, 100, 30, "就绪");
  status.enabled = false;
  status.centred = true;
  status.textColour = Colour{255, 255, 255};
  status.backColour = Colour{0, 0, 0};
  window.controls.push_back(status);
  ControlDef lines = Control("多行", ControlKind::EditBox, "选择夹1", 150, 150, 120, 60, "第一");
  lines.multiLine = true;
  window.controls.push_back(lines);
  ControlDef button = Control("按钮", ControlKind::Button, "选择夹1", 280, 150, 80, 30, "按下");
  button.handCursor = true;
  window.controls.push_back(button);
  window.controls.push_back(Control("外面", ControlKind::EditBox, "选择夹1", 500, 10, 100, 30, "看不见"));
  ControlDef timer = Control("时钟", ControlKind::Timer, "", 0, 0, 0, 0);
  timer.intervalMs = 10;
  window.controls.push_back(timer);
  return window;
}

class WindowToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = toolkit_.CreateWindow(SampleWindow());
    form_ = &dynamic_cast<qt::QtWindow&>(*window_).widget();
  }
  void TearDown() override {
    window_.reset();
    QApplication::processEvents();
  }

  template <typename T>
  T* Child(const char8_t* name) {
    T* child = form_->findChild<T*>(U8(name));
    EXPECT_NE(child, nullptr);
    return child;
  }
  void ShowActive() {
    window_->Show();
    QApplication::setActiveWindow(form_);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form_));
  }
  QTreeWidget* List() { return Child<QTreeWidget>(u8"列表"); }
  void ClickRow(int row) {
    QTreeWidget* list = List();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->topLevelItem(row)).center());
  }

  WindowToolkit& toolkit_ = WindowToolkit::Default();
  std::unique_ptr<Window> window_;
  QDialog* form_ = nullptr;
};

TEST_F(WindowToolkitTest, BuildsEveryControlWhereTheDefinitionPutsIt) {
  EXPECT_EQ(form_->objectName(), U8(u8"样例"));
  EXPECT_EQ(form_->windowTitle(), U8(u8"样例窗口"));
  EXPECT_EQ(form_->size(), QSize(400, 300));
  EXPECT_EQ(form_->parent(), nullptr);

  auto* tabs = Child<QTabWidget>(u8"选择夹1");
  ASSERT_EQ(tabs->count(), 1);
  EXPECT_EQ(tabs->tabText(0), U8(u8"页"));
  auto* outside = Child<QLineEdit>(u8"外面");
  EXPECT_EQ(outside->parentWidget(), tabs->widget(0));
  EXPECT_EQ(outside->geometry(), QRect(500, 10, 100, 30));
  EXPECT_TRUE(outside->isVisibleTo(form_));
  auto* option = Child<QCheckBox>(u8"选择框1");
  EXPECT_EQ(option->parentWidget(), form_);
  EXPECT_EQ(option->geometry(), QRect(0, -16, 120, 16));
  EXPECT_TRUE(option->isChecked());

  auto* list = List();
  EXPECT_EQ(list->font().family(), QStringLiteral("WenQuanYi Micro Hei"));
  EXPECT_EQ(list->font().pixelSize(), 19);
  EXPECT_EQ(list->palette().color(QPalette::Text), QColor(Qt::white));
  EXPECT_EQ(list->palette().color(QPalette::Base), QColor(Qt::black));
  auto* status = Child<QLineEdit>(u8"状态");
  EXPECT_FALSE(status->isEnabled());
  EXPECT_EQ(status->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
  EXPECT_EQ(status->palette().color(QPalette::Disabled, QPalette::Text), QColor(Qt::white));
  EXPECT_EQ(status->palette().color(QPalette::Disabled, QPalette::Base), QColor(Qt::black));
  EXPECT_EQ(Child<QPushButton>(u8"按钮")->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(Child<QWidget>(u8"图片")->focusPolicy(), Qt::NoFocus);
  EXPECT_NE(form_->findChild<QTimer*>(U8(u8"时钟")), nullptr);
}

TEST_F(WindowToolkitTest, TextsGoBothWaysInTheProgramsEncoding) {
  EXPECT_EQ(window_->GetText("外面"), "看不见");
  EXPECT_EQ(window_->GetText("按钮"), "按下");
  EXPECT_EQ(window_->GetText("选择框1"), "选项");
  window_->SetText("状态", "制作完成");
  EXPECT_EQ(Child<QLineEdit>(u8"状态")->text(), U8(u8"制作完成"));
  // Multi-line boxes give their line breaks as "\r\n".
  window_->SetText("多行", "上\r\n下");
  EXPECT_EQ(Child<QPlainTextEdit>(u8"多行")->toPlainText(), U8(u8"上\n下"));
  EXPECT_EQ(window_->GetText("多行"), "上\r\n下");
}

TEST_F(WindowToolkitTest, UnknownNamesAndWrongKindsDoNothing) {
  EXPECT_EQ(window_->GetText("没有"), "");
  EXPECT_FALSE(window_->IsChecked("按钮"));
  EXPECT_EQ(window_->AppendRow("多行"), -1);
  EXPECT_EQ(window_->RowCount("按钮"), 0);
  EXPECT_EQ(window_->Selection("没有"), -1);
  EXPECT_EQ(window_->Picture("列表"), Bytes{});
  window_->SetText("列表", "x");
  window_->SetPicture("按钮", {1, 2, 3});
  window_->SetCell("按钮", 0, 0, "x");
  EXPECT_EQ(window_->RowCount("列表"), 4);
}

TEST_F(WindowToolkitTest, ListCellsRowsAndSelection) {
  auto* list = List();
  EXPECT_FALSE(list->isHeaderHidden());
  EXPECT_EQ(list->header()->sectionSize(0), 230);
  EXPECT_EQ(list->headerItem()->text(0), U8(u8"标题"));
  list->show();
  EXPECT_GT(list->horizontalScrollBar()->maximum(), 0);  // wider than the list: it scrolls sideways

  EXPECT_EQ(window_->RowCount("列表"), 4);
  EXPECT_EQ(window_->Selection("列表"), -1);
  EXPECT_EQ(window_->Cell("列表", 2, 0), "丙");
  struct Outside {
    int row, column;
  };
  for (const Outside cell : {Outside{4, 0}, Outside{-1, 0}, Outside{0, 2}, Outside{0, -1}}) {
    window_->SetCell("列表", cell.row, cell.column, "x");
    EXPECT_EQ(window_->Cell("列表", cell.row, cell.column), "");
  }
  window_->SetSelection("列表", 1);
  EXPECT_EQ(window_->Selection("列表"), 1);
  window_->SetSelection("列表", 9);
  EXPECT_EQ(window_->Selection("列表"), -1);

  window_->RemoveAllRows("列表");
  EXPECT_EQ(window_->RowCount("列表"), 0);
  EXPECT_EQ(window_->AppendRow("列表"), 0);
  EXPECT_EQ(window_->AppendRow("列表"), 1);
  window_->SetCell("列表", 1, 1, "50%");
  EXPECT_EQ(window_->Cell("列表", 1, 1), "50%");
  EXPECT_EQ(window_->Cell("列表", 1, 0), "");
}

TEST_F(WindowToolkitTest, RowFocusIsReportedForEveryMoveOfTheUser) {
  std::vector<int> focused;
  window_->OnRowFocused("列表", [&] { focused.push_back(window_->Selection("列表")); });
  ShowActive();
  List()->setFocus(Qt::TabFocusReason);  // taking the focus picks no row
  EXPECT_EQ(window_->Selection("列表"), -1);
  EXPECT_TRUE(focused.empty());

  ClickRow(2);
  ClickRow(2);  // the focused row again: nothing
  QTest::keyClick(List(), Qt::Key_Down);
  QTest::keyClick(List(), Qt::Key_Up);
  QTest::keyClick(List(), Qt::Key_Up);
  window_->SetSelection("列表", 3);  // the program's own change: nothing
  EXPECT_EQ(focused, (std::vector<int>{2, 3, 2, 1}));
  EXPECT_EQ(window_->Selection("列表"), 3);
}

TEST_F(WindowToolkitTest, DownArrowInAListWithoutFocusedRowPicksTheFirst) {
  std::vector<int> focused;
  window_->OnRowFocused("列表", [&] { focused.push_back(window_->Selection("列表")); });
  ShowActive();
  List()->setFocus(Qt::TabFocusReason);
  QTest::keyClick(List(), Qt::Key_Down);
  EXPECT_EQ(focused, (std::vector<int>{0}));
}

TEST_F(WindowToolkitTest, HotTrackingSelectsTheRowUnderTheMouse) {
  WindowDef definition = SampleWindow();
  definition.controls[2].hotTracking = true;
  definition.controls[2].fullRowSelect = true;
  window_ = toolkit_.CreateWindow(definition);
  form_ = &dynamic_cast<qt::QtWindow&>(*window_).widget();
  int raised = 0;
  window_->OnRowFocused("列表", [&] { ++raised; });
  ShowActive();
  QTreeWidget* list = List();
  QTest::mouseMove(list->viewport(), list->visualItemRect(list->topLevelItem(1)).center());
  QTRY_COMPARE_WITH_TIMEOUT(window_->Selection("列表"), 1, 5000);
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(list->viewport()->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(WindowToolkitTest, TabVisitsEveryEnabledTabStopInDefinitionOrder) {
  ShowActive();
  Child<QCheckBox>(u8"选择框1")->setFocus(Qt::TabFocusReason);
  std::vector<QString> visited;
  for (int i = 0; i < 5; ++i) {
    visited.push_back(QApplication::focusWidget()->objectName());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  // The tab control's focus sits on its tab bar, which has no name of its own.
  const QString tabBar = Child<QTabWidget>(u8"选择夹1")->tabBar()->objectName();
  EXPECT_EQ(visited, (std::vector<QString>{U8(u8"选择框1"), tabBar, U8(u8"列表"), U8(u8"多行"),
                                           U8(u8"按钮")}));
  EXPECT_EQ(QApplication::focusWidget()->objectName(), U8(u8"外面"));
}

TEST_F(WindowToolkitTest, MousePressRunsTheHandlerThenFocusesTheBox) {
  auto* box = Child<QPlainTextEdit>(u8"多行");
  int rightPresses = 0;
  window_->OnMousePressed("多行", MouseButton::Left, [&] { window_->SetText("多行", ""); });
  window_->OnMousePressed("多行", MouseButton::Right, [&] { ++rightPresses; });
  ShowActive();
  QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_TRUE(box->hasFocus());
  QTest::keyClicks(box, "AB");
  EXPECT_EQ(window_->GetText("多行"), "AB");
  QTest::mousePress(box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
  QTest::mouseRelease(box->viewport(), Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_EQ(rightPresses, 1);
  EXPECT_EQ(window_->GetText("多行"), "AB");
}

TEST_F(WindowToolkitTest, ClickedHandlersAndTheirReplacement) {
  std::vector<std::string> clicks;
  window_->OnClicked("按钮", [&] { clicks.push_back("first"); });
  window_->OnClicked("按钮", [&] { clicks.push_back("second"); });
  window_->OnClicked("选择框1", [&] { clicks.push_back("option"); });
  ShowActive();
  QTest::mouseClick(Child<QPushButton>(u8"按钮"), Qt::LeftButton);
  Child<QCheckBox>(u8"选择框1")->click();
  EXPECT_EQ(clicks, (std::vector<std::string>{"second", "option"}));
  EXPECT_FALSE(window_->IsChecked("选择框1"));
}

TEST_F(WindowToolkitTest, CreatedRunsOnceBeforeTheWindowShowsAndTimersRunUntilClosed) {
  int created = 0;
  window_->OnCreated([&] {
    ++created;
    EXPECT_FALSE(form_->isVisible());
  });
  int ticks = 0;
  window_->OnTimer("时钟", [&] { ++ticks; });
  window_->Show();
  window_->Show();
  EXPECT_EQ(created, 1);
  EXPECT_TRUE(form_->isVisible());
  EXPECT_TRUE(QTest::qWaitFor([&] { return ticks >= 2; }, 5000));
  window_->Close();
  EXPECT_FALSE(form_->isVisible());
  EXPECT_FALSE(form_->findChild<QTimer*>(U8(u8"时钟"))->isActive());
}

TEST_F(WindowToolkitTest, RunModalBlocksUntilTheWindowIsClosed) {
  bool sawModal = false;
  window_->OnCreated([&] {
    QTimer::singleShot(0, form_, [&] {
      sawModal = form_->isVisible() && QApplication::activeModalWidget() == form_ &&
                 form_->windowModality() == Qt::ApplicationModal;
      window_->Close();
    });
  });
  window_->RunModal();
  EXPECT_TRUE(sawModal);
  EXPECT_FALSE(form_->isVisible());
}

TEST_F(WindowToolkitTest, MessageBoxHasOnlyOkNoIconNoOwnerAndTheCaption) {
  bool checked = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->windowTitle(), U8(u8"信息："));
    EXPECT_EQ(box->text(), U8(u8"请输入正确内容"));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->parent(), nullptr);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
    checked = true;
    box->button(QMessageBox::Ok)->click();
  });
  toolkit_.MessageBox("请输入正确内容", "信息：");
  EXPECT_TRUE(checked);
}

TEST_F(WindowToolkitTest, PostedTasksRunOnTheWindowThreadInOrder) {
  std::vector<int> ran;
  const auto windowThread = std::this_thread::get_id();
  bool otherThread = false;
  std::thread poster([&] {
    for (int i = 0; i < 200; ++i) {
      toolkit_.PostToWindowThread([&, i] {
        otherThread |= std::this_thread::get_id() != windowThread;
        ran.push_back(i);
      });
    }
  });
  poster.join();  // returned without the window thread running a single task
  EXPECT_TRUE(ran.empty());
  EXPECT_TRUE(QTest::qWaitFor([&] { return ran.size() == 200; }, 5000));
  std::vector<int> expected(200);
  for (int i = 0; i < 200; ++i) expected[i] = i;
  EXPECT_EQ(ran, expected);
  EXPECT_FALSE(otherThread);
}

TEST_F(WindowToolkitTest, MessageLoopEndsWhenTheShownWindowCloses) {
  EXPECT_EQ(toolkit_.RunMessageLoop(), 0);  // nothing shown: returns at once
  window_->Show();
  QTimer::singleShot(0, form_, [&] { window_->Close(); });
  EXPECT_EQ(toolkit_.RunMessageLoop(), 0);
}

}  // namespace
}  // namespace signmaker::platform
