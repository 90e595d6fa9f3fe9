// libFuzzer target: the input is a mouth-set file (JSON, as kept in the
// config folder). A set that is read must hold together: its rest and its
// other shape are among its shapes, every phoneme takes one of them, and a
// shape's phoneme gives that shape back (how a .pgo's shapes come in).
// A refused one must say why.
#include <cstdint>
#include <string>

#include "FuzzChecks.h"
#include "dialogue/MouthSet.h"

using namespace zv;
using zv::fuzz::Require;

namespace {

bool IsShape(const MouthSet& set, const std::string& name) {
    for (const std::string& s : set.Shapes())
        if (s == name) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = fuzz::Text(data, size);
    std::string error;
    const std::optional<MouthSet> set = MouthSet::FromJson(text, "fallback", error);
    if (!set) {
        Require(!error.empty() && error.rfind("line ", 0) == 0, "a refusal without its line");
        return 0;
    }
    Require(!set->Name().empty(), "a set without a name");
    Require(!set->Shapes().empty(), "a set without shapes");
    Require(IsShape(*set, set->Rest()), "rest is not a shape");
    for (const char* phoneme : {"AA", "AH0", "M", "ZZ", "", "1"})
        Require(IsShape(*set, set->ShapeOf(phoneme)), "a phoneme takes no shape of the set");
    for (const std::string& shape : set->Shapes()) {
        const std::optional<std::string> phoneme = set->PhonemeOf(shape);
        if (!phoneme) continue;
        if (phoneme->empty()) Require(shape == set->Rest(), "only rest has no phoneme");
        else Require(set->ShapeOf(*phoneme) == shape, "a shape's phoneme gives another shape");
    }
    return 0;
}
