#pragma once

#include "scheduler/run_table.h"
#include "ui/flat_check_box.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace orvanta::ui {

// Whether a row's drawn check box is ticked: only a waiting task that is switched on.
bool RowChecked(const scheduler::DisplayRow& row);

// The display rows of the run table, column for column, as the list shows them.
class TaskListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    // Shows these rows, shared with whoever made them (the run table), not copied; noneText is the
    // localized "None" the empty list's single row shows. The view hears only of the lines that differ
    // from those shown, or of a new list when the number of lines changed. Returns false, telling the
    // view nothing, when every line is as shown.
    bool SetRows(std::shared_ptr<scheduler::DisplayRows> rows, const std::string& noneText);
    // The problems of the rows that could not be scheduled, by task ID: such a row is drawn as switched
    // off, and its problem is its hint.
    void SetRowProblems(std::map<std::string, std::string> problems);
    // The hint of a scheduled row; empty: the row's text.
    void SetRowHint(std::function<QString(const scheduler::DisplayRow&)> hint) { hint_ = std::move(hint); }
    // Changes one cell in place (the toggle does, until the next rebuild); whoever shares the rows sees
    // the change too.
    void SetCell(int row, std::size_t column, std::string_view value);

    const scheduler::DisplayRows& rows() const { return *rows_; }
    // Whether these are the very rows shown (not a copy).
    bool Shows(const scheduler::DisplayRows& rows) const { return rows_.get() == &rows; }
    // True while the list holds only the "None" row; no check box is drawn then.
    bool ShowsNone() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::shared_ptr<scheduler::DisplayRows> rows_ = std::make_shared<scheduler::DisplayRows>();
    std::string noneText_;
    std::map<std::string, std::string> problems_;
    std::function<QString(const scheduler::DisplayRow&)> hint_;
};

// Draws a row's text and, over its first column, the flat check box.
class TaskListDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    TaskListDelegate(const TaskListModel& model, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const TaskListModel& model_;
};

// TaskList: a grid of whole-row selection whose first column, the row text, is the only one visible;
// the other seven columns carry what the commands read.
class TaskListView : public QTableView {
    Q_OBJECT

  public:
    explicit TaskListView(QWidget* parent);

    TaskListModel& model() { return model_; }
    const TaskListModel& model() const { return model_; }

    // The selected row; a list with rows always has one, the first by default.
    int selectedRow() const;
    void selectRow(int row);
    // Shows new rows and keeps the selected row number where it still exists.
    void showRows(std::shared_ptr<scheduler::DisplayRows> rows, const std::string& noneText);

  signals:
    // After any mouse button press has selected the row under it; x in the cells' coordinates.
    void mousePressedAt(int x);

  protected:
    // Also the second press of a double click, which Qt delivers as a press before the double click.
    void mousePressEvent(QMouseEvent* event) override;

  private:
    TaskListModel model_;
};

} // namespace orvanta::ui
