#include "platform/qt/qt_window.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include <vector>

#include "platform/qt/picture_box.h"
#include "platform/qt/qt_text.h"
#include "platform/qt/report_list.h"

namespace signmaker::platform::qt {
namespace {

constexpr char CjkFontFamily[] = "WenQuanYi Micro Hei";

// Runs a callback when a mouse button is pressed on the watched widget; the press then
// goes on to the widget as usual.
class PressWatcher final : public QObject {
 public:
  PressWatcher(QObject* parent, std::function<void(MouseButton)> pressed)
      : QObject(parent), pressed_(std::move(pressed)) {}

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
      const auto button = static_cast<QMouseEvent*>(event)->button();
      if (button == Qt::LeftButton) pressed_(MouseButton::Left);
      if (button == Qt::RightButton) pressed_(MouseButton::Right);
    }
    return false;
  }

 private:
  std::function<void(MouseButton)> pressed_;
};

QColor ToQColor(const Colour& colour) { return QColor(colour.red, colour.green, colour.blue); }

// Gives `widget` the definition's colours in every state, disabled included.
void ApplyColours(QWidget* widget, const ControlDef& control, QPalette::ColorRole textRole,
                  QPalette::ColorRole backRole) {
  if (!control.textColour && !control.backColour) return;
  QPalette colours = widget->palette();
  for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    if (control.textColour) colours.setColor(group, textRole, ToQColor(*control.textColour));
    if (control.backColour) colours.setColor(group, backRole, ToQColor(*control.backColour));
  }
  widget->setPalette(colours);
  if (control.backColour && backRole == QPalette::Window) widget->setAutoFillBackground(true);
}

// Multi-line boxes hold "\r\n" line breaks in the program, "\n" in Qt.
QString ToEditorText(const Text& text) {
  QString converted = ToQString(text);
  converted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return converted;
}
Text FromEditorText(QString text) {
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return FromQString(text);
}

QWidget* MakeEdit(QWidget* parent, const ControlDef& control) {
  if (control.multiLine) {
    auto* edit = new QPlainTextEdit(ToEditorText(control.text), parent);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setTabChangesFocus(true);
    if (control.centred) {
      QTextOption option = edit->document()->defaultTextOption();
      option.setAlignment(Qt::AlignHCenter);
      edit->document()->setDefaultTextOption(option);
    }
    ApplyColours(edit, control, QPalette::Text, QPalette::Base);
    return edit;
  }
  auto* edit = new QLineEdit(ToQString(control.text), parent);
  if (control.centred) edit->setAlignment(Qt::AlignCenter);
  ApplyColours(edit, control, QPalette::Text, QPalette::Base);
  return edit;
}

ReportList* MakeList(QWidget* parent, const ControlDef& control) {
  auto* list = new ReportList(parent, ReportListOptions{control.fullRowSelect, control.hotTracking,
                                                        control.keepSelectionVisible});
  QStringList titles;
  for (const ColumnDef& column : control.columns) titles << ToQString(column.title);
  list->setColumnCount(static_cast<int>(control.columns.size()));
  list->setHeaderLabels(titles);
  for (std::size_t i = 0; i < control.columns.size(); ++i) {
    list->header()->resizeSection(static_cast<int>(i), control.columns[i].width);
  }
  list->header()->setSectionsMovable(control.reorderableColumns);
  list->setHeaderHidden(!control.showHeader);
  list->setFrameStyle(control.sunkenBorder ? QFrame::Panel | QFrame::Sunken : QFrame::StyledPanel);
  for (const Text& row : control.rows) {
    new QTreeWidgetItem(list, QStringList{ToQString(row)});
  }
  ApplyColours(list, control, QPalette::Text, QPalette::Base);
  if (control.handCursor) list->viewport()->setCursor(Qt::PointingHandCursor);
  return list;
}

}  // namespace

void FormWidget::keyPressEvent(QKeyEvent* event) { QWidget::keyPressEvent(event); }

QtWindow::QtWindow(const WindowDef& definition) : form_(std::make_unique<FormWidget>()) {
  Build(definition);
}

QtWindow::~QtWindow() {
  // The widgets go first, while the handlers that their signals reach still exist.
  form_.reset();
}

void QtWindow::Build(const WindowDef& definition) {
  form_->setObjectName(ToQString(definition.name));
  form_->setWindowTitle(ToQString(definition.title));
  form_->setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  form_->setFixedSize(definition.width, definition.height);
  form_->move(definition.x, definition.y);
  for (const ControlDef& control : definition.controls) AddControl(control);

  // Tab order as defined: every enabled tab stop, in the order of the definition.
  QWidget* previous = nullptr;
  for (const ControlDef& control : definition.controls) {
    if (!control.tabStop || control.kind == ControlKind::Timer) continue;
    auto* widget = Find<QWidget>(control.name, control.kind);
    if (widget == nullptr) continue;
    if (previous != nullptr) QWidget::setTabOrder(previous, widget);
    previous = widget;
  }
  QObject::connect(form_.get(), &QDialog::finished, form_.get(), [this] {
    for (auto& [name, control] : controls_) {
      if (control.kind == ControlKind::Timer) static_cast<QTimer*>(control.object)->stop();
    }
  });
}

void QtWindow::AddControl(const ControlDef& control) {
  QWidget* parent = form_.get();
  if (!control.parent.empty()) {
    if (auto* tabs = Find<QTabWidget>(control.parent, ControlKind::TabControl)) parent = tabs->widget(0);
  }
  const Text name = control.name;
  if (control.kind == ControlKind::Timer) {
    auto* timer = new QTimer(form_.get());
    timer->setObjectName(ToQString(name));
    timer->setInterval(control.intervalMs);
    QObject::connect(timer, &QTimer::timeout, form_.get(), [this, name] { Run(timers_, name); });
    controls_.emplace(name, Control{control.kind, timer});
    return;
  }

  QWidget* widget = nullptr;
  switch (control.kind) {
    case ControlKind::CheckBox: {
      auto* box = new QCheckBox(ToQString(control.text), parent);
      box->setChecked(control.checked);
      QObject::connect(box, &QCheckBox::clicked, box, [this, name] { Run(clicked_, name); });
      ApplyColours(box, control, QPalette::WindowText, QPalette::Window);
      widget = box;
      break;
    }
    case ControlKind::TabControl: {
      auto* tabs = new QTabWidget(parent);
      tabs->addTab(new QWidget, ToQString(control.text));
      widget = tabs;
      break;
    }
    case ControlKind::ListView: {
      ReportList* list = MakeList(parent, control);
      list->SetRowFocusedHandler([this, name] { Run(rowFocused_, name); });
      widget = list;
      break;
    }
    case ControlKind::PictureBox:
      widget = new PictureBox(parent);
      ApplyColours(widget, control, QPalette::WindowText, QPalette::Window);
      break;
    case ControlKind::EditBox: {
      widget = MakeEdit(parent, control);
      auto* plain = qobject_cast<QPlainTextEdit*>(widget);
      QWidget* pressed = plain != nullptr ? plain->viewport() : widget;
      pressed->installEventFilter(new PressWatcher(widget, [this, name](MouseButton button) {
        Run(pressed_, std::pair(name, button));
      }));
      break;
    }
    case ControlKind::Button: {
      auto* button = new QPushButton(ToQString(control.text), parent);
      button->setAutoDefault(false);
      QObject::connect(button, &QPushButton::clicked, button, [this, name] { Run(clicked_, name); });
      ApplyColours(button, control, QPalette::ButtonText, QPalette::Button);
      widget = button;
      break;
    }
    case ControlKind::Timer:
      return;
  }
  widget->setObjectName(ToQString(name));
  widget->setGeometry(control.x, control.y, control.width, control.height);
  widget->setEnabled(control.enabled);
  if (!control.tabStop) {
    widget->setFocusPolicy(control.kind == ControlKind::PictureBox ? Qt::NoFocus : Qt::ClickFocus);
  } else if (control.kind == ControlKind::PictureBox) {
    widget->setFocusPolicy(Qt::StrongFocus);
  }
  if (control.fontPixels > 0) {
    QFont font(QString::fromUtf8(CjkFontFamily));
    font.setPixelSize(control.fontPixels);
    font.setWeight(QFont::Normal);
    widget->setFont(font);
  }
  if (control.handCursor && control.kind != ControlKind::ListView) {
    widget->setCursor(Qt::PointingHandCursor);
  }
  controls_.emplace(name, Control{control.kind, widget});
}

template <typename T>
T* QtWindow::Find(std::string_view name, ControlKind kind) const {
  const auto found = controls_.find(name);
  if (found == controls_.end() || found->second.kind != kind) return nullptr;
  return qobject_cast<T*>(found->second.object);
}

template <typename Key>
void QtWindow::Run(const std::map<Key, std::function<void()>, std::less<>>& handlers, const Key& key) {
  const auto found = handlers.find(key);
  if (found == handlers.end() || !found->second) return;
  // A copy, so that a handler may replace itself while it runs.
  const std::function<void()> handler = found->second;
  handler();
}

Text QtWindow::GetText(std::string_view control) const {
  if (auto* edit = Find<QLineEdit>(control, ControlKind::EditBox)) return FromQString(edit->text());
  if (auto* edit = Find<QPlainTextEdit>(control, ControlKind::EditBox)) {
    return FromEditorText(edit->toPlainText());
  }
  if (auto* button = Find<QPushButton>(control, ControlKind::Button)) return FromQString(button->text());
  if (auto* box = Find<QCheckBox>(control, ControlKind::CheckBox)) return FromQString(box->text());
  return {};
}

void QtWindow::SetText(std::string_view control, const Text& text) {
  if (auto* edit = Find<QLineEdit>(control, ControlKind::EditBox)) {
    edit->setText(ToQString(text));
  } else if (auto* edit = Find<QPlainTextEdit>(control, ControlKind::EditBox)) {
    edit->setPlainText(ToEditorText(text));
  } else if (auto* button = Find<QPushButton>(control, ControlKind::Button)) {
    button->setText(ToQString(text));
  } else if (auto* box = Find<QCheckBox>(control, ControlKind::CheckBox)) {
    box->setText(ToQString(text));
  }
}

bool QtWindow::IsChecked(std::string_view control) const {
  const auto* box = Find<QCheckBox>(control, ControlKind::CheckBox);
  return box != nullptr && box->isChecked();
}

void QtWindow::SetPicture(std::string_view control, Bytes bytes) {
  if (auto* picture = Find<PictureBox>(control, ControlKind::PictureBox)) {
    picture->SetBytes(std::move(bytes));
  }
}

Bytes QtWindow::Picture(std::string_view control) const {
  const auto* picture = Find<PictureBox>(control, ControlKind::PictureBox);
  return picture != nullptr ? picture->bytes() : Bytes{};
}

void QtWindow::RemoveAllRows(std::string_view list) {
  if (auto* found = Find<ReportList>(list, ControlKind::ListView)) found->RemoveAllRows();
}

int QtWindow::AppendRow(std::string_view list) {
  auto* found = Find<ReportList>(list, ControlKind::ListView);
  if (found == nullptr) return -1;
  new QTreeWidgetItem(found);
  return found->topLevelItemCount() - 1;
}

int QtWindow::RowCount(std::string_view list) const {
  const auto* found = Find<ReportList>(list, ControlKind::ListView);
  return found != nullptr ? found->topLevelItemCount() : 0;
}

void QtWindow::SetCell(std::string_view list, int row, int column, const Text& text) {
  auto* found = Find<ReportList>(list, ControlKind::ListView);
  if (found == nullptr || column < 0 || column >= found->columnCount()) return;
  if (QTreeWidgetItem* item = found->topLevelItem(row)) item->setText(column, ToQString(text));
}

Text QtWindow::Cell(std::string_view list, int row, int column) const {
  const auto* found = Find<ReportList>(list, ControlKind::ListView);
  if (found == nullptr || column < 0 || column >= found->columnCount()) return {};
  const QTreeWidgetItem* item = found->topLevelItem(row);
  return item != nullptr ? FromQString(item->text(column)) : Text{};
}

int QtWindow::Selection(std::string_view list) const {
  const auto* found = Find<ReportList>(list, ControlKind::ListView);
  return found != nullptr ? found->SelectedRow() : -1;
}

void QtWindow::SetSelection(std::string_view list, int row) {
  if (auto* found = Find<ReportList>(list, ControlKind::ListView)) found->SelectRow(row);
}

void QtWindow::OnCreated(std::function<void()> handler) { created_ = std::move(handler); }

void QtWindow::OnClicked(std::string_view button, std::function<void()> handler) {
  clicked_.insert_or_assign(Text(button), std::move(handler));
}

void QtWindow::OnMousePressed(std::string_view control, MouseButton button,
                              std::function<void()> handler) {
  pressed_.insert_or_assign(std::pair(Text(control), button), std::move(handler));
}

void QtWindow::OnRowFocused(std::string_view list, std::function<void()> handler) {
  rowFocused_.insert_or_assign(Text(list), std::move(handler));
}

void QtWindow::OnTimer(std::string_view timer, std::function<void()> handler) {
  timers_.insert_or_assign(Text(timer), std::move(handler));
}

void QtWindow::Created() {
  if (!createdRan_) {
    createdRan_ = true;
    if (created_) {
      const std::function<void()> handler = created_;
      handler();
    }
  }
  for (auto& [name, control] : controls_) {
    if (control.kind == ControlKind::Timer) static_cast<QTimer*>(control.object)->start();
  }
}

void QtWindow::Show() {
  Created();
  form_->setWindowModality(Qt::NonModal);
  form_->show();
}

void QtWindow::RunModal() {
  Created();
  form_->setWindowModality(Qt::ApplicationModal);
  form_->exec();
}

void QtWindow::Close() { form_->close(); }

}  // namespace signmaker::platform::qt
