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
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void RowFocused();

  ReportListOptions options_;
  std::function<void()> rowFocused_;
  bool quiet_ = false;  // set while the program itself changes the focused row
};

}  // namespace signmaker::platform::qt
