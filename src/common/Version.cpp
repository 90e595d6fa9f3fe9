#include "common/Version.h"

namespace zv {
const char* ProgramVersion() { return "1.0.0"; }
} // namespace zv
