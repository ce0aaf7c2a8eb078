#include "framework/MessageBoxes.h"

namespace vm {

namespace {
class SystemMessageBoxes : public IMessageBoxService {
public:
    int Show(HWND owner, const std::string& text, const std::string& title, UINT flags) override {
        return MessageBoxA(owner, text.c_str(), title.c_str(), flags);
    }
};
SystemMessageBoxes systemBoxes;
IMessageBoxService* current = &systemBoxes;
} // namespace

IMessageBoxService& MessageBoxService() { return *current; }

IMessageBoxService* SetMessageBoxService(IMessageBoxService* service) {
    IMessageBoxService* previous = current;
    current = service ? service : &systemBoxes;
    return previous;
}

int ShowInformation(const std::string& text, const std::string& title, HWND owner) {
    return current->Show(owner, text, title, MB_OK | MB_ICONINFORMATION);
}

int ShowError(const std::string& text, const std::string& title, HWND owner) {
    return current->Show(owner, text, title, MB_OK | MB_ICONSTOP);
}

} // namespace vm
