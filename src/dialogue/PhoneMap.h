#pragma once
// espeak-ng's phonemes (IPA, any language) on the CMU dictionary's phone
// set the English acoustic model knows ("AA" ... "ZH"). A phoneme is read
// whole when the table has it (diphthongs, affricates), else piece by piece,
// longest first; stress, length and other marks are dropped, and sounds the
// table lacks are left out.
#include <string>
#include <vector>

namespace zv {

std::vector<std::string> CmuPhonesOfIpa(const std::vector<std::string>& ipaPhonemes);

} // namespace zv
