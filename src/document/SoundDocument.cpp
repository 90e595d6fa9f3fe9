#include "document/SoundDocument.h"

namespace zv {

SoundDocument::SoundDocument() {
    tracks_.push_back(std::make_unique<Track>(kMarks));
    byName_.emplace(kMarks, tracks_.front().get());
}

void SoundDocument::Reset(SoundInfo info) {
    info_ = std::move(info);
    tracks_.resize(1);
    tracks_.front()->Clear();
    byName_.clear();
    byName_.emplace(kMarks, tracks_.front().get());
}

Track* SoundDocument::Find(const std::string& name) {
    const auto it = byName_.find(name);
    return it == byName_.end() ? nullptr : it->second;
}

const Track* SoundDocument::Find(const std::string& name) const {
    return const_cast<SoundDocument*>(this)->Find(name);
}

Track& SoundDocument::Ensure(const std::string& name) {
    if (Track* t = Find(name)) return *t;
    tracks_.push_back(std::make_unique<Track>(name));
    byName_.emplace(name, tracks_.back().get());
    return *tracks_.back();
}

} // namespace zv
