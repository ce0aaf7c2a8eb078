#pragma once
// Message boxes go through a replaceable service so tests read a box's exact title, text and
// flags and choose its answer without a person at the screen.
#include <windows.h>

#include <string>

namespace vm {

class IMessageBoxService {
public:
    virtual ~IMessageBoxService() = default;
    // Returns the button pressed (IDOK, IDYES...), as MessageBox does.
    virtual int Show(HWND owner, const std::string& text, const std::string& title, UINT flags) = 0;
};

// The current service (the real one calls MessageBoxA). Setting nullptr restores the real one;
// returns the previous service.
IMessageBoxService& MessageBoxService();
IMessageBoxService* SetMessageBoxService(IMessageBoxService* service);

// The shell's information box: single OK button, information icon.
int ShowInformation(const std::string& text, const std::string& title = "Information", HWND owner = nullptr);
// Error box: single OK button, stop icon.
int ShowError(const std::string& text, const std::string& title, HWND owner = nullptr);

} // namespace vm
