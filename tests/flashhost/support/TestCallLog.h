#pragma once
// The ordered record of what the test Flash control was asked to do and what it did to its
// site. Calls it receives carry their method name ("DoVerb"); calls it makes on the host carry
// the prefix "Site." ("Site.OnInPlaceActivateEx"), and bind-status callbacks "Bind." so one log
// shows how the two sides interleave.
#include <windows.h>
#include <ole2.h>

#include <optional>
#include <string>
#include <vector>

namespace vm::test {

struct FlashCall {
    explicit FlashCall(std::string callName) : name(std::move(callName)) {}

    std::string name;
    // Verb, dispatch id, message id, draw aspect, close option, layer, status code, byte count.
    long number = 0;
    std::optional<RECT> rect;  // DoVerb position, SetObjectRects position, Draw bounds, InvalidateRect
    std::optional<RECT> clip;  // SetObjectRects and GetWindowContext clip rectangle
    UINT_PTR handle = 0;       // Draw's DC, DoVerb's parent window, the window GetWindow reported
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::wstring text;         // URL, variable name, external-call request, "get"/"put"/"method"
    VARTYPE type = VT_EMPTY;   // variant type a property put carried
    HRESULT result = S_OK;     // what the host answered to a site call

    // Chained setters, for building a record in one expression.
    FlashCall& Number(long value) { number = value; return *this; }
    FlashCall& Rect(const RECT& value) { rect = value; return *this; }
    FlashCall& Clip(const RECT& value) { clip = value; return *this; }
    FlashCall& Handle(UINT_PTR value) { handle = value; return *this; }
    FlashCall& WParam(WPARAM value) { wParam = value; return *this; }
    FlashCall& LParam(LPARAM value) { lParam = value; return *this; }
    FlashCall& Text(std::wstring value) { text = std::move(value); return *this; }
    FlashCall& Type(VARTYPE value) { type = value; return *this; }
    FlashCall& Result(HRESULT value) { result = value; return *this; }
};

class FlashCallLog {
public:
    FlashCall& Add(FlashCall call) { calls_.push_back(std::move(call)); return calls_.back(); }
    const std::vector<FlashCall>& All() const { return calls_; }
    // The names in order; with a prefix only those that start with it ("Site.": what the
    // control asked of the host).
    std::vector<std::string> Names(const std::string& prefix = "") const;
    int Count(const std::string& name) const;
    // The first / last call of that name, null when there is none.
    const FlashCall* First(const std::string& name) const;
    const FlashCall* Last(const std::string& name) const;
    // Position of the first call of that name, -1 when there is none: for order assertions.
    int IndexOf(const std::string& name) const;
    void Clear() { calls_.clear(); }

private:
    std::vector<FlashCall> calls_;
};

} // namespace vm::test
