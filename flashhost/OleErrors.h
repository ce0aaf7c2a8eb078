#pragma once
// Errors of calls the host makes on a hosted COM object. A failing call raises EOleError with
// its result code; a dispatch call that failed with an exception of the object's own raises
// EOleException with the object's description, so the user reads the object's own words.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "framework/Errors.h"

namespace vm {

class EOleError : public EVelmoraError {
public:
    EOleError(HRESULT code, const std::string& message) : EVelmoraError(message), code_(code) {}
    HRESULT ErrorCode() const { return code_; }
private:
    HRESULT code_;
};

class EOleException : public EOleError {
public:
    EOleException(HRESULT code, const std::string& message, std::string source)
        : EOleError(code, message), source_(std::move(source)) {}
    const std::string& Source() const { return source_; }
private:
    std::string source_;
};

// Raises EOleError for a failing result; returns the result otherwise.
HRESULT OleCheck(HRESULT result);
// Raises EOleError with the given message and result code.
[[noreturn]] void RaiseOleError(HRESULT result, const std::string& message);
// Raises the error of a failed IDispatch::Invoke: the object's exception description when the
// call failed with DISP_E_EXCEPTION, else an EOleError for the result. Frees the strings of
// `info` in either case.
[[noreturn]] void RaiseDispatchError(HRESULT result, EXCEPINFO& info);
// The system's text for a result code ("OLE error 8000FFFF" when it has none).
std::string OleErrorText(HRESULT result);

// Wide and 8-bit text at the host's borders, converted through the system code page.
std::string NarrowText(const wchar_t* text, int length = -1);
std::wstring WideText(const std::string& text);

} // namespace vm
