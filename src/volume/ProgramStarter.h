#pragma once
// Starts a program by its path as a detached process. Real: ProcessStarter;
// tests use a fake that records the paths.
#include <memory>
#include <string>

namespace zv {

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Returns true when the program was started; false when it could not be
    // (no such file, not executable, ...). Never throws.
    virtual bool Start(const std::string& path) = 0;
};

std::unique_ptr<ProgramStarter> CreateSystemProgramStarter();

} // namespace zv
