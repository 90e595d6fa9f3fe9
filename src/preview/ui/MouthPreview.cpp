#include "preview/ui/MouthPreview.h"

#include <QAction>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QSettings>
#include <QTimer>
#include <algorithm>

#include "common/MessageBox.h"
#include "dialogue/CharacterList.h"
#include "document/SoundDocument.h"
#include "playback/ui/MediaControl.h"
#include "preview/MouthDrawingFiles.h"
#include "preview/ui/MouthDrawings.h"
#include "preview/ui/MouthPreviewPanel.h"
#include "session/Session.h"
#include "window/Guarded.h"
#include "window/TrackUndo.h"

namespace zv {

MouthPreview::MouthPreview(Parts parts, QObject* parent) : QObject(parent), parts_(std::move(parts)) {
    panel_ = new MouthPreviewPanel([this](int id) { ChooseDrawings(id); }, [this](int id) { UseOwnDrawings(id); },
                                   &parts_.window);
    parts_.window.addDockWidget(Qt::RightDockWidgetArea, panel_);
    // Shown at start-up when it was showing when the user last left it.
    const QSettings settings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane"));
    panel_->setVisible(settings.value(QStringLiteral("view/mouthPreview"), false).toBool());
    // Only the user's own showing or hiding is remembered, not the window's closing.
    const auto remember = [](bool on) {
        QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane")).setValue(QStringLiteral("view/mouthPreview"), on);
    };
    connect(panel_->toggleViewAction(), &QAction::triggered, this, remember);
    connect(panel_, &MouthPreviewPanel::ClosedByUser, this, [remember] { remember(false); });
    // The position and the ticks are followed only while the panel shows:
    // a hidden panel costs playing nothing.
    connect(panel_, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        Guarded([&] {
            Follow(shown);
            if (shown) Refresh();
        });
    });
    Follow(!panel_->isHidden());
    chooser_ = [this](const QString& title, const std::string& start) -> std::optional<std::string> {
        const QString folder = QFileDialog::getExistingDirectory(&parts_.window, title, QString::fromStdString(start));
        if (folder.isEmpty()) return std::nullopt;
        return folder.toStdString();
    };
}

MouthPreview::~MouthPreview() {
    Follow(false);
    delete panel_;
}

void MouthPreview::Follow(bool on) {
    if (on && !subscription_) {
        subscription_ = parts_.session.Subscribe([this](Session::Change change) {
            if (change == Session::Change::Position || change == Session::Change::Rate ||
                change == Session::Change::Sound)
                Refresh();
        });
        ticks_ = connect(&parts_.media, &MediaControl::StatusUpdate, this, [this] { Guarded([this] { Refresh(); }); });
    } else if (!on && subscription_) {
        parts_.session.Unsubscribe(subscription_);
        subscription_ = 0;
        disconnect(ticks_);
    }
}

void MouthPreview::FillViewMenu(QMenu& view) {
    QAction* toggle = panel_->toggleViewAction();
    toggle->setText(QStringLiteral("Mouth Preview"));
    toggle->setObjectName(QStringLiteral("MnuMouthPreview"));
    view.addSeparator();
    view.addAction(toggle);
}

const MouthSet& MouthPreview::SetNamed(const std::string& name) const { return parts_.setNamed(name); }

const MouthDrawings& MouthPreview::DrawingsOf(const HeardMouth& mouth) {
    Loaded& loaded = drawings_[mouth.character.id];
    if (loaded.drawings && loaded.folder == mouth.character.drawings && loaded.setName == mouth.setName)
        return *loaded.drawings;
    loaded.folder = mouth.character.drawings;
    loaded.setName = mouth.setName;
    loaded.drawings = std::make_unique<MouthDrawings>(MouthDrawings::Load(loaded.folder, SetNamed(mouth.character.mouthSet)));
    drawingsChanged_ = true;
    const std::string& error = loaded.drawings->Error();
    if (!error.empty() && told_.insert(error).second) {
        // Told after the refresh: a modal box must not open inside the
        // timer's tick that is painting the panel.
        QTimer::singleShot(0, this, [this, error] { Guarded([&] { parts_.messages.Show(error); }); });
    }
    return *loaded.drawings;
}

void MouthPreview::Refresh() {
    if (refreshing_ || panel_->isHidden()) return;
    refreshing_ = true;
    try {
        std::vector<HeardMouth> heard = ShapeHeard::Everyone(parts_.document, parts_.session.Rate(),
                                                             parts_.session.Position(),
                                                             [this](const std::string& name) -> const MouthSet& {
                                                                 return SetNamed(name);
                                                             });
        std::vector<MouthPreviewPanel::Tile> tiles;
        tiles.reserve(heard.size());
        for (const HeardMouth& m : heard)
            tiles.push_back({m.character.id, ShapeHeard::ShownName(m.character), m.character.colour, m.shape, &DrawingsOf(m)});
        const bool charactersChanged =
            heard.size() != shown_.size() ||
            !std::equal(heard.begin(), heard.end(), shown_.begin(),
                        [](const HeardMouth& a, const HeardMouth& b) { return a.character == b.character; });
        if (drawingsChanged_ || charactersChanged) {
            // The characters gone take their drawings with them.
            for (auto it = drawings_.begin(); it != drawings_.end();) {
                const bool kept = std::any_of(heard.begin(), heard.end(),
                                              [&](const HeardMouth& m) { return m.character.id == it->first; });
                it = kept ? std::next(it) : drawings_.erase(it);
            }
            std::vector<std::pair<std::string, std::vector<std::string>>> missing;
            for (const HeardMouth& m : heard)
                missing.emplace_back(ShapeHeard::ShownName(m.character), drawings_[m.character.id].drawings->Missing());
            panel_->ShowMissing(MouthDrawingFiles::MissingText(missing));
        }
        if (heard != shown_ || drawingsChanged_) {
            panel_->Show(tiles, ShapeHeard::Description(heard));
            shown_ = std::move(heard);
        }
        drawingsChanged_ = false;
        panel_->EnablePicking(parts_.document.HasSound());
    } catch (...) {
        refreshing_ = false;
        throw;
    }
    refreshing_ = false;
}

void MouthPreview::SetFolder(int characterId, const std::string& folder) {
    CharacterList list = CharacterList::Of(parts_.document);
    Character* character = list.Find(characterId);
    if (!character || character->drawings == folder) return;
    character->drawings = folder;
    told_.clear();   // a folder chosen again is read and told about afresh
    const QString name = QString::fromStdString(ShapeHeard::ShownName(*character));
    parts_.undo.Change(CharacterList::kTrack, list.Items(), QStringLiteral("Drawings of ") + name);
    Refresh();
}

void MouthPreview::ChooseDrawings(int characterId) {
    if (!parts_.document.HasSound() || !chooser_) return;
    const CharacterList list = CharacterList::Of(parts_.document);
    const Character* character = list.Find(characterId);
    if (!character) return;
    const std::optional<std::string> folder =
        chooser_(QStringLiteral("Drawings of ") + QString::fromStdString(ShapeHeard::ShownName(*character)),
                 character->drawings);
    if (folder) SetFolder(characterId, *folder);
}

void MouthPreview::UseOwnDrawings(int characterId) {
    if (parts_.document.HasSound()) SetFolder(characterId, {});
}

} // namespace zv
