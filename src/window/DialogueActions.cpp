#include "window/DialogueActions.h"

#include "analysis/DialogueBreakdown.h"
#include "dialogue/Breakdown.h"

#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTextBlock>
#include <QTextCursor>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "common/FrameTime.h"
#include "common/MessageBox.h"
#include "dialogue/BreakdownEdit.h"
#include "dialogue/BreakdownImport.h"
#include "dialogue/CharacterList.h"
#include "dialogue/DialogueAligner.h"
#include "dialogue/DialogueScript.h"
#include "dialogue/MouthTrack.h"
#include "dialogue/UserSpeechModel.h"
#include "document/SoundDocument.h"
#include "marks/MarkKeeper.h"
#include "marks/TextFile.h"
#include "sound/SoundData.h"
#include "session/Session.h"
#include "window/DialoguePanel.h"
#include "window/FileDialog.h"
#include "window/JobRunner.h"
#include "window/Platform.h"
#include "window/TrackUndo.h"

namespace zv {

namespace {

constexpr const char* kEmptyText =
    "Type the dialogue in the Dialogue Breakdown panel first: the text is empty, so nothing was aligned.";

BreakdownTracks TracksOf(const SoundDocument& document) {
    BreakdownTracks tracks;
    if (const Track* w = document.Find(SoundDocument::kWords)) tracks.words = w->Items();
    if (const Track* p = document.Find(SoundDocument::kPhonemes)) tracks.phonemes = p->Items();
    return tracks;
}

// Runs a handler of the panel or the menu: what it raises is told, never
// let out into the event loop.
template <typename F>
auto Guard(MessageBox& messages, F handler) {
    return [&messages, handler] {
        try {
            handler();
        } catch (const std::exception& e) {
            messages.Show(std::string("The dialogue breakdown failed: ") + e.what());
        } catch (...) {
            messages.Show("The dialogue breakdown failed.");
        }
    };
}

} // namespace

DialogueActions::DialogueActions(Platform& platform, SoundDocument& document, const SoundData& sound,
                                 TrackUndo& undo, const Session& session, QMainWindow* window, QObject* parent)
    : QObject(parent), platform_(platform), document_(document), sound_(sound), undo_(undo), session_(session),
      window_(window), jobs_(new JobRunner(window)) {
    panel_ = new DialoguePanel;
    dock_ = new QDockWidget(QStringLiteral("Dialogue Breakdown"), window_);
    dock_->setObjectName(QStringLiteral("DialogueDock"));
    dock_->setWidget(panel_);
    dock_->setAllowedAreas(Qt::BottomDockWidgetArea | Qt::TopDockWidgetArea);
    window_->addDockWidget(Qt::BottomDockWidgetArea, dock_);
    dock_->hide();
    ReadSets();
    // The way the language is aligned is told when the panel first shows.
    MessageBox& messages = platform_.messages;
    connect(panel_->align, &QPushButton::clicked, this, Guard(messages, [this] { AlignNow(); }));
    connect(panel_->alignSelected, &QPushButton::clicked, this, Guard(messages, [this] { AlignSelectedNow(); }));
    connect(panel_->alignLine, &QPushButton::clicked, this, Guard(messages, [this] { AlignLineNow(); }));
    connect(panel_, &DialoguePanel::LanguageChanged, this, Guard(messages, [this] { LanguageChanged(); }));
    connect(panel_, &DialoguePanel::MouthsChanged, this, Guard(messages, [this] { MouthsChanged(); }));
}

DialogueActions::~DialogueActions() {
    // Joins a running alignment before the sound it reads can go.
    delete jobs_;
    panel_->Remember();
}

void DialogueActions::FillMenu(QMenu& menu) {
    breakdown = menu.addAction(QStringLiteral("Dialogue Breakdown..."));
    breakdown->setObjectName(QStringLiteral("MnuDialogueBreakdown"));
    connect(breakdown, &QAction::triggered, this, Guard(platform_.messages, [this] { ShowPanel(); }));
    alignLine = menu.addAction(QStringLiteral("Align Line"));
    alignLine->setObjectName(QStringLiteral("MnuAlignLine"));
    alignLine->setToolTip(QStringLiteral("Aligns the Dialogue panel's line under the text cursor alone in the selection"));
    alignLine->setEnabled(false);
    connect(alignLine, &QAction::triggered, this, Guard(platform_.messages, [this] { AlignLineNow(); }));
}

void DialogueActions::Enable(bool soundOpen) {
    soundOpen_ = soundOpen;
    const bool on = soundOpen && !Running();
    panel_->align->setEnabled(on);
    panel_->alignLine->setEnabled(on);
    if (alignLine) alignLine->setEnabled(on);
    const Track* words = document_.Find(SoundDocument::kWords);
    panel_->alignSelected->setEnabled(on && words && !words->empty());
}

void DialogueActions::ShowPanel() {
    // Docked for the first time: the window grows by the panel, so the
    // waveform keeps its room (as far as the screen allows).
    QMainWindow& window = *window_;
    if (dock_->isHidden() && !dock_->isFloating() && !(window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))) {
        const int grow = dock_->sizeHint().height();
        const QScreen* screen = window.screen();
        const int room = screen ? screen->availableGeometry().bottom() - window.frameGeometry().bottom() : grow;
        window.resize(window.width(), window.height() + std::clamp(room, 0, grow));
    }
    dock_->show();
    dock_->raise();
    panel_->text->setFocus();
}

bool DialogueActions::Running() const { return job_ != 0 && jobs_->Running(job_); }

void DialogueActions::Cancel() {
    if (Running()) jobs_->Cancel(job_);
}

void DialogueActions::ReadSets() {
    sets_ = {MouthSet::PrestonBlair(), MouthSet::NineShapes()};
    std::vector<std::string> errors;
    const std::string folder = MouthSet::UserFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    std::error_code ec;
    if (!folder.empty() && std::filesystem::is_directory(folder, ec))
        for (MouthSet& set : MouthSet::ReadFolder(folder, errors)) sets_.push_back(std::move(set));
    const QString chosen = QSettings(QStringLiteral("Zorvane"), QStringLiteral("Zorvane"))
                               .value(QStringLiteral("dialogue/mouths"))
                               .toString();
    const QSignalBlocker quiet(panel_->mouthSet);
    panel_->mouthSet->clear();
    for (const MouthSet& set : sets_) panel_->mouthSet->addItem(QString::fromStdString(set.Name()));
    const int i = panel_->mouthSet->findText(chosen);
    panel_->mouthSet->setCurrentIndex(std::max(i, 0));
    // A damaged set of the user's is named in the panel, not in a box at start-up.
    if (!errors.empty()) panel_->status->setText(QString::fromStdString(MouthSet::FolderErrorsText(errors)));
}

const MouthSet& DialogueActions::CurrentSet() const {
    const int i = panel_->mouthSet->currentIndex();
    return sets_[static_cast<std::size_t>(std::clamp<int>(i, 0, static_cast<int>(sets_.size()) - 1))];
}

const MouthSet& DialogueActions::SetNamed(const std::string& name) const {
    if (!name.empty())
        for (const MouthSet& set : sets_)
            if (set.Name() == name) return set;
    return CurrentSet();
}

const MouthSet& DialogueActions::SetOf(int character) const {
    const CharacterList list = CharacterList::Of(document_);
    const Character* c = list.Find(character);
    return SetNamed(c ? c->mouthSet : std::string());
}

void DialogueActions::LanguageChanged() {
    const std::string models = UserSpeechModel::ModelsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    panel_->way->setText(QString::fromStdString(DialogueWayText(DialogueLanguageWay(panel_->Language(), models))));
}

std::vector<TrackItem> DialogueActions::MouthsFor(const std::vector<TrackItem>& phonemes, const std::string& set) const {
    const SoundInfo& info = document_.Info();
    return MouthShapes(phonemes, SetNamed(set), panel_->Rules(), session_.Rate(), info.sampleRate, info.frames);
}

void DialogueActions::MouthsChanged() {
    if (!document_.HasSound()) return;
    // Every character's mouths, each with its own set, in one step.
    std::vector<TrackUndo::TrackItems> tracks;
    const CharacterList list = CharacterList::Of(document_);
    for (const Character& c : list.All()) {
        const Track* phonemes = document_.Find(CharacterList::PhonemesTrack(c.id));
        if (!phonemes || phonemes->empty()) continue;
        tracks.emplace_back(CharacterList::MouthsTrack(c.id), MouthsFor(phonemes->Items(), c.mouthSet));
    }
    if (!tracks.empty()) undo_.Change(std::move(tracks), QStringLiteral("Mouth Shapes"));
}

std::optional<std::pair<int64_t, int64_t>> DialogueActions::Selected() const {
    return SelectedSamples(session_.SelectionStartMs(), session_.SelectionEndMs(), sound_.WavFormat.nSamplesPerSec,
                           sound_.NumSamples);
}

void DialogueActions::AlignNow() {
    if (Running() || !document_.HasSound() || sound_.NumSamples <= 0) return;
    const std::string text = panel_->text->toPlainText().toStdString();
    if (text.find_first_not_of(" \t\r\n") == std::string::npos) {
        platform_.messages.Show(kEmptyText);
        return;
    }
    const auto [from, to] = Selected().value_or(std::pair<int64_t, int64_t>{0, sound_.NumSamples});
    Run(text, from, to, std::nullopt);
}

void DialogueActions::AlignSelectedNow() {
    if (Running() || !document_.HasSound()) return;
    const BreakdownTracks tracks = TracksOf(document_);
    const auto selected = Selected();
    // The words whose middle lies in the selection.
    std::size_t first = tracks.words.size(), last = 0;
    for (std::size_t i = 0; selected && i < tracks.words.size(); ++i) {
        const int64_t middle = (tracks.words[i].start + tracks.words[i].end) / 2;
        if (middle >= selected->first && middle < selected->second) {
            first = std::min(first, i);
            last = i + 1;
        }
    }
    if (first >= last) {
        platform_.messages.Show(
            "Select the words to align again on the timeline first: no word lies inside the selection.");
        return;
    }
    std::string text;
    for (std::size_t i = first; i < last; ++i) text += (i > first ? " " : "") + tracks.words[i].text;
    // From the word kept before to the word kept after, taking in the selection.
    const int64_t floor = first > 0 ? tracks.words[first - 1].end : 0;
    const int64_t ceiling = last < tracks.words.size() ? tracks.words[last].start : sound_.NumSamples;
    const int64_t from = std::max(floor, std::min(selected->first, tracks.words[first].start));
    const int64_t to = std::min(ceiling, std::max(selected->second, tracks.words[last - 1].end));
    Run(text, from, std::max(to, from + 1), std::pair{first, last});
}

void DialogueActions::AlignLineNow() {
    if (Running() || !document_.HasSound() || sound_.NumSamples <= 0) return;
    // The whole sound is what is selected when nothing was chosen (as after opening).
    const auto selected = Selected();
    if (!selected || (selected->first <= 0 && selected->second >= sound_.NumSamples)) {
        platform_.messages.Show("Select where the line is said on the timeline first: Align Line places the line "
                                "under the text cursor inside the selection. Nothing was aligned.");
        return;
    }
    const int number = panel_->text->textCursor().blockNumber() + 1;
    const ScriptLineAt at = DialogueScript::LineAt(panel_->text->toPlainText().toStdString(), number,
                                                   IsEnglishLanguage(panel_->Language()));
    if (at.outcome == ScriptLineAt::Outcome::NameMissing) {
        platform_.messages.Show("Line " + std::to_string(number) +
                                " has a colon with no name before it: type the speaker's name, or take the colon "
                                "away. Nothing was aligned.");
        return;
    }
    if (at.outcome != ScriptLineAt::Outcome::Line) {
        platform_.messages.Show("Line " + std::to_string(number) +
                                " of the dialogue has no words to align: put the text cursor on the line to align. "
                                "Nothing was aligned.");
        return;
    }
    const std::string text = at.line.speaker.empty() ? at.line.text : at.line.speaker + ": " + at.line.text;
    Run(text, selected->first, selected->second, std::nullopt, true);
}

void DialogueActions::Run(const std::string& text, int64_t from, int64_t to,
                          std::optional<std::pair<std::size_t, std::size_t>> replace, bool alone) {
    const SoundData& sound = sound_;
    DialogueRequest request;
    request.sampleRate = sound.WavFormat.nSamplesPerSec;
    request.firstSample = from;
    request.soundFrames = sound.NumSamples;
    request.text = text;
    request.language = panel_->Language();
    request.modelsFolder = UserSpeechModel::ModelsFolder(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
    if (DialogueLanguageWay(request.language, request.modelsFolder) == DialogueWay::Unknown) {
        platform_.messages.Show("espeak-ng does not know the language \"" + request.language +
                                      "\": choose one from the list.");
        return;
    }
    panel_->Remember();
    // The sound is read on the worker: the window refuses another open
    // while this runs, and the runner joins the worker before it goes.
    auto analysis = std::make_unique<DialogueBreakdown>(
        sound, from, to, request, replace,
        [this](const std::vector<TrackItem>& phonemes, const std::string& set) { return MouthsFor(phonemes, set); });
    if (alone) analysis->PlaceAloneInRange();
    panel_->status->setText(QStringLiteral("Aligning..."));
    job_ = jobs_->StartAnalysis<DialogueBreakdown>(
        std::move(analysis), [this](DialogueBreakdown& done) { Finished(done); },
        [this](JobOutcome outcome, const std::string& reason) {
            job_ = 0;
            Enable(document_.HasSound());
            // Cancelled: the breakdown there stays.
            panel_->status->setText(outcome == JobOutcome::Failed ? QString::fromStdString(reason)
                                                                  : QStringLiteral("Cancelled: nothing changed."));
            if (outcome == JobOutcome::Failed)
                platform_.messages.Show("Couldn't align the dialogue: " + reason);
        });
    Enable(soundOpen_);
}

void DialogueActions::Finished(DialogueBreakdown& done) {
    job_ = 0;
    const DialogueResult& result = done.Result();
    const TrackEdit edit = done.Edit(document_);
    undo_.Change(edit.tracks, QString::fromStdString(edit.step));
    Enable(document_.HasSound());
    const std::size_t count = result.breakdown.WordItems().size();   // the words aligned now
    if (result.outcome == DialogueResult::Outcome::NoSpeech) {
        panel_->status->setText(QStringLiteral("No speech found: %1 words spread evenly.").arg(count));
        platform_.messages.Show("No speech was found in the sound" +
                                      std::string(done.Replacing() || Selected() ? " selected" : "") +
                                      ". The words are spread evenly over it: drag them into place on the Words lane.");
        return;
    }
    // The way each line took, and a note (a user's model that did not load).
    panel_->status->setText(QStringLiteral("%1 words aligned (%2).%3")
                                .arg(count)
                                .arg(QString::fromStdString(DialogueWaysText(result)))
                                .arg(result.message.empty() ? QString() : QStringLiteral(" ") + QString::fromStdString(result.message)));
}

std::optional<std::vector<ExportFile>> DialogueActions::ExportFiles(const ExportWriter& writer, ExportInput input) const {
    const SoundInfo& info = document_.Info();
    const BreakdownTracks tracks = TracksOf(document_);
    // Named characters: each one's breakdown, the shapes laid again at the rate in force.
    const CharacterList list = CharacterList::Of(document_);
    std::vector<Breakdown> breakdowns;
    std::vector<std::vector<TrackItem>> shapes;
    std::vector<CharacterExport> characters;
    if (!list.IsSingleUnnamed()) {
        breakdowns.reserve(list.size());
        shapes.reserve(list.size());
        for (const Character& c : list.All()) {
            const Track* words = document_.Find(CharacterList::WordsTrack(c.id));
            const Track* phonemes = document_.Find(CharacterList::PhonemesTrack(c.id));
            const std::vector<TrackItem> none;
            breakdowns.push_back(Breakdown::FromTracks(words ? words->Items() : none, phonemes ? phonemes->Items() : none,
                                                       info.sampleRate, info.frames));
            shapes.push_back(MouthsFor(phonemes ? phonemes->Items() : none, c.mouthSet));
            characters.push_back({c.name, &breakdowns.back(), &shapes.back(), &SetNamed(c.mouthSet)});
        }
        input.characters = &characters;
    }
    const bool anyWords = !tracks.words.empty() || std::any_of(breakdowns.begin(), breakdowns.end(), [](const Breakdown& b) {
                              return !b.lines.empty();
                          });
    if (!anyWords) {
        platform_.messages.Show(
            "There is no dialogue breakdown to export. Make one with Analyze > Dialogue Breakdown... first.");
        return std::nullopt;
    }
    const Breakdown breakdown = Breakdown::FromTracks(tracks.words, tracks.phonemes, info.sampleRate, info.frames);
    // Laid again at the rate in force: the track may have been laid at another.
    const MouthSet& set = SetOf(1);   // the plain tracks' speaker's
    const std::vector<TrackItem> mouths = MouthsFor(tracks.phonemes, set.Name());
    input.breakdown = characters.empty() ? &breakdown : characters.front().breakdown;
    input.mouths = characters.empty() ? &mouths : characters.front().mouths;
    input.mouthSet = characters.empty() ? &set : characters.front().mouthSet;
    input.rate = session_.Rate();   // the rate the mouths were laid at
    return writer.WriteFiles(input);
}

void DialogueActions::ImportNow() {
    if (!document_.HasSound()) return;
    const std::optional<std::string> path = platform_.fileDialog.ShowOpen(kImportFilter, 1);
    if (!path) return;
    const TextFileRead read = ReadTextFile(*path, MarkKeeper::kMaxFileBytes);
    if (!read.exists || read.error) {
        platform_.messages.Show("The breakdown can't be read from " + *path + ": " +
                                      (read.error ? *read.error : std::string("there is no such file")) + ".");
        return;
    }
    const SoundInfo& info = document_.Info();
    const std::string extension = std::filesystem::path(*path).extension().string();
    std::string error;
    std::optional<ImportedBreakdown> imported;
    if (extension == ".dat") {
        if (auto mouths = ImportMohoSwitch(read.text, session_.Rate(), info.sampleRate, info.frames, error)) {
            undo_.Change(SoundDocument::kMouths, std::move(*mouths), QStringLiteral("Import Breakdown"));
            return;
        }
    } else if (extension == ".json") {
        imported = ImportBreakdownJson(read.text, info.sampleRate, info.frames, error);
    } else {
        imported = ImportPapagayo(read.text, info.sampleRate, info.frames, session_.Rate(), error);
    }
    if (!imported) {
        platform_.messages.Show("The breakdown can't be read from " + *path + ": " + error +
                                      ". Nothing was changed.");
        return;
    }
    // A .pgo names mouth shapes, not the set they come from: each voice's
    // are read with the set its character lays mouths with (its own, else
    // the panel's), or, when they don't fit that one, with the set offered
    // that has them all, which the character then keeps.
    CharacterList characters = CharacterList::Of(document_);
    const bool shapesOnly = extension != ".json";
    std::map<std::string, const MouthSet*> voiceSets;
    const auto setOfVoice = [&](const std::string& name, const Breakdown& breakdown) {
        const Character* c = name.empty() ? characters.Find(1) : characters.FindByName(CharacterList::Trimmed(name));
        const MouthSet& own = SetNamed(c ? c->mouthSet : std::string());
        voiceSets[name] = &SetFittingShapes(breakdown.PhonemeItems(), own, sets_);
    };
    if (shapesOnly && imported->characters.empty()) setOfVoice("", imported->breakdown);
    for (const ImportedCharacter& c : imported->characters)
        if (shapesOnly) setOfVoice(c.name, c.breakdown);
    auto phonemesOf = [&](std::vector<TrackItem> phonemes, const std::string& name) {
        if (!shapesOnly) return phonemes;
        // Each shape becomes a phoneme that gives it back, so edits lay the
        // same mouths again; rest goes.
        const auto found = voiceSets.find(name);
        const MouthSet& set = found != voiceSets.end() ? *found->second : CurrentSet();
        std::vector<TrackItem> phones;
        for (TrackItem& p : phonemes) {
            const std::optional<std::string> phone = set.PhonemeOf(p.text);
            if (phone && phone->empty()) continue;
            if (phone) p.text = *phone;
            phones.push_back(std::move(p));
        }
        return phones;
    };
    // Characters read back go to their own tracks, all in one step.
    std::vector<TrackUndo::TrackItems> tracks = ImportedTracks(*imported, characters, phonemesOf);
    // A character the file gives a set of its own (one the panel offers,
    // other than the panel's choice), or whose shapes fit another set than
    // the one it lays mouths with, keeps that set, so its mouths are laid
    // again with the shapes the file has.
    bool ownSets = false;
    const auto keep = [&](Character* character, const std::string& set) {
        const bool offered = std::any_of(sets_.begin(), sets_.end(), [&](const MouthSet& s) { return s.Name() == set; });
        if (!character || !offered || character->mouthSet == set) return;
        if (character->mouthSet.empty() && set == CurrentSet().Name()) return;
        character->mouthSet = set;
        ownSets = true;
    };
    for (const ImportedCharacter& c : imported->characters) {
        const Character* named = characters.FindByName(CharacterList::Trimmed(c.name));
        Character* character = named ? characters.Find(named->id) : nullptr;
        if (!shapesOnly) {
            if (c.mouthSet != CurrentSet().Name()) keep(character, c.mouthSet);
        } else if (character && voiceSets.count(c.name) && voiceSets[c.name] != &SetNamed(character->mouthSet)) {
            keep(character, voiceSets[c.name]->Name());
        }
    }
    if (shapesOnly && imported->characters.empty() && voiceSets[""] != &SetOf(1))
        keep(characters.Find(1), voiceSets[""]->Name());
    if (ownSets) {
        std::erase_if(tracks, [](const TrackUndo::TrackItems& t) { return t.first == CharacterList::kTrack; });
        tracks.emplace_back(CharacterList::kTrack, characters.Items());
    }
    undo_.Change(std::move(tracks), QStringLiteral("Import Breakdown"));
}

} // namespace zv
