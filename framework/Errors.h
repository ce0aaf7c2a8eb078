#pragma once
// Exceptions of the framework. Messages are 8-bit text in the Windows code page, ready for a
// message box; the application object shows what() of any exception that leaves a handler.
#include <stdexcept>
#include <string>

namespace vm {

class EVelmoraError : public std::runtime_error {
public:
    explicit EVelmoraError(const std::string& message) : std::runtime_error(message) {}
};

// A window definition that cannot be read; the message names the source and the line.
class EDefinitionError : public EVelmoraError {
public:
    EDefinitionError(const std::string& source, int line, const std::string& problem)
        : EVelmoraError(source + "(" + std::to_string(line) + "): " + problem), line_(line) {}
    int Line() const { return line_; }
private:
    int line_;
};

class EPropertyError : public EVelmoraError { using EVelmoraError::EVelmoraError; };
class EComponentError : public EVelmoraError { using EVelmoraError::EVelmoraError; };
class EStreamError : public EVelmoraError { using EVelmoraError::EVelmoraError; };
class EInvalidGraphic : public EVelmoraError { using EVelmoraError::EVelmoraError; };
class EInvalidOperation : public EVelmoraError { using EVelmoraError::EVelmoraError; };
class EOutOfResources : public EVelmoraError { using EVelmoraError::EVelmoraError; };

// Raises EOutOfResources with the system's text for GetLastError(), prefixed by what failed.
[[noreturn]] void RaiseLastOSError(const std::string& whatFailed);
// The system's message text for an error code, without the trailing line break.
std::string SystemErrorText(unsigned long code);

} // namespace vm
