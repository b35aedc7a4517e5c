#pragma once
// A list view in report form: columns of texts, one row selected at most.

#include <QTreeWidget>

#include <functional>

namespace signmaker::platform::qt {

struct ReportListOptions {
  bool fullRowSelect = false;
  bool hotTracking = false;   // underlined rows, hover highlight, hand cursor, hover selects
  bool keepSelectionVisible = true;
};

class ReportList final : public QTreeWidget {
  Q_OBJECT

 public:
  ReportList(QWidget* parent, const ReportListOptions& options);

  // Runs `handler` when the user moves the focused row to another row, by mouse or
  // keyboard. Changes made through the functions below raise nothing.
  void SetRowFocusedHandler(std::function<void()> handler);

  // The selected row; -1 when none.
  int SelectedRow() const;
  // Selects `row` and makes it the focused row; -1 or a row outside the list clears both.
  void SelectRow(int row);
  void RemoveAllRows();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  // Raises the row-focused handler when the event just handled moved the focused row.
  // It runs after the whole event, when the new row is the selected one too.
  void RaiseRowFocused();
  // Selects the row of an index of column 0 (the whole row with full-row selection).
  QItemSelectionModel::SelectionFlags SelectionCommand() const;
  // Hot tracking: the hand cursor over rows, and the row under the resting mouse selected.
  void Track(const QModelIndex& hovered, Qt::MouseButtons buttons);

  ReportListOptions options_;
  std::function<void()> rowFocused_;
  bool quiet_ = false;         // set while the program itself changes the focused row
  bool focusMoved_ = false;    // the focused row moved during the event being handled
};

}  // namespace signmaker::platform::qt
