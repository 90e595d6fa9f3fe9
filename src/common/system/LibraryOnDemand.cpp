#include "common/system/LibraryOnDemand.h"

#include <link.h>

#include <vector>

namespace zv {

LibraryOnDemand::LibraryOnDemand(std::initializer_list<const char*> names) {
    for (const char* name : names) {
        if (name_.empty()) name_ = name;
        handle_ = dlopen(name, RTLD_NOW | RTLD_LOCAL);
        if (handle_ != nullptr) break;
    }
}

void KeepLoadedLibraries() {
    std::vector<std::string> paths;
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            if (info->dlpi_name != nullptr && info->dlpi_name[0] == '/')
                static_cast<std::vector<std::string>*>(data)->emplace_back(info->dlpi_name);
            return 0;
        },
        &paths);
    // Not from inside the walk: dlopen takes the loader's lock the walk holds.
    // The handles are kept (never closed), on purpose.
    for (const std::string& path : paths) dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE);
}

std::string NotLoadedText(const char* what, const LibraryOnDemand& library) {
    return std::string("the ") + what + " library " + library.Name() + " could not be loaded";
}

} // namespace zv
