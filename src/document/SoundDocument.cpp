#include "document/SoundDocument.h"

namespace zv {

SoundDocument::SoundDocument() {
    tracks_.push_back(std::make_unique<Track>(kMarks));
    byName_.Emplace(kMarks, 0);
}

void SoundDocument::Reset(SoundInfo info) {
    info_ = std::move(info);
    tracks_.resize(1);
    tracks_.front()->Clear();
    byName_.Clear();
    byName_.Emplace(kMarks, 0);
}

Track* SoundDocument::Find(const std::string& name) {
    const std::optional<std::size_t> at = byName_.Find(name);
    return at ? tracks_[*at].get() : nullptr;
}

const Track* SoundDocument::Find(const std::string& name) const {
    return const_cast<SoundDocument*>(this)->Find(name);
}

Track& SoundDocument::Ensure(const std::string& name) {
    const auto [at, added] = byName_.Emplace(name, tracks_.size());
    if (added) tracks_.push_back(std::make_unique<Track>(name));
    return *tracks_[at];
}

} // namespace zv
