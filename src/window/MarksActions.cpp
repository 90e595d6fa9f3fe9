#include "window/MarksActions.h"

#include <QWidget>
#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <system_error>
#include <tuple>

#include "common/MessageBox.h"
#include "common/ui/LogCategories.h"
#include "document/SoundDocument.h"
#include "export/ExportText.h"
#include "export/ExportWriters.h"
#include "export/XdtsSheetWriter.h"
#include "marks/MarkFrames.h"
#include "marks/MarkKeeper.h"
#include "marks/MarksImport.h"
#include "marks/TextFile.h"
#include "playback/MediaDevice.h"
#include "playback/ui/MediaControl.h"
#include "window/FileDialog.h"
#include "session/Session.h"
#include "window/MarkSources.h"
#include "window/MarkTableModel.h"
#include "window/MarksWindow.h"
#include "window/PictureBox.h"
#include "window/Platform.h"
#include "window/TrackUndo.h"

namespace zv {

namespace {

// Whatever a handler raises ends there, never the program, and is logged.
template <typename F>
void Guarded(F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        LogCurrentError(LogWindow(), "A marks handler stopped");
    }
}

using ItemKey = std::tuple<int64_t, int64_t, std::string, std::string>;
ItemKey KeyOf(const TrackItem& m) { return {m.start, m.end, m.text, m.kind}; }

} // namespace

MarksActions::MarksActions(Platform& platform, SoundDocument& document, MediaControl& media, PictureBox& waveBox,
                           const Session& session, const MarkSources& sources, QWidget* window, QObject* parent)
    : QObject(parent), platform_(platform), document_(document), media_(media), waveBox_(waveBox), session_(session),
      sources_(sources), window_(window), keeper_(std::make_unique<MarkKeeper>(document)) {
    model_ = new MarkTableModel(*keeper_, this);
    connect(model_, &MarkTableModel::TextEdited, this, [this](const QString& failure) {
        Guarded([&] {
            waveBox_.update();   // the waveform's marks layer follows
            if (!failure.isEmpty()) platform_.messages.Show(failure.toStdString());
        });
    });
}

MarksActions::~MarksActions() = default;

void MarksActions::SetUndo(TrackUndo* undo) {
    undo_ = undo;
    model_->SetUndo(undo);
}

Report MarksActions::ChangeMarks(std::vector<TrackItem> items, const QString& what) {
    // The step's own save tells the window of a failure (TrackUndo's report).
    if (undo_) {
        undo_->Change(SoundDocument::kMarks, std::move(items), what);
        return {};
    }
    document_.Marks().Assign(std::move(items));
    return keeper_->Save();
}

bool MarksActions::HasSound() const { return keeper_->HasSound(); }

uint64_t MarksActions::Revision() const {
    uint64_t sum = 0;
    for (const auto& track : document_.Tracks()) sum += track->Revision();
    return sum;
}

void MarksActions::Changed(int showRow) {
    model_->Reload();
    waveBox_.update();   // the waveform's marks layer follows
    if (list_ && showRow >= 0) list_->ShowRow(showRow);
}

void MarksActions::SoundOpened(const std::string& path, int channels) {
    SoundInfo info;
    info.path = path;
    info.sampleRate = platform_.mediaDevice.SampleRate();
    info.frames = platform_.mediaDevice.LengthSamples();
    info.channels = channels;
    info.identity = IdentityOfFile(path);
    const Report read = keeper_->OpenFor(std::move(info));
    exported_ = false;
    Changed();
    ShowReport(platform_.messages, read);
}

void MarksActions::SetRate(FrameRate rate) { model_->SetRate(rate); }

void MarksActions::AddMark() {
    if (!HasSound()) return;
    // The transport's position as a sample: the frame's first sample after
    // Step, Back or a click; the sample being heard while playing.
    int64_t sample = std::clamp<int64_t>(media_.PositionSample(), 0, document_.Info().frames);
    sample = sources_.SnappedSample(sample);
    std::vector<TrackItem> marks = keeper_->Marks().Items();
    marks.push_back(TrackItem{sample, sample, {}, {}});
    const Report saved = ChangeMarks(std::move(marks), QStringLiteral("Add Mark"));
    Changed(static_cast<int>(keeper_->Marks().FirstAtOrAfter(sample)));
    ShowReport(platform_.messages, saved);
}

void MarksActions::AddSelectionMark(int32_t selStartMs, int32_t selEndMs) {
    if (!HasSound()) return;
    const int32_t rate = keeper_->SampleRate();
    const int64_t length = document_.Info().frames;
    const int64_t start = std::clamp<int64_t>(MsToSamples(std::max(0, std::min(selStartMs, selEndMs)), rate), 0, length);
    const int64_t end = std::clamp<int64_t>(MsToSamples(std::max(selStartMs, selEndMs), rate), start, std::max(start, length));
    std::vector<TrackItem> marks = keeper_->Marks().Items();
    marks.push_back(TrackItem{start, end, {}, {}});
    const Report saved = ChangeMarks(std::move(marks), QStringLiteral("Add Selection as Mark"));
    Changed(static_cast<int>(keeper_->Marks().FirstAtOrAfter(start)));
    ShowReport(platform_.messages, saved);
}

void MarksActions::ShowList() {
    if (!list_) {
        list_ = new MarksWindow(*model_, window_);
        connect(list_, &MarksWindow::DeleteRequested, this,
                [this](std::vector<std::size_t> rows) { Guarded([&] { Remove(std::move(rows)); }); });
        connect(list_, &MarksWindow::MarkActivated, this, [this](std::size_t row) { Guarded([&] { GoToMark(row); }); });
        // Beside the main window's right edge, where the screen has room.
        if (window_)
            list_->move(window_->frameGeometry().right() + 8, window_->frameGeometry().top());
    }
    list_->show();
    list_->raise();
    list_->activateWindow();
}

void MarksActions::Remove(std::vector<std::size_t> rows) {
    if (rows.empty()) return;
    const int first = static_cast<int>(*std::min_element(rows.begin(), rows.end()));
    const std::set<std::size_t> gone(rows.begin(), rows.end());
    std::vector<TrackItem> marks;
    const std::vector<TrackItem>& have = keeper_->Marks().Items();
    for (std::size_t i = 0; i < have.size(); ++i)
        if (!gone.count(i)) marks.push_back(have[i]);
    const Report saved = ChangeMarks(std::move(marks), gone.size() == 1 ? QStringLiteral("Delete Mark")
                                                                        : QStringLiteral("Delete Marks"));
    ShowReport(platform_.messages, saved);
    Changed(std::min(first, static_cast<int>(keeper_->Marks().size()) - 1));
}

void MarksActions::GoToMark(std::size_t row) {
    if (row >= keeper_->Marks().size()) return;
    // The frame that holds the mark at the rate in force (the frame the
    // list shows) is played from its start.
    const FrameRate rate = session_.Rate();
    if (row >= keeper_->Marks().size() || !rate.IsPositive()) return;
    media_.PlayFrame(MarkFrame(keeper_->Marks()[row].start, rate, keeper_->SampleRate()));
}

bool MarksActions::Export() {
    if (!HasSound()) return false;
    const FrameRate rate = session_.Rate();
    const std::filesystem::path sound(keeper_->SoundPath());
    const ExportWriter* last = ExportWriters::OfFilter(exportFilter_);
    if (!last) last = ExportWriters::All().front();
    const std::string suggested = (sound.parent_path() / sound.stem()).string() + last->Format().suffix;
    const std::optional<FileDialog::SaveChoice> choice =
        platform_.fileDialog.ShowSave(ExportWriters::DialogFilter(), ExportWriters::FilterOf(last), suggested);
    if (!choice || choice->path.empty()) return false;
    const ExportWriter* chosen = ExportWriters::OfFilter(choice->filter);
    if (chosen) exportFilter_ = choice->filter;
    // Never over the sound or its marks file, whatever the user typed.
    std::error_code ec;
    for (const std::string& own : {keeper_->SoundPath(), keeper_->FilePath()}) {
        if (std::filesystem::equivalent(choice->path, own, ec)) {
            platform_.messages.Show("The marks can't be exported to " + choice->path +
                                          ": it is the sound's own file. Choose another name.");
            return false;
        }
    }
    // The beats' and the dialogue's formats go by the filter chosen (their
    // names end as the marks' do); for the marks the name's ending wins.
    const ExportWriter* writer = chosen;
    if (!writer || writer->Format().subject == ExportSubject::Marks) {
        writer = ExportWriters::MarksFormatOfFileName(choice->path);
        if (!writer) writer = chosen ? chosen : ExportWriters::All().front();
    }
    // The XDTS sheet asks its cut and scene and writes its mouth numbers beside it.
    if (writer->Format().name == XdtsSheetWriter::kName) return sources_.ExportXdts(choice->path);
    const ExportSubject subject = writer->Format().subject;
    ExportInput input;
    input.soundName = sound.filename().string();
    input.sampleRate = keeper_->SampleRate();
    input.lengthSamples = document_.Info().frames;
    input.lengthMs = media_.Length();
    input.rate = rate;
    input.marks = &keeper_->Marks().Items();
    const BeatAnalysis beats = sources_.Beats();
    if (beats.steady) input.beats = &beats;
    std::vector<ExportFile> files;
    if (subject == ExportSubject::Beats && !beats.steady) {
        platform_.messages.Show("There are no beats to export. Find them first with Analyze > Find Beats.");
        return false;
    }
    if (subject == ExportSubject::Dialogue) {
        std::optional<std::vector<ExportFile>> dialogue = sources_.DialogueFiles(*writer, input);
        if (!dialogue) return false;   // told why
        files = std::move(*dialogue);
    } else {
        files.push_back({"", writer->Write(input)});
    }
    const char* what = subject == ExportSubject::Marks ? "marks" : subject == ExportSubject::Beats ? "beats" : "dialogue";
    // Several files (one a character): each named with its suffix before the extension.
    for (const ExportFile& file : files) {
        const std::string path = files.size() > 1 ? ExportPathWith(choice->path, file.suffix) : choice->path;
        if (const std::optional<std::string> failed = WriteFileAtomically(path, file.content)) {
            platform_.messages.Show(std::string("The ") + what + " can't be exported to " + path + ": " + *failed + ".");
            return false;
        }
    }
    if (subject == ExportSubject::Marks) {
        exported_ = true;
        exportedRevision_ = Revision();
    }
    return true;
}

void MarksActions::Import() {
    if (!HasSound()) return;
    const std::optional<std::string> path = platform_.fileDialog.ShowOpen(kImportFilter, 1);
    if (!path) return;
    const TextFileRead read = ReadTextFile(*path, MarkKeeper::kMaxFileBytes);
    if (!read.exists || read.error) {
        platform_.messages.Show("The marks can't be read from " + *path + ": " +
                                      (read.error ? *read.error : std::string("there is no such file")) + ".");
        return;
    }
    MarksImport imported = ImportMarksText(read.text, keeper_->SampleRate());
    if (!imported.error.empty()) {
        platform_.messages.Show(imported.Message(*path));
        return;
    }
    const std::size_t total = imported.Count();
    if (total == 0) {
        platform_.messages.Show("There are no marks in " + *path + ".");
        return;
    }
    // Items the document has already (the same file imported twice) are
    // not added again.
    std::size_t added = 0;
    std::optional<int64_t> firstMark;
    Report saved;
    // Every track the file brings, as one step.
    std::vector<TrackUndo::TrackItems> after;
    for (FileTrack& track : imported.tracks) {
        std::set<ItemKey> known;
        std::vector<TrackItem> items;
        if (const Track* have = document_.Find(track.name)) items = have->Items();
        for (const TrackItem& m : items) known.insert(KeyOf(m));
        std::erase_if(track.items, [&](const TrackItem& m) { return !known.insert(KeyOf(m)).second; });
        if (track.items.empty()) continue;
        added += track.items.size();
        if (track.name == SoundDocument::kMarks)
            for (const TrackItem& m : track.items) firstMark = std::min(firstMark.value_or(m.start), m.start);
        if (!undo_) {
            const Report r = keeper_->AddToTrack(track.name, std::move(track.items));
            if (r.Failed() && !saved.Failed()) saved = r;
            continue;
        }
        items.insert(items.end(), track.items.begin(), track.items.end());
        after.emplace_back(track.name, std::move(items));
    }
    if (added == 0) {
        platform_.messages.Show("The marks in " + *path + " are all there already.");
        return;
    }
    if (undo_) undo_->Change(std::move(after), QStringLiteral("Import Marks"));
    Changed(firstMark ? static_cast<int>(keeper_->Marks().FirstAtOrAfter(*firstMark)) : -1);
    ShowReport(platform_.messages, saved);
}

bool MarksActions::MayLeave(const std::string& leaving) {
    if (!HasSound() || keeper_->Saved()) return true;
    bool anything = false;
    for (const auto& track : document_.Tracks()) anything = anything || !track->empty();
    if (!anything || (exported_ && exportedRevision_ == Revision())) return true;
    const std::string name = std::filesystem::path(keeper_->SoundPath()).filename().string();
    const int answer = platform_.messages.Ask(
        "The marks of " + name + " could not be saved beside it and live only in memory: they are lost on " +
            leaving + ".\n\nExport them first?",
        {kExportButton, kDiscardButton, kCancelButton});
    if (answer == 0) return Export();
    return answer == 1;
}

} // namespace zv
