#include "ui/task_list_view.h"

#include <QApplication>
#include <QBrush>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMouseEvent>
#include <QPalette>

namespace orvanta::ui {

using scheduler::DisplayRow;
using scheduler::kDispEnabled;
using scheduler::kDispStatus;
using scheduler::kDispText;

bool RowChecked(const DisplayRow& row) {
    return row[kDispStatus] == scheduler::kStatusWaiting && row[kDispEnabled] == "1";
}

bool TaskListModel::SetRows(std::shared_ptr<scheduler::DisplayRows> rows, const std::string& noneText) {
    if (!rows) rows = std::make_shared<scheduler::DisplayRows>();
    // The rows shown are never written over by a rebuild (it makes new ones while these are held), so
    // the same rows again carry no change the view has not been told of.
    if (rows == rows_ && noneText == noneText_) return false;
    if (noneText == noneText_ && rows->size() == rows_->size()) {
        int first = -1;
        int last = -1;
        for (std::size_t i = 0; i < rows->size(); ++i)
            if ((*rows)[i] != (*rows_)[i]) {
                if (first < 0) first = static_cast<int>(i);
                last = static_cast<int>(i);
            }
        rows_ = std::move(rows);
        if (first < 0) return false;
        emit dataChanged(index(first, 0), index(last, columnCount() - 1));
        return true;
    }
    beginResetModel();
    rows_ = std::move(rows);
    noneText_ = noneText;
    endResetModel();
    return true;
}

void TaskListModel::SetCell(int row, std::size_t column, std::string_view value) {
    if (row < 0 || row >= rowCount() || column >= scheduler::kDisplayColumnCount) return;
    rows_->Set(static_cast<std::size_t>(row), column, value);
    const QModelIndex cell = index(row, static_cast<int>(column));
    // The check box over the text follows the Enabled column, so the text cell is repainted too.
    emit dataChanged(index(row, 0), cell);
}

bool TaskListModel::ShowsNone() const {
    return !rows_->empty() && (*rows_)[0][kDispText] == noneText_;
}

int TaskListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_->size());
}

int TaskListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(scheduler::kDisplayColumnCount);
}

void TaskListModel::SetRowProblems(std::map<std::string, std::string> problems) {
    if (problems == problems_) return;
    problems_ = std::move(problems);
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

QVariant TaskListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const scheduler::DisplayRow row = (*rows_)[static_cast<std::size_t>(index.row())];
    const auto problem =
        problems_.empty() ? problems_.end() : problems_.find(std::string(row[scheduler::kDispId]));
    if (problem != problems_.end()) {
        if (role == Qt::ForegroundRole)
            return QBrush(QGuiApplication::palette().color(QPalette::Disabled, QPalette::Text));
        if (role == Qt::ToolTipRole) return QString::fromStdString(problem->second);
    }
    if (role == Qt::ToolTipRole && hint_ && !ShowsNone()) return hint_(row);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const std::string_view text = row[static_cast<std::size_t>(index.column())];
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

TaskListDelegate::TaskListDelegate(const TaskListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

void TaskListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != static_cast<int>(kDispText) || model_.ShowsNone()) return;

    DrawFlatCheckBox(painter, option, RowChecked(model_.rows()[index.row()]));
}

TaskListView::TaskListView(QWidget* parent) : QTableView(parent), model_(this) {
    setObjectName("TaskList");
    setModel(&model_);
    setItemDelegate(new TaskListDelegate(model_, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    setContextMenuPolicy(Qt::CustomContextMenu);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // Fixed heights let the view skip measuring rows: a thousand tasks show at once.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    for (int column = 1; column < static_cast<int>(scheduler::kDisplayColumnCount); ++column)
        setColumnHidden(column, true);
}

int TaskListView::selectedRow() const {
    const int rows = model_.rowCount();
    if (rows == 0) return -1;
    const QModelIndex current = currentIndex();
    return current.isValid() && current.row() < rows ? current.row() : 0;
}

void TaskListView::selectRow(int row) {
    if (row < 0 || row >= model_.rowCount()) return;
    setCurrentIndex(model_.index(row, 0));
    QTableView::selectRow(row);
}

void TaskListView::showRows(std::shared_ptr<scheduler::DisplayRows> rows, const std::string& noneText) {
    const int previous = currentIndex().isValid() ? currentIndex().row() : 0;
    if (!model_.SetRows(std::move(rows), noneText)) return;
    if (model_.rowCount() > 0) selectRow(std::min(previous, model_.rowCount() - 1));
}

void TaskListView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    // Cell coordinates, the ones the check box is drawn in.
    emit mousePressedAt(event->position().toPoint().x());
}

} // namespace orvanta::ui
