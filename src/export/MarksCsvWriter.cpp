#include "export/MarksCsvWriter.h"

#include "export/ExportText.h"
#include "marks/MarkFrames.h"

namespace zv {

MarksCsvWriter::MarksCsvWriter() : ExportWriter({ExportSubject::Marks, "csv", "CSV (*.csv)", "*.csv", ".csv"}) {}

std::string MarksCsvWriter::Write(const ExportInput& in) const {
    const int32_t sr = in.sampleRate;
    const MarkRate rate = in.rate;
    const std::string fps = ExportRateText(rate);
    std::string out = ExportCsvField("Frame (" + fps + " fps)") + "," + ExportCsvField("End Frame (" + fps + " fps)") +
                      ",Seconds,End Seconds,Text,Timecode,End Timecode\r\n";
    if (in.marks == nullptr) return out;
    for (const TrackItem& m : *in.marks) {
        out += std::to_string(MarkFrame(m.start, rate, sr)) + "," + std::to_string(MarkFrame(m.end, rate, sr)) + "," +
               ExportSeconds(m.start, sr) + "," + ExportSeconds(m.end, sr) + "," + ExportCsvField(m.text) + "," +
               MarkTimecode(m.start, rate, sr) + "," + MarkTimecode(m.end, rate, sr) + "\r\n";
    }
    return out;
}

} // namespace zv
