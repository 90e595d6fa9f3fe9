#pragma once
// The platform pieces the window talks to, each behind a small interface.
// main() passes the real ones; tests pass fakes. Not owned by the window.
namespace zv {

class MessageBox;
class FileDialog;
class MediaDevice;
class Mixer;
class ProgramStarter;

struct Platform {
    MessageBox& messages;
    FileDialog& fileDialog;
    MediaDevice& mediaDevice;
    Mixer& mixer;
    ProgramStarter& programStarter;
};

} // namespace zv
