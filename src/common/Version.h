#pragma once
// The program's name and version, shown in the About box.
namespace zv {
const char* ProgramVersion();
} // namespace zv
