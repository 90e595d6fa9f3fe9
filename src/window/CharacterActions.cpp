#include "window/CharacterActions.h"

#include <QColor>
#include <QColorDialog>
#include <QIcon>
#include <QInputDialog>
#include <QStringList>
#include <QMenu>
#include <QPixmap>
#include <algorithm>
#include <exception>

#include "common/MessageBox.h"
#include "dialogue/WordTransfer.h"
#include "document/SoundDocument.h"
#include "window/LaneHost.h"
#include "window/TrackUndo.h"
#include "window/WaveformInteraction.h"

namespace zv {

namespace {

constexpr const char* kEmptyName = "A character needs a name: it cannot be empty or only spaces.";

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::vector<TrackItem> ItemsOf(const SoundDocument& document, const std::string& name) {
    const Track* track = document.Find(name);
    return track ? track->Items() : std::vector<TrackItem>{};
}

BreakdownTracks TracksOf(const SoundDocument& document, int character) {
    return {ItemsOf(document, CharacterList::WordsTrack(character)),
            ItemsOf(document, CharacterList::PhonemesTrack(character))};
}

// A small square of the character's colour, for its menu entries.
QIcon Swatch(uint32_t colour) {
    QPixmap square(12, 12);
    square.fill(QColor::fromRgb(static_cast<QRgb>(colour | 0xFF000000u)));
    return QIcon(square);
}

} // namespace

template <typename F>
std::function<void()> CharacterActions::Guard(F handler) {
    return [this, handler] {
        try {
            handler();
        } catch (const std::exception& e) {
            messages_.Show(std::string("Changing the characters failed: ") + e.what());
        } catch (...) {
            messages_.Show("Changing the characters failed.");
        }
    };
}

CharacterActions::CharacterActions(MessageBox& messages, SoundDocument& document, TrackUndo& undo, LaneHost& lanes,
                                   WaveformInteraction& waveform, QWidget* window)
    : QObject(window), messages_(messages), document_(document), undo_(undo), lanes_(lanes), window_(window) {
    chooseColour_ = [this](uint32_t initial, const std::string& title) -> std::optional<uint32_t> {
        const QColor chosen =
            QColorDialog::getColor(QColor::fromRgb(static_cast<QRgb>(initial | 0xFF000000u)), window_, Q(title));
        if (!chosen.isValid()) return std::nullopt;
        return static_cast<uint32_t>(chosen.rgb() & 0xFFFFFF);
    };
    chooseItem_ = [this](const std::vector<std::string>& choices, int initial,
                         const std::string& title) -> std::optional<int> {
        QStringList items;
        for (const std::string& c : choices) items << Q(c);
        bool ok = false;
        const QString chosen = QInputDialog::getItem(window_, Q(title), QStringLiteral("Mouth set:"), items, initial,
                                                     false, &ok);
        if (!ok) return std::nullopt;
        const auto at = items.indexOf(chosen);
        if (at < 0) return std::nullopt;
        return static_cast<int>(at);
    };
    waveform.SetCharacterMenus(this);
}

CharacterActions::~CharacterActions() = default;

CharacterList CharacterActions::List() const { return CharacterList::Of(document_); }

std::string CharacterActions::NameOf(int character) const {
    const CharacterList list = List();
    const Character* c = list.Find(character);
    if (!c) return {};
    return c->name.empty() ? std::string("the unnamed speaker") : c->name;
}

void CharacterActions::FillMenu(QMenu& menu) {
    menu_ = menu.addMenu(QStringLiteral("Characters"));
    menu_->setObjectName(QStringLiteral("MnuCharacters"));
    menu_->setEnabled(false);
    connect(menu_, &QMenu::aboutToShow, this, Guard([this] { FillCharactersMenu(); }));
    FillCharactersMenu();
}

void CharacterActions::Enable(bool soundOpen) {
    if (menu_) menu_->setEnabled(soundOpen);
}

void CharacterActions::FillCharactersMenu() {
    if (!menu_) return;
    // The characters' submenus of the last time go with their entries.
    for (QMenu* old : menu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) delete old;
    menu_->clear();
    QAction* add = menu_->addAction(QStringLiteral("Add Character..."));
    add->setObjectName(QStringLiteral("MnuAddCharacter"));
    connect(add, &QAction::triggered, this, Guard([this] { AskAdd(); }));
    const CharacterList list = List();
    menu_->addSeparator();
    for (const Character& c : list.All()) {
        QMenu* sub = menu_->addMenu(Swatch(c.colour), c.name.empty() ? QStringLiteral("(no name)") : Q(c.name));
        sub->setObjectName(QStringLiteral("MnuCharacter%1").arg(c.id));
        FillCharacterMenu(*sub, c.id);
    }
}

void CharacterActions::FillCharacterMenu(QMenu& menu, int character) {
    QAction* rename = menu.addAction(QStringLiteral("Rename..."));
    connect(rename, &QAction::triggered, this, Guard([this, character] { AskRename(character); }));
    QAction* colour = menu.addAction(QStringLiteral("Colour..."));
    connect(colour, &QAction::triggered, this, Guard([this, character] { AskColour(character); }));
    QAction* set = menu.addAction(QStringLiteral("Mouth Set..."));
    connect(set, &QAction::triggered, this, Guard([this, character] { AskMouthSet(character); }));
    QAction* remove = menu.addAction(QStringLiteral("Delete"));
    remove->setEnabled(List().size() > 1);
    connect(remove, &QAction::triggered, this, Guard([this, character] { Delete(character); }));
}

void CharacterActions::FillWordMenu(QMenu& menu, int character, std::size_t word) {
    const CharacterList list = List();
    QMenu* wordTo = menu.addMenu(QStringLiteral("Move Word to"));
    QMenu* lineTo = menu.addMenu(QStringLiteral("Move Line to"));
    for (const Character& c : list.All()) {
        if (c.id == character) continue;
        const QString name = c.name.empty() ? QStringLiteral("(no name)") : Q(c.name);
        const int to = c.id;
        connect(wordTo->addAction(Swatch(c.colour), name), &QAction::triggered, this,
                Guard([this, character, word, to] { MoveWord(character, word, to); }));
        connect(lineTo->addAction(Swatch(c.colour), name), &QAction::triggered, this,
                Guard([this, character, word, to] { MoveLine(character, word, to); }));
    }
    // With one character there is no one to give the word to.
    wordTo->setEnabled(list.size() > 1);
    lineTo->setEnabled(list.size() > 1);
    menu.addSeparator();
    connect(menu.addAction(QStringLiteral("Add Character...")), &QAction::triggered, this, Guard([this] { AskAdd(); }));
}

void CharacterActions::WordMenu(int character, std::size_t word, const QPoint& where) {
    QMenu menu(window_);
    FillWordMenu(menu, character, word);
    menu.exec(where);
}

void CharacterActions::TagMenu(int character, const QPoint& where) {
    QMenu menu(window_);
    FillCharacterMenu(menu, character);
    menu.exec(where);
}

// ---- The changes ----

bool CharacterActions::Add(const std::string& name) {
    if (!document_.HasSound()) return false;
    CharacterList list = List();
    const std::string trimmed = CharacterList::Trimmed(name);
    if (trimmed.empty()) {
        messages_.Show(kEmptyName);
        return false;
    }
    if (list.FindByName(trimmed)) {
        messages_.Show("There is already a character called " + trimmed + ".");
        return false;
    }
    // The first name given to a sound with no words yet names its one
    // speaker, who keeps the plain tracks; a speaker with words keeps them
    // and the new character comes beside it.
    const bool nameTheOne = list.IsSingleUnnamed() && ItemsOf(document_, SoundDocument::kWords).empty();
    const bool done = nameTheOne ? list.Rename(1, trimmed) : list.Add(trimmed) != 0;
    if (!done) return false;
    undo_.Change(CharacterList::kTrack, list.Items(), QStringLiteral("Add Character"));
    return true;
}

bool CharacterActions::Rename(int character, const std::string& name) {
    CharacterList list = List();
    const std::string trimmed = CharacterList::Trimmed(name);
    if (!list.Find(character)) return false;
    if (trimmed.empty()) {
        messages_.Show(kEmptyName);
        return false;
    }
    if (const Character* other = list.FindByName(trimmed); other && other->id != character) {
        messages_.Show("There is already a character called " + trimmed + ".");
        return false;
    }
    if (!list.Rename(character, trimmed)) return false;
    undo_.Change(CharacterList::kTrack, list.Items(), QStringLiteral("Rename Character"));
    return true;
}

bool CharacterActions::Recolour(int character, uint32_t colour) {
    CharacterList list = List();
    Character* c = list.Find(character);
    if (!c) return false;
    c->colour = colour & 0xFFFFFF;
    undo_.Change(CharacterList::kTrack, list.Items(), QStringLiteral("Character Colour"));
    return true;
}

bool CharacterActions::SetMouthSet(int character, const std::string& set) {
    if (!document_.HasSound()) return false;
    CharacterList list = List();
    Character* c = list.Find(character);
    if (!c) return false;
    if (!set.empty()) {
        const std::vector<std::string> offered = lanes_.MouthSetNames();
        if (std::find(offered.begin(), offered.end(), set) == offered.end()) {
            messages_.Show("There is no mouth set called \"" + set +
                           "\": choose one of the sets the Dialogue panel offers. Nothing was changed.");
            return false;
        }
    }
    if (c->mouthSet == set) return true;
    c->mouthSet = set;
    // The mouths follow at once, in the same step. Mouths with no phonemes
    // to lay them from (imported Moho switch data) are kept as they are.
    const std::vector<TrackItem> phonemes = ItemsOf(document_, CharacterList::PhonemesTrack(character));
    std::vector<TrackUndo::TrackItems> tracks{{CharacterList::kTrack, list.Items()}};
    if (!phonemes.empty()) tracks.emplace_back(CharacterList::MouthsTrack(character), lanes_.MouthsFor(phonemes, set));
    undo_.Change(std::move(tracks), QStringLiteral("Mouth Set of ") + Q(NameOf(character)));
    return true;
}

bool CharacterActions::Delete(int character) {
    CharacterList list = List();
    if (!list.Find(character)) return false;
    if (!list.Remove(character)) {
        messages_.Show("The last character cannot be deleted: rename it instead.");
        return false;
    }
    undo_.Change({{CharacterList::kTrack, list.Items()},
                  {CharacterList::WordsTrack(character), {}},
                  {CharacterList::PhonemesTrack(character), {}},
                  {CharacterList::MouthsTrack(character), {}}},
                 QStringLiteral("Delete Character"));
    return true;
}

bool CharacterActions::MoveWord(int from, std::size_t word, int to) { return Move(from, word, to, false); }
bool CharacterActions::MoveLine(int from, std::size_t word, int to) { return Move(from, word, to, true); }

bool CharacterActions::Move(int from, std::size_t word, int to, bool line) {
    const CharacterList list = List();
    if (from == to || !list.Find(from) || !list.Find(to)) return false;
    const BreakdownTracks source = TracksOf(document_, from);
    if (word >= source.words.size()) return false;
    const int64_t gap = static_cast<int64_t>(kLineGapMs) * document_.Info().sampleRate / 1000;
    const WordRun run = line ? LineAround(source.words, word, gap) : WordRun{word, word + 1};
    const std::optional<TransferredTracks> moved = TransferWords(source, TracksOf(document_, to), run);
    if (!moved) {
        messages_.Show(NameOf(to) + " already speaks while \"" + source.words[word].text +
                       "\" is said: move or remove those words first.");
        return false;
    }
    // Each character's mouths follow its own phonemes, laid with its own
    // set; one with no phonemes left has no mouths.
    const auto mouths = [this, &list](const std::vector<TrackItem>& phonemes, int character) {
        return phonemes.empty() ? std::vector<TrackItem>{} : lanes_.MouthsFor(phonemes, list.Find(character)->mouthSet);
    };
    undo_.Change({{CharacterList::WordsTrack(from), moved->from.words},
                  {CharacterList::PhonemesTrack(from), moved->from.phonemes},
                  {CharacterList::MouthsTrack(from), mouths(moved->from.phonemes, from)},
                  {CharacterList::WordsTrack(to), moved->to.words},
                  {CharacterList::PhonemesTrack(to), moved->to.phonemes},
                  {CharacterList::MouthsTrack(to), mouths(moved->to.phonemes, to)}},
                 line ? QStringLiteral("Move Line") : QStringLiteral("Move Word"));
    return true;
}

// ---- Asking ----

void CharacterActions::AskAdd() {
    if (!document_.HasSound()) return;
    if (const auto name = messages_.AskText("The new character's name:", "")) Add(*name);
}

void CharacterActions::AskRename(int character) {
    const CharacterList list = List();
    const Character* c = list.Find(character);
    if (!c) return;
    if (const auto name = messages_.AskText("The character's name:", c->name)) Rename(character, *name);
}

void CharacterActions::AskColour(int character) {
    const CharacterList list = List();
    const Character* c = list.Find(character);
    if (!c || !chooseColour_) return;
    if (const auto colour = chooseColour_(c->colour, "Colour of " + NameOf(character))) Recolour(character, *colour);
}

void CharacterActions::AskMouthSet(int character) {
    const CharacterList list = List();
    const Character* c = list.Find(character);
    if (!c || !chooseItem_) return;
    std::vector<std::string> choices{kPanelsSet};
    for (const std::string& name : lanes_.MouthSetNames()) choices.push_back(name);
    const auto current = std::find(choices.begin() + 1, choices.end(), c->mouthSet);
    const int initial = c->mouthSet.empty() || current == choices.end() ? 0 : static_cast<int>(current - choices.begin());
    const std::optional<int> chosen = chooseItem_(choices, initial, "Mouth set of " + NameOf(character));
    if (!chosen || *chosen < 0 || *chosen >= static_cast<int>(choices.size())) return;
    SetMouthSet(character, *chosen == 0 ? std::string() : choices[static_cast<std::size_t>(*chosen)]);
}

} // namespace zv
