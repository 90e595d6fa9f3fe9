#pragma once
// Starts a program by its path as a detached process: the program runs on
// independently, is not waited for and leaves no zombie behind. Real:
// ProcessStarter; tests use a fake that records the calls.
#include <memory>
#include <string>
#include <vector>

namespace zv {

class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Starts the program at `path`, taken as it stands (PATH is not
    // searched), with no arguments. Returns true when the program was
    // started; false when it could not be (no such file, not executable,
    // ...). Never throws.
    virtual bool Start(const std::string& path) = 0;
    // The same with arguments (what the program sees after its own name).
    // The default serves starters that cannot pass arguments.
    virtual bool StartWithArguments(const std::string& path, const std::vector<std::string>& arguments) {
        return arguments.empty() && Start(path);
    }
    // The full path of the executable file `name` in one of the directories
    // of PATH (the first that has one), or "" when there is none. Never throws.
    virtual std::string FindOnPath(const std::string& /*name*/) { return {}; }
};

std::unique_ptr<ProgramStarter> CreateSystemProgramStarter();

} // namespace zv
