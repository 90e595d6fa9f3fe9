#pragma once
// A composed piece played by fluidsynth with Debian's General MIDI
// soundfont (FluidR3_GM), at test or benchmark time, into a folder of the
// build (a rendering is kept there under a name that changes with its MIDI,
// so a second run reads it back). The beats are the composition's, moved by
// the renderer's own constant lag (measured here on drum hits) and by the
// silence put before the music.
//
// Units: sample frames at sampleRate; seconds.
#include <cstdint>
#include <string>
#include <vector>

#include "ComposedPiece.h"

namespace zv::test {

struct RenderedPiece {
    PieceRecipe recipe;
    int32_t sampleRate = 44100;
    std::vector<float> mono;             // -1..1; empty when the renderer failed
    std::vector<double> beatSeconds;     // where each beat sounds
    std::vector<double> downbeatSeconds;
    int beatsPerBar = 4;
    std::string error;                   // why mono is empty
};

// True when fluidsynth and the soundfont are installed.
bool CanRender();

// The renderer's lag: seconds from a note's MIDI time to where its sound
// starts (the mean over a kick, a snare and a hat). Measured once.
double RenderLag(const std::string& folder);

// `leadSeconds` of silence go before the music.
RenderedPiece Render(const PieceRecipe& recipe, const std::string& folder, double leadSeconds = 0.5);

// Renders several at once (two renderers at a time).
std::vector<RenderedPiece> RenderAll(const std::vector<PieceRecipe>& recipes, const std::string& folder);

} // namespace zv::test
