// `zorvane_bench --render <wav> <png> [width height in twips]`: loads a WAV
// file with LoadWavFile and draws it with DrawWaves into a PNG the size of
// the waveform box (default 9015 x 3675 twips), on the box's background.
// A quick look at what users will see, without the window.
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ImageCanvas.h"
#include "common/Errors.h"
#include "sound/WavLoader.h"
#include "waveview/WaveRenderer.h"

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
    StderrBox box;
    LoadWavFile(sound, argv[0], box);
    sound.ViewStart = 0;
    sound.ViewEnd = sound.NumSamples;
    QImage image(int(width / 15), int(height / 15), QImage::Format_RGB32);
    ImageCanvas canvas(image, {64, 0, 64});
    try {
        DrawWaves(sound, canvas, width, height);
    } catch (const ZorvaneError& e) {
        std::fprintf(stderr, "DrawWaves: %s\n", e.what());
    }
    std::printf("%s: %d channel(s), %d bit, %d frames -> %s\n", argv[0], sound.WavFormat.nChannels,
                sound.WavFormat.wBitsPerSample, sound.NumSamples, argv[1]);
    return image.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}

}  // namespace zv::bench
