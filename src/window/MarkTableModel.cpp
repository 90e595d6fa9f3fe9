#include "window/MarkTableModel.h"

#include "document/SoundDocument.h"
#include "marks/MarkKeeper.h"
#include "window/TrackUndo.h"

namespace zv {

MarkTableModel::MarkTableModel(MarkKeeper& keeper, QObject* parent) : QAbstractTableModel(parent), keeper_(keeper) {}

void MarkTableModel::Reload() {
    // A reset inside setData would pull the table from under its editor.
    if (editing_) {
        QMetaObject::invokeMethod(this, [this] { Reload(); }, Qt::QueuedConnection);
        return;
    }
    beginResetModel();
    endResetModel();
}

void MarkTableModel::SetRate(MarkRate rate) {
    if (rate == rate_) return;
    rate_ = rate;
    if (rowCount() > 0) emit dataChanged(index(0, FrameColumn), index(rowCount() - 1, LengthColumn));
}

QString MarkTableModel::TimeText(int64_t ms) {
    return QStringLiteral("%1:%2.%3")
        .arg(ms / 60000)
        .arg((ms / 1000) % 60, 2, 10, QLatin1Char('0'))
        .arg(ms % 1000, 3, 10, QLatin1Char('0'));
}

int MarkTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(keeper_.Marks().size());
}

int MarkTableModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

QVariant MarkTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() < 0 || static_cast<std::size_t>(index.row()) >= keeper_.Marks().size())
        return {};
    const TrackItem& m = keeper_.Marks()[static_cast<std::size_t>(index.row())];
    const int32_t sampleRate = keeper_.SampleRate();
    if (role == Qt::TextAlignmentRole)
        return index.column() == TextColumn ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                                            : QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
    switch (index.column()) {
    case FrameColumn: return QVariant::fromValue<qlonglong>(MarkFrame(m.start, rate_, sampleRate));
    case TimeColumn: return TimeText(MarkMs(m.start, sampleRate));
    case LengthColumn:
        return m.IsPoint() ? QVariant(QString())
                           : QVariant::fromValue<qlonglong>(MarkFrame(m.end, rate_, sampleRate) -
                                                            MarkFrame(m.start, rate_, sampleRate));
    case TextColumn: return QString::fromStdString(m.text);
    default: return {};
    }
}

QVariant MarkTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case FrameColumn: return QStringLiteral("Frame");
    case TimeColumn: return QStringLiteral("Time");
    case LengthColumn: return QStringLiteral("Length (frames)");
    case TextColumn: return QStringLiteral("Text");
    default: return {};
    }
}

Qt::ItemFlags MarkTableModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == TextColumn) f |= Qt::ItemIsEditable;
    return f;
}

bool MarkTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != TextColumn) return false;
    const auto row = static_cast<std::size_t>(index.row());
    if (row >= keeper_.Marks().size()) return false;
    const uint64_t before = keeper_.Marks().Revision();
    Report saved;
    editing_ = true;
    if (undo_) {
        // The step's save reports a failure itself (TrackUndo's report).
        std::vector<TrackItem> marks = keeper_.Marks().Items();
        marks[row].text = value.toString().toStdString();
        undo_->Change(SoundDocument::kMarks, std::move(marks), QStringLiteral("Edit Mark Text"));
    } else {
        saved = keeper_.SetText(row, value.toString().toStdString());
    }
    editing_ = false;
    emit dataChanged(index, index);
    // The save merged in what another window wrote (more than this one
    // change): the table is read again once the edit is done.
    if (keeper_.Marks().Revision() > before + 1)
        QMetaObject::invokeMethod(this, [this] { Reload(); }, Qt::QueuedConnection);
    emit TextEdited(QString::fromStdString(saved.Message()));
    return true;
}

} // namespace zv
