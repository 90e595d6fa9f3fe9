#include "export/BeatsCsvWriter.h"

#include "beats/BeatAnalysis.h"
#include "common/FrameTime.h"
#include "common/Timecode.h"
#include "export/ExportText.h"

namespace zv {

BeatsCsvWriter::BeatsCsvWriter()
    : ExportWriter({ExportSubject::Beats, "csv", "CSV of the Beats (*.csv)", "*.csv", ".beats.csv"}) {}

std::string BeatsCsvWriter::Write(const ExportInput& in) const {
    if (in.beats == nullptr || !in.rate.IsPositive()) return {};
    const BeatAnalysis& a = *in.beats;
    std::string out = "Bar,Beat,Frame (" + ExportRateText(in.rate) + " fps),Seconds,Timecode\r\n";
    for (const Beat& b : a.beats) {
        const int64_t frame = a.sampleRate > 0 ? FrameOfSample(b.sample, in.rate, a.sampleRate) : 0;
        out += std::to_string(b.bar) + "," + std::to_string(b.beat) + "," + std::to_string(frame) + "," +
               ExportSeconds(b.sample, a.sampleRate) + "," + Timecode(frame, in.rate) + "\r\n";
    }
    return out;
}

} // namespace zv
