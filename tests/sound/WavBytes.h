#pragma once
// Builds RIFF files byte by byte for the loader's tests, and writes them to
// a scratch directory that lives as long as the object.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace zv::test {

using Bytes = std::string;

inline Bytes Le16(uint16_t v) { return {char(v & 0xFF), char(v >> 8)}; }
inline Bytes Le32(uint32_t v) { return Le16(uint16_t(v)) + Le16(uint16_t(v >> 16)); }

// A chunk: id, stated size (the payload's unless given), payload, and a pad
// byte after an odd payload unless `pad` is false.
inline Bytes Chunk(const std::string& id, const Bytes& payload, bool pad = true) {
    Bytes b = id + Le32(uint32_t(payload.size())) + payload;
    if (pad && payload.size() % 2 == 1) b += '\0';
    return b;
}
inline Bytes ChunkStated(const std::string& id, uint32_t stated, const Bytes& payload) {
    return id + Le32(stated) + payload;
}
inline Bytes Riff(const Bytes& children, const std::string& form = "WAVE") {
    return Chunk("RIFF", form + children);
}
// A RIFF WAVE whose last chunk is a data chunk stating `stated` bytes but
// holding only `held`; the RIFF size counts the stated bytes, as in a file
// cut short (0xFFFFFFFF when that does not fit).
inline Bytes CutShort(const Bytes& chunks, uint32_t stated, const Bytes& held) {
    const uint64_t riff = 4 + chunks.size() + 8 + uint64_t{stated};
    return "RIFF" + Le32(uint32_t(std::min<uint64_t>(riff, 0xFFFFFFFF))) + "WAVE" + chunks +
           ChunkStated("data", stated, held);
}
// A fmt payload of 16 or 18 bytes.
inline Bytes FmtPayload(int16_t channels, int16_t bits, int16_t blockAlign, int size = 16,
                        uint16_t tag = 1, int32_t rate = 8000) {
    Bytes b = Le16(tag) + Le16(uint16_t(channels)) + Le32(uint32_t(rate)) +
              Le32(uint32_t(rate * blockAlign)) + Le16(uint16_t(blockAlign)) + Le16(uint16_t(bits));
    if (size >= 18) b += Le16(0);
    while (int(b.size()) < size) b += '\0';
    return b;
}
inline Bytes Fmt(int16_t channels, int16_t bits, int16_t blockAlign, int size = 16) {
    return Chunk("fmt ", FmtPayload(channels, bits, blockAlign, size));
}
// A plain PCM file with these data bytes.
inline Bytes Wav(int16_t channels, int16_t bits, const Bytes& data) {
    const auto align = int16_t(channels * (bits / 8));
    return Riff(Fmt(channels, bits, align) + Chunk("data", data));
}
// `n` bytes counting up from `first`.
inline Bytes Ramp(std::size_t n, int first = 0) {
    Bytes b(n, '\0');
    for (std::size_t i = 0; i < n; ++i) b[i] = char((first + int(i)) & 0xFF);
    return b;
}

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zorvane-test.XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        path_ = mkdtemp(buf.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string Write(const std::string& name, const Bytes& bytes) const {
        const std::string p = (path_ / name).string();
        std::ofstream(p, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
        return p;
    }
    std::string Path(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace zv::test
