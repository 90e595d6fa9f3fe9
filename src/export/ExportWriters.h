#pragma once
// The one list of export formats (see ExportWriter.h for how to add one).
// The Export Marks dialog offers them all in this order; the command line's
// --beats and --breakdown take the names of the Beats and Dialogue ones.
#include <optional>
#include <string>
#include <vector>

#include "export/ExportWriter.h"

namespace zv {

class ExportWriters {
public:
    // Every format, in the save dialog's order: the marks' first, then the
    // beats', then the dialogue's.
    static const std::vector<const ExportWriter*>& All();
    // The formats of one subject, in the list's order.
    static std::vector<const ExportWriter*> Of(ExportSubject subject);
    // The format of a subject by its command line name, or null.
    static const ExportWriter* Named(ExportSubject subject, const std::string& name);
    // The names of a subject's formats for a message: "json, csv or labels",
    // or joined by `separator` for a usage line ("json|csv|labels").
    static std::string Names(ExportSubject subject, const std::string& separator = {});

    // The save dialog's filter ("description|pattern|..."): every format,
    // or those of one subject.
    static std::string DialogFilter();
    static std::string DialogFilter(ExportSubject subject);
    // The format of a filter pair (from 1) of DialogFilter(), or null.
    static const ExportWriter* OfFilter(int filter);
    // The filter pair (from 1) of a format; 0 when it is not in the list.
    static int FilterOf(const ExportWriter* writer);
    // The Marks format a file name's ending asks for (case ignored; the
    // longest ending wins: ".xsheet.txt" over ".txt"), or null.
    static const ExportWriter* MarksFormatOfFileName(const std::string& fileName);
};

} // namespace zv
