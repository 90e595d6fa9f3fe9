#pragma once
// A shared library the program opens the first time one of its functions is
// called, instead of having the dynamic loader map it (and everything it
// needs) before main. Each library kept this way has a file of forwarders
// (<Library>OnDemand.cpp): functions with the library's own names and
// declarations, defined in the program, each calling through the function
// found here. The program does not export them, so the library's calls among
// its own functions stay its own.
//
// The library is opened with RTLD_LOCAL (its symbols stay out of the
// program's global lookup scope) and kept open for the program's life.
#include <dlfcn.h>

#include <initializer_list>
#include <string>

namespace zv {

class LibraryOnDemand {
public:
    // Opens the first of `names` (sonames, tried in turn) that loads.
    explicit LibraryOnDemand(std::initializer_list<const char*> names);
    LibraryOnDemand(const LibraryOnDemand&) = delete;
    LibraryOnDemand& operator=(const LibraryOnDemand&) = delete;

    bool IsOpen() const { return handle_ != nullptr; }
    // The name asked for first (the one a message names).
    const std::string& Name() const { return name_; }

    // Sets `into` to the library's function `symbol`, or to null (also when
    // the library is not open). Returns whether it was found.
    template <typename F>
    bool Find(const char* symbol, F& into) const {
        into = handle_ != nullptr ? reinterpret_cast<F>(dlsym(handle_, symbol)) : nullptr;
        return into != nullptr;
    }

private:
    void* handle_ = nullptr;
    std::string name_;
};

// Keeps every library loaded at this moment loaded until the program ends,
// as those linked at start-up are. For a library that loads plugins of its
// own (PortAudio's ALSA): its plugins, and the libraries they bring, are
// otherwise unloaded when it shuts down, with what they set up when loaded
// left where no leak check can name it any more.
void KeepLoadedLibraries();

// "the <what> library <soname> could not be loaded", for the calls that
// report errors as text when the library is missing.
std::string NotLoadedText(const char* what, const LibraryOnDemand& library);

} // namespace zv
