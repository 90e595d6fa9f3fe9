// `zorvane_bench --render <wav> <png> [width height in twips]`: loads a WAV
// file with LoadWavFile and draws it with DrawWaves into a PNG the size of
// the waveform box (default 9015 x 3675 twips), on the box's background.
// A quick look at what users will see, in the window's picture box.
#include <QImage>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Errors.h"
#include "common/MessageBox.h"
#include "sound/WavLoader.h"
#include "waveview/WaveRenderer.h"
#include "window/PictureBox.h"
#include "window/Twips.h"

namespace zv::bench {

namespace {
class StderrBox : public MessageBox {
public:
    void Show(const std::string& text) override { std::fprintf(stderr, "message: %s\n", text.c_str()); }
};
}  // namespace

int RenderWav(int argc, char** argv) {
    if (argc != 2 && argc != 4) {
        std::fprintf(stderr, "usage: zorvane_bench --render <wav> <png> [width height]\n");
        return 2;
    }
    const float width = argc == 4 ? std::strtof(argv[2], nullptr) : 9015.0f;
    const float height = argc == 4 ? std::strtof(argv[3], nullptr) : 3675.0f;
    SoundData sound;
    StderrBox messages;
    ShowReport(messages, LoadWavFile(sound, argv[0]));
    sound.ViewStart = 0;
    sound.ViewEnd = sound.NumSamples;
    PictureBox picture;
    picture.SetBackColor({64, 0, 64});
    try {
        picture.resize(PixelEdge(width, picture.logicalDpiX()), PixelEdge(height, picture.logicalDpiY()));
        DrawWaves(sound, picture, width, height);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "DrawWaves: %s\n", e.what());
    }
    std::printf("%s: %d channel(s), %d bit, %d frames -> %s\n", argv[0], sound.WavFormat.nChannels,
                sound.WavFormat.wBitsPerSample, sound.NumSamples, argv[1]);
    return picture.Image().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

}  // namespace zv::bench
