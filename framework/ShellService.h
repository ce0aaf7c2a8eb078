#pragma once
// ShellExecute and WinExec behind a replaceable service, so tests check what would be opened
// or run without starting anything.
#include <windows.h>

#include <cstdint>
#include <string>

namespace vm {

class IShellService {
public:
    virtual ~IShellService() = default;
    // As ShellExecuteA: a value above 32 means success. Empty strings are passed as NULL.
    virtual std::intptr_t Execute(HWND owner, const std::string& verb, const std::string& file,
                                       const std::string& parameters, const std::string& directory, int show) = 0;
    // As WinExec: above 31 means success.
    virtual UINT RunProgram(const std::string& commandLine, UINT show) = 0;
};

IShellService& ShellService();
IShellService* SetShellService(IShellService* service);   // nullptr restores the real one

} // namespace vm
