#pragma once
// The Qt backend of Window: one top-level widget built from a WindowDef.

#include <QDialog>

#include <functional>
#include <map>
#include <memory>
#include <string_view>
#include <utility>

#include "platform/window_toolkit.h"

class QTimer;

namespace signmaker::platform::qt {

// The top-level widget. A dialog so that it can run modally; Escape and Enter keep
// the meaning they have in a plain window (Escape closes nothing, Enter clicks nothing).
class FormWidget final : public QDialog {
  Q_OBJECT

 public:
  FormWidget() = default;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class QtWindow final : public Window {
 public:
  explicit QtWindow(const WindowDef& definition);
  ~QtWindow() override;
  QtWindow(const QtWindow&) = delete;
  QtWindow& operator=(const QtWindow&) = delete;

  Text GetText(std::string_view control) const override;
  void SetText(std::string_view control, const Text& text) override;
  bool IsChecked(std::string_view control) const override;
  void SetPicture(std::string_view control, Bytes bytes) override;
  Bytes Picture(std::string_view control) const override;
  void RemoveAllRows(std::string_view list) override;
  int AppendRow(std::string_view list) override;
  int RowCount(std::string_view list) const override;
  void SetCell(std::string_view list, int row, int column, const Text& text) override;
  Text Cell(std::string_view list, int row, int column) const override;
  int Selection(std::string_view list) const override;
  void SetSelection(std::string_view list, int row) override;
  void OnCreated(std::function<void()> handler) override;
  void OnClicked(std::string_view button, std::function<void()> handler) override;
  void OnMousePressed(std::string_view control, MouseButton button,
                      std::function<void()> handler) override;
  void OnRowFocused(std::string_view list, std::function<void()> handler) override;
  void OnTimer(std::string_view timer, std::function<void()> handler) override;
  void Show() override;
  void RunModal() override;
  void Close() override;

  // The top-level widget, for tests that drive the window.
  FormWidget& widget() const { return *form_; }

 private:
  struct Control {
    ControlKind kind;
    QObject* object;  // the widget; the QTimer of a timer
  };

  template <typename T>
  T* Find(std::string_view name, ControlKind kind) const;
  void Build(const WindowDef& definition);
  void AddControl(const ControlDef& control);
  void Created();
  // Runs the handler registered under `key` in `handlers`, if any.
  template <typename Key>
  static void Run(const std::map<Key, std::function<void()>, std::less<>>& handlers, const Key& key);

  std::unique_ptr<FormWidget> form_;
  std::map<Text, Control, std::less<>> controls_;
  std::function<void()> created_;
  bool createdRan_ = false;
  std::map<Text, std::function<void()>, std::less<>> clicked_;
  std::map<Text, std::function<void()>, std::less<>> rowFocused_;
  std::map<Text, std::function<void()>, std::less<>> timers_;
  std::map<std::pair<Text, MouseButton>, std::function<void()>, std::less<>> pressed_;
};

}  // namespace signmaker::platform::qt
