#pragma once
// The marks list: a tool window beside the main window with the marks of
// the open sound as a table (MarkTableModel). The text is edited in place
// (type, F2, or click a selected text); Delete removes the selected marks;
// a double click on a row asks to go to that mark and hear its frame.
#include <QDialog>
#include <cstddef>
#include <vector>

class QTableView;

namespace zv {

class MarkTableModel;

class MarksWindow : public QDialog {
    Q_OBJECT
public:
    MarksWindow(MarkTableModel& model, QWidget* parent);

    QTableView* Table() const { return table_; }
    // Selects the mark at `row` and scrolls it into view.
    void ShowRow(int row);

signals:
    void DeleteRequested(std::vector<std::size_t> rows);
    void MarkActivated(std::size_t row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MarkTableModel& model_;
    QTableView* table_ = nullptr;
};

} // namespace zv
