#pragma once
// A field of the window that is a view of the Session: reading it reads the
// session, assigning to it sets the session (which announces the change).
// The window's millisecond fields and its whole frame rate are such views.
#include "session/Session.h"

namespace zv {

template <typename T, T (Session::*Get)() const, void (Session::*Set)(T)>
class SessionField {
public:
    explicit SessionField(Session& session) : session_(session) {}
    SessionField(const SessionField&) = delete;

    SessionField& operator=(T value) {
        (session_.*Set)(value);
        return *this;
    }
    SessionField& operator=(const SessionField& other) { return *this = static_cast<T>(other); }
    operator T() const { return (session_.*Get)(); }

private:
    Session& session_;
};

} // namespace zv
