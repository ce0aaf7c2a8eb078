#include "TextFitHint.h"

#include "framework/GdiObject.h"

#include <commctrl.h>

namespace velmora::grid {
namespace {

TOOLINFOW toolFor(HWND owner, std::wstring& text)
{
    TOOLINFOW tool{};
    // The version-2 size works with every comctl32, with or without a manifest.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_TRACK | TTF_ABSOLUTE | TTF_IDISHWND | TTF_TRANSPARENT;
    tool.hwnd = owner;
    tool.uId = reinterpret_cast<UINT_PTR>(owner);
    tool.lpszText = text.data();
    return tool;
}

} // namespace

TextFitHint::~TextFitHint()
{
    if (tip_)
        DestroyWindow(tip_);
}

bool TextFitHint::create(HWND owner)
{
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&classes);
    tip_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, TOOLTIPS_CLASSW, nullptr,
                           WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                           CW_USEDEFAULT, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!tip_)
        return false;   // no hint is a lesser evil than failing the mouse move
    owner_ = owner;
    text_ = L" ";
    TOOLINFOW tool = toolFor(owner, text_);
    SendMessageW(tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip_, TTM_SETMAXTIPWIDTH, 0, 4096);
    return true;
}

void TextFitHint::show(HWND owner, POINT screenOrigin, std::wstring_view text, HFONT font)
{
    if (!tip_ && !create(owner))
        return;
    text_.assign(text);
    TOOLINFOW tool = toolFor(owner_, text_);
    SendMessageW(tip_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(tip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    // Place the tooltip's text, not its frame, on the cell's text.
    RECT placed{screenOrigin.x, screenOrigin.y, screenOrigin.x, screenOrigin.y};
    SendMessageW(tip_, TTM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&placed));
    SendMessageW(tip_, TTM_TRACKPOSITION, 0, MAKELPARAM(placed.left, placed.top));
    SendMessageW(tip_, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
    showing_ = true;
}

void TextFitHint::hide()
{
    if (!tip_ || !showing_)
        return;
    TOOLINFOW tool = toolFor(owner_, text_);
    SendMessageW(tip_, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    showing_ = false;
}

bool textOverflows(HDC dc, HFONT font, std::wstring_view text, int available)
{
    if (text.empty())
        return false;
    const vm::TSelectObject selected(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size);
    return size.cx > available;
}

} // namespace velmora::grid
