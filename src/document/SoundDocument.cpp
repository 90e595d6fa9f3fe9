#include "document/SoundDocument.h"

namespace zv {

SoundDocument::SoundDocument() { tracks_.push_back(std::make_unique<Track>(kMarks)); }

void SoundDocument::Reset(SoundInfo info) {
    info_ = std::move(info);
    tracks_.resize(1);
    tracks_.front()->Clear();
}

Track* SoundDocument::Find(const std::string& name) {
    for (auto& t : tracks_)
        if (t->Name() == name) return t.get();
    return nullptr;
}

const Track* SoundDocument::Find(const std::string& name) const {
    return const_cast<SoundDocument*>(this)->Find(name);
}

Track& SoundDocument::Ensure(const std::string& name) {
    if (Track* t = Find(name)) return *t;
    tracks_.push_back(std::make_unique<Track>(name));
    return *tracks_.back();
}

} // namespace zv
