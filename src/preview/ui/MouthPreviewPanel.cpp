#include "preview/ui/MouthPreviewPanel.h"

#include <QAction>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "preview/ui/MouthTile.h"
#include "window/Guarded.h"

namespace zv {

MouthPreviewPanel::MouthPreviewPanel(ForCharacter pick, ForCharacter useOwn, QWidget* parent)
    : QDockWidget(QStringLiteral("Mouth Preview"), parent), pick_(std::move(pick)), useOwn_(std::move(useOwn)) {
    setObjectName(QStringLiteral("MouthPreview"));
    setAccessibleName(QStringLiteral("Mouth Preview"));
    auto* content = new QWidget(this);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(4, 4, 4, 4);
    row_ = new QHBoxLayout();
    column->addLayout(row_, 1);
    missing_ = new QLabel(content);
    missing_->setObjectName(QStringLiteral("MouthPreviewMissing"));
    missing_->setWordWrap(true);
    missing_->hide();
    column->addWidget(missing_);
    setWidget(content);
}

void MouthPreviewPanel::Show(const std::vector<Tile>& tiles, const std::string& description) {
    while (tiles_.size() > tiles.size()) {
        delete tiles_.back();
        tiles_.pop_back();
        ids_.pop_back();
    }
    while (tiles_.size() < tiles.size()) {
        auto* tile = new MouthTile(widget());
        const std::size_t index = tiles_.size();
        connect(&tile->DrawingsButton(), &QPushButton::clicked, this, [this, index] {
            Guarded([&] {
                if (index < ids_.size() && pick_) pick_(ids_[index]);
            });
        });
        auto* own = new QAction(QStringLiteral("Use Zorvane's Own Drawings"), tile);
        connect(own, &QAction::triggered, this, [this, index] {
            Guarded([&] {
                if (index < ids_.size() && useOwn_) useOwn_(ids_[index]);
            });
        });
        tile->addAction(own);
        tile->setContextMenuPolicy(Qt::ActionsContextMenu);
        tile->DrawingsButton().setEnabled(picking_);
        own->setEnabled(picking_);
        row_->addWidget(tile, 1);
        tiles_.push_back(tile);
        ids_.push_back(0);
    }
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        ids_[i] = tiles[i].characterId;
        tiles_[i]->Show(tiles[i].name, tiles[i].colour, tiles[i].shape, tiles[i].drawings);
    }
    const QString text = QString::fromStdString(description);
    if (text != accessibleDescription()) {
        setAccessibleDescription(text);
        widget()->setAccessibleDescription(text);
    }
}

void MouthPreviewPanel::ShowMissing(const std::string& text) {
    missing_->setText(QString::fromStdString(text));
    missing_->setVisible(!text.empty());
}

void MouthPreviewPanel::closeEvent(QCloseEvent* event) {
    QDockWidget::closeEvent(event);
    if (event->isAccepted()) emit ClosedByUser();
}

void MouthPreviewPanel::EnablePicking(bool on) {
    picking_ = on;
    for (MouthTile* tile : tiles_) {
        tile->DrawingsButton().setEnabled(on);
        for (QAction* a : tile->actions()) a->setEnabled(on);
    }
}

} // namespace zv
