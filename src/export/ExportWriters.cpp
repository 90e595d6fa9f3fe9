#include "export/ExportWriters.h"

#include <algorithm>
#include <cctype>
#include <memory>

#include "export/BeatsBarSheetWriter.h"
#include "export/BeatsCsvWriter.h"
#include "export/BeatsJsonWriter.h"
#include "export/BeatsLabelsWriter.h"
#include "export/DialogueJsonWriter.h"
#include "export/DialogueSheetWriter.h"
#include "export/MarksCsvWriter.h"
#include "export/MarksJsonWriter.h"
#include "export/MarksLabelsWriter.h"
#include "export/MarksMohoWriter.h"
#include "export/MarksSheetWriter.h"
#include "export/MouthsMohoWriter.h"
#include "export/MouthsTsvWriter.h"
#include "export/PapagayoWriter.h"
#include "export/WordsLabelsWriter.h"
#include "export/XdtsSheetWriter.h"

namespace zv {

namespace {

// The list: one line a format, in the save dialog's order.
std::vector<std::unique_ptr<const ExportWriter>> MakeWriters() {
    std::vector<std::unique_ptr<const ExportWriter>> w;
    w.push_back(std::make_unique<MarksCsvWriter>());
    w.push_back(std::make_unique<MarksLabelsWriter>());
    w.push_back(std::make_unique<MarksMohoWriter>());
    w.push_back(std::make_unique<MarksSheetWriter>());
    w.push_back(std::make_unique<MarksJsonWriter>());
    w.push_back(std::make_unique<BeatsBarSheetWriter>());
    w.push_back(std::make_unique<BeatsCsvWriter>());
    w.push_back(std::make_unique<BeatsJsonWriter>());
    w.push_back(std::make_unique<BeatsLabelsWriter>());
    w.push_back(std::make_unique<MouthsMohoWriter>());
    w.push_back(std::make_unique<PapagayoWriter>());
    w.push_back(std::make_unique<MouthsTsvWriter>());
    w.push_back(std::make_unique<DialogueJsonWriter>());
    w.push_back(std::make_unique<DialogueSheetWriter>());
    w.push_back(std::make_unique<WordsLabelsWriter>());
    w.push_back(std::make_unique<XdtsSheetWriter>());
    return w;
}

bool EndsWithNoCase(const std::string& s, const std::string& suffix) {
    if (suffix.empty() || s.size() < suffix.size()) return false;
    return std::equal(suffix.begin(), suffix.end(), s.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string Filter(const std::vector<const ExportWriter*>& writers) {
    std::string f;
    for (const ExportWriter* w : writers) {
        if (!f.empty()) f += '|';
        f += w->Format().description + "|" + w->Format().pattern;
    }
    return f;
}

} // namespace

const std::vector<const ExportWriter*>& ExportWriters::All() {
    // Made once, in order, and kept for the program's life.
    static const std::vector<std::unique_ptr<const ExportWriter>> owned = MakeWriters();
    static const std::vector<const ExportWriter*> all = [] {
        std::vector<const ExportWriter*> out;
        for (const auto& w : owned) out.push_back(w.get());
        return out;
    }();
    return all;
}

std::vector<const ExportWriter*> ExportWriters::Of(ExportSubject subject) {
    std::vector<const ExportWriter*> out;
    for (const ExportWriter* w : All())
        if (w->Format().subject == subject) out.push_back(w);
    return out;
}

const ExportWriter* ExportWriters::Named(ExportSubject subject, const std::string& name) {
    for (const ExportWriter* w : Of(subject))
        if (w->Format().name == name) return w;
    return nullptr;
}

std::string ExportWriters::Names(ExportSubject subject, const std::string& separator) {
    const std::vector<const ExportWriter*> writers = Of(subject);
    std::string out;
    for (std::size_t i = 0; i < writers.size(); ++i) {
        if (i > 0) out += !separator.empty() ? separator : i + 1 == writers.size() ? " or " : ", ";
        out += writers[i]->Format().name;
    }
    return out;
}

std::string ExportWriters::DialogFilter() { return Filter(All()); }

std::string ExportWriters::DialogFilter(ExportSubject subject) { return Filter(Of(subject)); }

const ExportWriter* ExportWriters::OfFilter(int filter) {
    const std::vector<const ExportWriter*>& all = All();
    if (filter < 1 || filter > static_cast<int>(all.size())) return nullptr;
    return all[static_cast<std::size_t>(filter - 1)];
}

int ExportWriters::FilterOf(const ExportWriter* writer) {
    const std::vector<const ExportWriter*>& all = All();
    const auto it = std::find(all.begin(), all.end(), writer);
    return it == all.end() ? 0 : static_cast<int>(it - all.begin()) + 1;
}

const ExportWriter* ExportWriters::MarksFormatOfFileName(const std::string& fileName) {
    const ExportWriter* best = nullptr;
    for (const ExportWriter* w : Of(ExportSubject::Marks))
        if (EndsWithNoCase(fileName, w->Format().suffix) &&
            (!best || w->Format().suffix.size() > best->Format().suffix.size()))
            best = w;
    return best;
}

} // namespace zv
