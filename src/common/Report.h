#pragma once
// How core code tells the window about a failure the user is to hear of.
//
// The core never shows anything itself. A routine that goes on after a
// failure (the loader, the volume set-up) hands back a Report holding the
// message, in the very words the user reads; a routine that cannot go on
// throws a ZorvaneError whose what() is the reason (Errors.h). The window's
// handlers take both and decide how the user is told (a message box, a
// one-time note) and in which order; what they pass over on purpose they log
// (Log.h).
#include <string>
#include <utility>

namespace zv {

class [[nodiscard]] Report {
public:
    // Nothing went wrong: nothing to tell.
    Report() = default;
    // Something went wrong; `message` is what the user is told.
    static Report Failure(std::string message) { return Report(std::move(message)); }

    bool Failed() const { return !message_.empty(); }
    const std::string& Message() const { return message_; }

private:
    explicit Report(std::string message) : message_(std::move(message)) {}

    std::string message_;
};

} // namespace zv
