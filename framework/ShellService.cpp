#include "framework/ShellService.h"

#include <shellapi.h>

namespace vm {

namespace {
const char* OrNull(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

class SystemShell : public IShellService {
public:
    std::intptr_t Execute(HWND owner, const std::string& verb, const std::string& file,
                               const std::string& parameters, const std::string& directory, int show) override {
        return reinterpret_cast<std::intptr_t>(
            ::ShellExecuteA(owner, OrNull(verb), file.c_str(), OrNull(parameters), OrNull(directory), show));
    }
    UINT RunProgram(const std::string& commandLine, UINT show) override { return ::WinExec(commandLine.c_str(), show); }
};
SystemShell systemShell;
IShellService* current = &systemShell;
} // namespace

IShellService& ShellService() { return *current; }

IShellService* SetShellService(IShellService* service) {
    IShellService* previous = current;
    current = service ? service : &systemShell;
    return previous;
}

} // namespace vm
