#include "platform/qt/report_list.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <utility>

namespace signmaker::platform::qt {
namespace {

// Draws the rows of a hot-tracking list: every text underlined, the row under the mouse
// highlighted.
class HotTrackDelegate final : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    if ((option.state & QStyle::State_MouseOver) && !(option.state & QStyle::State_Selected)) {
      QColor hover = option.palette.color(QPalette::Active, QPalette::Highlight);
      hover.setAlpha(60);
      painter->fillRect(option.rect, hover);
    }
    QStyledItemDelegate::paint(painter, option, index);
  }

 protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    option->font.setUnderline(true);
  }
};

// Sets a flag for as long as it lives.
class FlagScope {
 public:
  explicit FlagScope(bool& flag) : flag_(flag), before_(flag) { flag_ = true; }
  ~FlagScope() { flag_ = before_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool before_;
};

}  // namespace

ReportList::ReportList(QWidget* parent, const ReportListOptions& options)
    : QTreeWidget(parent), options_(options) {
  setRootIsDecorated(false);
  setIndentation(0);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSortingEnabled(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(options.fullRowSelect ? QAbstractItemView::SelectRows
                                             : QAbstractItemView::SelectItems);
  setAllColumnsShowFocus(options.fullRowSelect);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  header()->setStretchLastSection(false);
  header()->setSectionsClickable(true);
  header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

  if (options.keepSelectionVisible) {
    QPalette colours = palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
      colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);
  }
  if (options.hotTracking) {
    setItemDelegate(new HotTrackDelegate(this));
    setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_Hover, true);
  }

  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex&, const QModelIndex&) {
            if (!quiet_) focusMoved_ = true;
          });
}

void ReportList::SetRowFocusedHandler(std::function<void()> handler) {
  rowFocused_ = std::move(handler);
}

void ReportList::RaiseRowFocused() {
  if (!focusMoved_) return;
  focusMoved_ = false;
  if (rowFocused_) {
    const std::function<void()> handler = rowFocused_;
    handler();
  }
}

void ReportList::keyPressEvent(QKeyEvent* event) {
  QTreeWidget::keyPressEvent(event);
  RaiseRowFocused();
}

void ReportList::mousePressEvent(QMouseEvent* event) {
  QTreeWidget::mousePressEvent(event);
  RaiseRowFocused();
}

void ReportList::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  RaiseRowFocused();
}

QItemSelectionModel::SelectionFlags ReportList::SelectionCommand() const {
  return options_.fullRowSelect ? QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows
                                : QItemSelectionModel::ClearAndSelect;
}

int ReportList::SelectedRow() const {
  const QModelIndexList selected = selectionModel()->selectedIndexes();
  return selected.isEmpty() ? -1 : selected.front().row();
}

void ReportList::SelectRow(int row) {
  FlagScope quiet(quiet_);
  if (row < 0 || row >= topLevelItemCount()) {
    selectionModel()->clear();
    return;
  }
  const QModelIndex index = model()->index(row, 0);
  selectionModel()->setCurrentIndex(index, SelectionCommand());
}

void ReportList::RemoveAllRows() {
  FlagScope quiet(quiet_);
  clear();
}

void ReportList::focusInEvent(QFocusEvent* event) {
  if (currentIndex().isValid()) {
    QTreeWidget::focusInEvent(event);
    return;
  }
  // Qt makes the first row the focused one when a list without one takes the focus;
  // here a list keeps no focused row until the user picks one.
  FlagScope quiet(quiet_);
  QTreeWidget::focusInEvent(event);
  if (selectionModel()->selectedIndexes().isEmpty()) {
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
  }
}

void ReportList::mouseMoveEvent(QMouseEvent* event) {
  QTreeWidget::mouseMoveEvent(event);
  if (options_.hotTracking) Track(indexAt(event->position().toPoint()), event->buttons());
  RaiseRowFocused();
}

void ReportList::Track(const QModelIndex& hovered, Qt::MouseButtons buttons) {
  if (!hovered.isValid()) {
    viewport()->unsetCursor();
    return;
  }
  viewport()->setCursor(Qt::PointingHandCursor);
  if (buttons == Qt::NoButton && hovered.row() != currentIndex().row()) {
    // The row under the resting mouse becomes the selected and focused row.
    selectionModel()->setCurrentIndex(model()->index(hovered.row(), 0), SelectionCommand());
  }
}

void ReportList::leaveEvent(QEvent* event) {
  QTreeWidget::leaveEvent(event);
  if (options_.hotTracking) viewport()->unsetCursor();
}

}  // namespace signmaker::platform::qt
