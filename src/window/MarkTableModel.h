#pragma once
// The marks of the open sound as a table for the marks list: frame, time,
// length in frames and text, one row per mark in time order. Frames are at
// the rate in force (SetRate): the frame that holds the mark's first sample
// (MarkFrame), as the grid and the exports count. Only the text can be
// edited; an edit is kept (and saved) at once, as an undoable step.
#include <QAbstractTableModel>

#include "marks/MarkFrames.h"

namespace zv {

class MarkKeeper;
class TrackUndo;

class MarkTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { FrameColumn, TimeColumn, LengthColumn, TextColumn, ColumnCount };

    explicit MarkTableModel(MarkKeeper& keeper, QObject* parent = nullptr);

    // Text edits from now on are steps of `undo` (nothing: kept directly).
    void SetUndo(TrackUndo* undo) { undo_ = undo; }
    // The marks changed in some other way: the table is read again (after
    // the edit, when one is being taken in).
    void Reload();
    // The frame rate in force; the frame columns follow it.
    void SetRate(MarkRate rate);
    MarkRate Rate() const { return rate_; }

    // "m:ss.mmm" (minutes not folded into hours).
    static QString TimeText(int64_t ms);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    // A text was edited in the table.
    void TextEdited(const QString& failure);   // failure: why it was not saved, or empty

private:
    MarkKeeper& keeper_;
    MarkRate rate_ = 0;
    TrackUndo* undo_ = nullptr;
    bool editing_ = false;   // inside setData
};

} // namespace zv
