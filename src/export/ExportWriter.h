#pragma once
// One export format: how it is offered (the save dialog's filter, the file
// name suggested, the command line's --format name) and the bytes it
// writes. Every format is one class deriving from this, registered once in
// ExportWriters (the list the Export Marks dialog and the command line both
// read).
//
// Adding a format:
//   1. A class `FooWriter : public ExportWriter` in src/export/FooWriter.h
//      and .cpp. Its constructor passes the format's ExportFormat; its Write
//      makes the file's whole content from an ExportInput (text or binary:
//      the bytes are written as they are). Write reads what its subject
//      promises to be there (see ExportSubject) and checks anything else
//      for null. It never throws for any input; an input it cannot write
//      (no frame rate, no sample rate) gives an empty result.
//   2. One line in the list in src/export/ExportWriters.cpp: the place in
//      the list is the place in the save dialog, after the formats of the
//      same subject that come before it.
//   3. The .cpp in CMakeLists.txt's EXPORT_SOURCES.
// The save dialog then offers it, and `zorvane --beats` / `--breakdown`
// take its name for a Beats / Dialogue format.
#include <string>
#include <vector>

#include "export/ExportInput.h"

namespace zv {

// What a format writes, and so what the exporter must have before it is
// written: the marks are always there (maybe none); Beats needs steady
// beats (ExportInput::beats); Dialogue a breakdown (breakdown and mouths).
enum class ExportSubject { Marks, Beats, Dialogue };

struct ExportFormat {
    ExportSubject subject = ExportSubject::Marks;
    // The command line's name ("csv", "xsheet"): unique within a subject.
    std::string name;
    // The save dialog's line ("CSV of the Beats (*.csv)") and its pattern.
    std::string description;
    std::string pattern;   // "*.csv"
    // Added to the sound's name (without extension) for the name offered:
    // ".beats.csv". For a Marks format, also the ending that picks it
    // whatever filter is chosen.
    std::string suffix;
};

// One file of an export that writes several (one for each character):
// `suffix` goes before the file name's extension ("-Ann"), "" for the one
// file of a one-file export.
struct ExportFile {
    std::string suffix;
    std::string content;
};

class ExportWriter {
public:
    explicit ExportWriter(ExportFormat format) : format_(std::move(format)) {}
    virtual ~ExportWriter() = default;
    ExportWriter(const ExportWriter&) = delete;
    ExportWriter& operator=(const ExportWriter&) = delete;

    const ExportFormat& Format() const { return format_; }
    // The file's content.
    virtual std::string Write(const ExportInput& input) const = 0;
    // The files written: Write's content as one file, unless the format
    // keeps one character a file.
    virtual std::vector<ExportFile> WriteFiles(const ExportInput& input) const { return {ExportFile{"", Write(input)}}; }

private:
    ExportFormat format_;
};

} // namespace zv
