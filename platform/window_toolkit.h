#pragma once
// Window toolkit: windows built from a definition, their controls reached by name.
//
// Control names are the GBK names of the window definition ("编辑框1"); the Qt
// backend gives each widget its name in UTF-8 as object name. Unless said otherwise
// every operation runs on the window thread, and an operation that names a control
// the window does not have (or one of another kind) does nothing and gives an empty
// result. No operation throws.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/types.h"

namespace signmaker::platform {

enum class ControlKind { CheckBox, TabControl, ListView, PictureBox, EditBox, Button, Timer };

enum class MouseButton { Left, Right };

struct Colour {
  std::uint8_t red = 0, green = 0, blue = 0;
};

struct ColumnDef {
  Text title;
  int width = 0;
};

// One control of a window definition. Positions are relative to the client area
// of the parent; sizes are outer sizes in pixels.
struct ControlDef {
  Text name;
  ControlKind kind = ControlKind::Button;
  Text parent;                      // a tab control's name; empty: the window itself
  int x = 0, y = 0, width = 0, height = 0;
  Text text;                        // caption or initial text; a tab control's single tab title
  bool checked = false;             // check box
  bool multiLine = false;           // edit box: Enter starts a new line, no scroll bars
  bool centred = false;             // edit box: text centred
  bool enabled = true;
  bool tabStop = true;
  bool handCursor = false;
  int fontPixels = 0;               // 0: the default font; else the CJK font, this many pixels high
  std::optional<Colour> textColour;
  std::optional<Colour> backColour;
  // List views (report form).
  std::vector<ColumnDef> columns;
  std::vector<Text> rows;           // initial rows: the text of column 0 of each
  bool showHeader = true;
  bool fullRowSelect = false;
  bool hotTracking = false;         // underlined rows, hover highlight, hand cursor, hover selects
  bool reorderableColumns = false;
  bool sunkenBorder = false;
  bool keepSelectionVisible = true; // the selection stays visible without focus
  // Timers.
  int intervalMs = 0;
};

struct WindowDef {
  Text name;
  Text title;
  // The frame's top left on the screen, and the size the window was laid out at. The
  // Qt backend gives that size to the window's inside and lets the window manager put
  // its frame around it, so that every control of the layout stays visible.
  int x = 0, y = 0, width = 0, height = 0;
  std::vector<ControlDef> controls;         // parents before their children
};

class Window {
 public:
  virtual ~Window() = default;

  // Text of an edit box, button or check box label. A multi-line edit box gives and
  // takes its line breaks as "\r\n".
  virtual Text GetText(std::string_view control) const = 0;
  virtual void SetText(std::string_view control, const Text& text) = 0;

  // State of a check box.
  virtual bool IsChecked(std::string_view control) const = 0;

  // A picture area keeps exactly the bytes it was given and shows them when they are
  // a JPEG, PNG, BMP or GIF picture (scaled down to fit, proportions kept, centred),
  // nothing otherwise. Damaged or hostile bytes never crash it.
  virtual void SetPicture(std::string_view control, Bytes bytes) = 0;
  virtual Bytes Picture(std::string_view control) const = 0;

  // List views. Rows and columns are 0-based; a cell outside the list reads as
  // empty text and writing it does nothing. Selection -1 means none.
  virtual void RemoveAllRows(std::string_view list) = 0;
  virtual int AppendRow(std::string_view list) = 0;  // index of the new empty row; -1 for no list
  virtual int RowCount(std::string_view list) const = 0;
  virtual void SetCell(std::string_view list, int row, int column, const Text& text) = 0;
  virtual Text Cell(std::string_view list, int row, int column) const = 0;
  virtual int Selection(std::string_view list) const = 0;
  virtual void SetSelection(std::string_view list, int row) = 0;

  // Event handlers; a later registration for the same event replaces the earlier one.
  // Created: runs once inside Show or RunModal, after the window and its controls
  // exist and before the user can work with it.
  virtual void OnCreated(std::function<void()> handler) = 0;
  virtual void OnClicked(std::string_view button, std::function<void()> handler) = 0;
  // The press still has its usual effect (focus and caret) after the handler ran.
  virtual void OnMousePressed(std::string_view control, MouseButton button,
                              std::function<void()> handler) = 0;
  // A row of the list becomes the focused row, by mouse or keyboard.
  virtual void OnRowFocused(std::string_view list, std::function<void()> handler) = 0;
  // Runs every intervalMs of the timer while the window exists.
  virtual void OnTimer(std::string_view timer, std::function<void()> handler) = 0;

  // Runs the created handler, then shows the window (modeless). Returns at once.
  virtual void Show() = 0;
  // Runs the created handler, then shows the window as a modal dialog without a
  // parent; returns when the user has closed it.
  virtual void RunModal() = 0;
  // Closes the window.
  virtual void Close() = 0;
};

class WindowToolkit {
 public:
  virtual ~WindowToolkit() = default;

  virtual std::unique_ptr<Window> CreateWindow(const WindowDef& definition) = 0;

  // A message box: OK only, no icon, no owner window, modal to the whole program.
  // Returns when the user has closed it.
  virtual void MessageBox(const Text& text, const Text& caption) = 0;

  // Runs the message loop until every window shown with Show has been closed.
  // Returns 0.
  virtual int RunMessageLoop() = 0;

  // Queues `task` to run on the window thread. Any thread; never waits for the window
  // thread. Tasks run in the order they were posted.
  virtual void PostToWindowThread(std::function<void()> task) = 0;

  // Opens `url` in the user's web browser.
  virtual void OpenUrl(const Text& url) = 0;

  // The process's Qt toolkit; the first call starts the application object unless
  // one exists already.
  static WindowToolkit& Default();
};

}  // namespace signmaker::platform
