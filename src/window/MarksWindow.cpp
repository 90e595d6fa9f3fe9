#include "window/MarksWindow.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>
#include <QVBoxLayout>

#include "window/MarkTableModel.h"

namespace zv {

MarksWindow::MarksWindow(MarkTableModel& model, QWidget* parent) : QDialog(parent, Qt::Tool), model_(model) {
    setObjectName(QStringLiteral("MarksWindow"));
    setWindowTitle(QStringLiteral("Marks"));
    setModal(false);

    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("MarksTable"));
    table_->setAccessibleName(QStringLiteral("Marks"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A double click goes to the mark; the text is edited by typing, F2 or
    // a click on the selected text.
    table_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed |
                            QAbstractItemView::SelectedClicked);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Fixed row heights and column widths: no pass over every row to size
    // them, so ten thousand marks show as fast as ten.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(true);
    const int digit = table_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    table_->setColumnWidth(MarkTableModel::FrameColumn, digit * 8);
    table_->setColumnWidth(MarkTableModel::TimeColumn, digit * 10);
    table_->setColumnWidth(MarkTableModel::LengthColumn, header->fontMetrics().horizontalAdvance(
                                                              QStringLiteral("Length (frames)")) + digit * 2);
    table_->installEventFilter(this);

    // Typing edits the text whichever cell of the row is current.
    connect(table_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && current.column() != MarkTableModel::TextColumn)
                    table_->selectionModel()->setCurrentIndex(model_.index(current.row(), MarkTableModel::TextColumn),
                                                              QItemSelectionModel::NoUpdate);
            });
    connect(table_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) emit MarkActivated(static_cast<std::size_t>(index.row()));
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(table_);
    resize(digit * 60, 320);
}

void MarksWindow::ShowRow(int row) {
    if (row < 0 || row >= model_.rowCount()) return;
    const QModelIndex index = model_.index(row, MarkTableModel::TextColumn);
    table_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    table_->scrollTo(index);
}

bool MarksWindow::eventFilter(QObject* watched, QEvent* event) {
    // Delete and Backspace remove the selected marks (an open editor takes
    // its own keys before they get here).
    if (watched == table_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            std::vector<std::size_t> rows;
            for (const QModelIndex& index : table_->selectionModel()->selectedRows())
                rows.push_back(static_cast<std::size_t>(index.row()));
            if (!rows.empty()) emit DeleteRequested(rows);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zv
