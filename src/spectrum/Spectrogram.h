#pragma once
// The spectrogram of a stretch of the loaded sound, for the waveform box:
// one column per pixel column at the view's zoom, each the spectrum of a
// Hann window (SpectrogramWindow samples) centred on the column, of the
// sound mixed to mono (every channel averaged: one picture at the box's
// full height, and a consonant shows whichever channel carries it).
//
// Rows lie on a log frequency axis from kTopHz (row 0, the top) down to
// kBottomHz (the last row); rows above the sound's Nyquist frequency stay
// dark. Each pixel is a level 0..255: the magnitude in dB of full scale
// (a full-scale sine at 0 dB) from kFloorDb (0, dark) to kTopDb (255,
// bright), and its colour on a dark-to-bright map.
//
// Units: sample frames of the sound; Hz; dB.
#include <cstdint>
#include <vector>

#include "sound/SoundData.h"

namespace zv {

class JobProgress;

struct SpectrogramAxis {
    static constexpr int kRows = 256;
    static constexpr double kBottomHz = 50.0;
    static constexpr double kTopHz = 8000.0;
    // The frequency at row `row` (fractional rows allowed: row r's band runs
    // from RowHz(r + 0.5) up to RowHz(r - 0.5)), Hz.
    static double RowHz(double row);
    // The row whose band holds `hz`, clamped to the axis.
    static int RowOf(double hz);
};

inline constexpr double kSpectrogramFloorDb = -100.0;
inline constexpr double kSpectrogramTopDb = -20.0;

// Samples in each analysis window: 2048 from 32 kHz up (46 ms at 44.1 kHz),
// else 1024.
int32_t SpectrogramWindow(int32_t sampleRate);

// The colour of a level, 0xffRRGGBB: black, through purple, red and orange
// to pale yellow.
uint32_t SpectrogramColour(uint8_t level);

// What to compute: `columns` columns, column x covering the sample frames
// [first + x * perColumn, first + (x + 1) * perColumn). Frames outside the
// sound count as silence.
struct SpectrogramRequest {
    int64_t first = 0;
    double perColumn = 1.0;
    int columns = 0;
};

struct SpectrogramImage {
    int64_t first = 0;        // sample frame at the left edge
    double perColumn = 0;     // sample frames per column
    int columns = 0;
    int rows = 0;
    int32_t window = 0;       // samples in each analysis window
    std::vector<uint8_t> levels;    // rows x columns, row by row from the top
    std::vector<uint32_t> pixels;   // the levels' colours, 0xffRRGGBB, same order

    bool Empty() const { return columns <= 0 || rows <= 0; }
    uint8_t Level(int column, int row) const {
        return levels[static_cast<std::size_t>(row) * static_cast<std::size_t>(columns) +
                      static_cast<std::size_t>(column)];
    }
    // The sample frame at the right edge (after the last column).
    double End() const { return static_cast<double>(first) + perColumn * columns; }
};

enum class SpectrogramOutcome { Done, Cancelled };

// Computes `request` over `sound` into `out` (replaced whole). An empty
// request, a sound not loaded or one of no sample frames gives dark columns
// (or none). `progress` (may be null) counts columns and is asked about a
// cancel every few columns. When a column spans several windows, up to
// four spread over it are taken, each bin at its loudest. Throws
// std::runtime_error when FFTW cannot plan (and what the sample readers raise).
SpectrogramOutcome ComputeSpectrogram(const SoundData& sound, const SpectrogramRequest& request,
                                      JobProgress* progress, SpectrogramImage& out);

} // namespace zv
