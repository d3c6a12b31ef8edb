#include "ui/hotkey_list_view.h"

#include "ui/flat_check_box.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace orvanta::ui {

using hotkeys::HotkeyListRow;
using hotkeys::kListEnabled;
using hotkeys::kListText;

void HotkeyListModel::SetRows(const std::vector<HotkeyListRow>& rows, bool withCheckBoxes,
                              const std::vector<std::string>& hints) {
    beginResetModel();
    rows_ = rows;
    hints_ = hints;
    withCheckBoxes_ = withCheckBoxes;
    endResetModel();
}

void HotkeyListModel::SetCell(int row, std::size_t column, const std::string& value) {
    if (row < 0 || row >= rowCount() || column >= std::tuple_size_v<HotkeyListRow>) return;
    rows_[row][column] = value;
    // The check box over the text follows the Enabled column, so the text cell is repainted too.
    emit dataChanged(index(row, 0), index(row, static_cast<int>(column)));
}

int HotkeyListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HotkeyListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(std::tuple_size_v<HotkeyListRow>);
}

QVariant HotkeyListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::ToolTipRole && index.column() == static_cast<int>(kListText) && row < hints_.size() &&
        !hints_[row].empty())
        return QString::fromStdString(hints_[row]);
    return QString::fromStdString(rows_[index.row()][index.column()]);
}

HotkeyListDelegate::HotkeyListDelegate(const HotkeyListModel& model, QObject* parent)
    : QStyledItemDelegate(parent), model_(model) {}

void HotkeyListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
    QStyledItemDelegate::paint(painter, option, index);
    if (index.column() != static_cast<int>(kListText) || !model_.withCheckBoxes()) return;
    DrawFlatCheckBox(painter, option, model_.rows()[index.row()][kListEnabled] == "1");
}

HotkeyListView::HotkeyListView(QWidget* parent) : QTableView(parent), model_(this) {
    setObjectName("hotkeylist");
    setModel(&model_);
    setItemDelegate(new HotkeyListDelegate(model_, this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    for (int column = 1; column < model_.columnCount(); ++column)
        setColumnHidden(column, true);
}

int HotkeyListView::currentRow() const {
    const int rows = model_.rowCount();
    if (rows == 0) return -1;
    const QModelIndex current = currentIndex();
    return current.isValid() && current.row() < rows ? current.row() : 0;
}

void HotkeyListView::selectRow(int row) {
    if (row < 0 || row >= model_.rowCount()) return;
    setCurrentIndex(model_.index(row, 0));
    QTableView::selectRow(row);
}

bool HotkeyListView::selectionIsCurrentRow() const {
    const QModelIndexList selected = selectionModel()->selectedRows();
    return selected.size() == 1 && selected.front().row() == currentRow();
}

void HotkeyListView::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    emit mousePressedAt(event->position().toPoint().x());
}

} // namespace orvanta::ui
