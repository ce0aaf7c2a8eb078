#include "flashhost/OleErrors.h"

#include <oleauto.h>

#include <cstdio>

namespace vm {

std::string OleErrorText(HRESULT result) {
    std::string text = SystemErrorText(static_cast<unsigned long>(result));
    if (!text.empty()) return text;
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "OLE error %08lX", static_cast<unsigned long>(result));
    return buffer;
}

void RaiseOleError(HRESULT result, const std::string& message) { throw EOleError(result, message); }

HRESULT OleCheck(HRESULT result) {
    if (FAILED(result)) RaiseOleError(result, OleErrorText(result));
    return result;
}

void RaiseDispatchError(HRESULT result, EXCEPINFO& info) {
    if (result == DISP_E_EXCEPTION && info.pfnDeferredFillIn) info.pfnDeferredFillIn(&info);
    std::string description = info.bstrDescription ? NarrowText(info.bstrDescription) : std::string();
    std::string source = info.bstrSource ? NarrowText(info.bstrSource) : std::string();
    HRESULT code = info.scode ? info.scode : static_cast<HRESULT>(info.wCode ? 0x80040200 + info.wCode : result);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrHelpFile);
    info = EXCEPINFO{};
    if (result == DISP_E_EXCEPTION)
        throw EOleException(code, description.empty() ? OleErrorText(code) : description, source);
    RaiseOleError(result, OleErrorText(result));
}

std::string NarrowText(const wchar_t* text, int length) {
    if (!text || length == 0) return {};
    int needed = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string out(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), needed, nullptr, nullptr);
    if (length < 0 && !out.empty() && out.back() == '\0') out.pop_back();
    return out;
}

std::wstring WideText(const std::string& text) {
    if (text.empty()) return {};
    int needed = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), needed);
    return out;
}

} // namespace vm
