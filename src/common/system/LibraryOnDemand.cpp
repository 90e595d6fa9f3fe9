#include "common/system/LibraryOnDemand.h"

namespace zv {

LibraryOnDemand::LibraryOnDemand(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (name_.empty()) name_ = name;
        handle_ = dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr) break;
    }
}

std::string NotLoadedText(const char* what, const LibraryOnDemand& library) {
    return std::string("the ") + what + " library " + library.Name() + " could not be loaded";
}

} // namespace zv
