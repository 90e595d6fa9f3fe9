// Placeholder until the volume work lands.
#include "volume/ProgramStarter.h"

namespace zv {
namespace {
class NoStarter : public ProgramStarter {
public:
    bool Start(const std::string&) override { return false; }
};
} // namespace

std::unique_ptr<ProgramStarter> CreateSystemProgramStarter() { return std::make_unique<NoStarter>(); }

} // namespace zv
