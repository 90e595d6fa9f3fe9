#include "cli/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "common/FrameRateText.h"

namespace zv {

std::optional<CommandLine> CommandLine::Parse(const std::vector<std::string>& args, std::size_t first,
                                              const std::set<std::string>& known, std::string& error,
                                              const std::set<std::string>& repeatable) {
    CommandLine line;
    for (std::size_t i = first; i < args.size(); i += 2) {
        const std::string& name = args[i];
        if (known.count(name) == 0) {
            error = "Unknown option: " + name;
            return std::nullopt;
        }
        if (i + 1 >= args.size()) {
            error = name + " needs a value";
            return std::nullopt;
        }
        if (!line.values_.emplace(name, args[i + 1]).second && repeatable.count(name) == 0) {
            error = name + " is given twice";
            return std::nullopt;
        }
        line.all_[name].push_back(args[i + 1]);
    }
    return line;
}

std::string CommandLine::Value(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

std::vector<std::string> CommandLine::Values(const std::string& name) const {
    const auto it = all_.find(name);
    return it == all_.end() ? std::vector<std::string>{} : it->second;
}

std::optional<FrameRate> ParseFrameRate(const std::string& text) {
    // The rate box's reading keeps the previous rate for text it cannot
    // read: a rate of 0 as "previous" tells that case apart.
    const std::u16string wide(text.begin(), text.end());
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return std::nullopt;
    try {
        const FrameRate rate = TimelineExactFrameRate(wide, FrameRate(0));
        if (!rate.IsPositive()) return std::nullopt;
        return rate;
    } catch (...) {
        return std::nullopt;
    }
}

bool WriteCommandOutput(const std::string& text, const std::string& path, std::string& error) {
    if (path.empty() || path == "-") {
        const bool ok = std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
        if (!ok) error = "Couldn't write the output: " + std::string(std::strerror(errno));
        return ok;
    }
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (out) out.flush();
    if (!out) {
        error = "Couldn't write " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

} // namespace zv
