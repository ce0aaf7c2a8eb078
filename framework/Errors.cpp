#include "framework/Errors.h"

#include <windows.h>

namespace vm {

std::string SystemErrorText(unsigned long code) {
    char* buffer = nullptr;
    DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = n && buffer ? std::string(buffer, n) : "System error " + std::to_string(code);
    if (buffer) LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text;
}

void RaiseLastOSError(const std::string& whatFailed) {
    DWORD code = GetLastError();
    throw EOutOfResources(whatFailed + ": " + SystemErrorText(code) + " (" + std::to_string(code) + ")");
}

} // namespace vm
