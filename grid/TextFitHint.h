#pragma once
// The hint that shows a cell's whole text over the cell when the column is too narrow
// for it: a tracking tooltip placed exactly on the cell's text, so the text seems to
// grow out of the cell.
#include <windows.h>

#include <string>
#include <string_view>

namespace velmora::grid {

class TextFitHint {
public:
    TextFitHint() = default;
    ~TextFitHint();
    TextFitHint(const TextFitHint&) = delete;
    TextFitHint& operator=(const TextFitHint&) = delete;

    // Shows `text` with its top-left corner at `screenOrigin`; the tooltip window is
    // created on first use, owned by `owner`.
    void show(HWND owner, POINT screenOrigin, std::wstring_view text, HFONT font);
    void hide();
    [[nodiscard]] bool showing() const noexcept { return showing_; }
    [[nodiscard]] HWND window() const noexcept { return tip_; }

private:
    bool create(HWND owner);
    HWND tip_ = nullptr;
    HWND owner_ = nullptr;
    std::wstring text_;
    bool showing_ = false;
};

// Whether `text` drawn with `font` needs more than `available` pixels.
bool textOverflows(HDC dc, HFONT font, std::wstring_view text, int available);

} // namespace velmora::grid
