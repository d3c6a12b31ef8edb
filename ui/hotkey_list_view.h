#pragma once

#include "hotkeys/hotkey_tasks.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <vector>

namespace orvanta::ui {

// The rows of the hotkey list, column for column.
class HotkeyListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    using QAbstractTableModel::QAbstractTableModel;

    // Replaces every row. Check boxes are drawn only while there are hotkey tasks at all. A row's hint,
    // where it has one, is the tooltip of its text (why its combination was not registered).
    void SetRows(const std::vector<hotkeys::HotkeyListRow>& rows, bool withCheckBoxes,
                 const std::vector<std::string>& hints = {});
    // Changes one cell in place (a check-box click does, until the delayed reload).
    void SetCell(int row, std::size_t column, const std::string& value);

    const std::vector<hotkeys::HotkeyListRow>& rows() const { return rows_; }
    bool withCheckBoxes() const { return withCheckBoxes_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<hotkeys::HotkeyListRow> rows_;
    std::vector<std::string> hints_;
    bool withCheckBoxes_ = false;
};

// Draws a row's text and, over it, the flat check box, ticked when the task is enabled.
class HotkeyListDelegate : public QStyledItemDelegate {
    Q_OBJECT

  public:
    HotkeyListDelegate(const HotkeyListModel& model, QObject* parent);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

  private:
    const HotkeyListModel& model_;
};

// hotkeylist: whole rows selected, only the text column visible; the other columns carry what the
// commands read.
class HotkeyListView : public QTableView {
    Q_OBJECT

  public:
    explicit HotkeyListView(QWidget* parent);

    HotkeyListModel& model() { return model_; }
    const HotkeyListModel& model() const { return model_; }

    // The current row; a list with rows always has one, the first by default.
    int currentRow() const;
    void selectRow(int row);
    // True when the selection is exactly the current row.
    bool selectionIsCurrentRow() const;

  signals:
    // After a mouse press has made the row under it current; x in the cells' coordinates.
    void mousePressedAt(int x);

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    HotkeyListModel model_;
};

} // namespace orvanta::ui
