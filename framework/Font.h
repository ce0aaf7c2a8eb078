#pragma once
// TFont: a font description with a lazily created HFONT. Controls listen to OnChange to
// repaint and to stop following their parent's font.
#include <windows.h>

#include <functional>
#include <string>

#include "framework/Color.h"
#include "framework/GdiObject.h"
#include "framework/Value.h"

namespace vm {

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TFont {
public:
    TFont() = default;
    explicit TFont(const TFontSpec& spec) : spec_(spec) {}
    TFont(const TFont& other) : spec_(other.spec_) {}
    TFont& operator=(const TFont& other) { Assign(other.spec_); return *this; }

    const TFontSpec& Spec() const { return spec_; }
    void Assign(const TFontSpec& spec);

    const std::string& Name() const { return spec_.name; }
    void SetName(const std::string& name);
    int Height() const { return spec_.height; }
    void SetHeight(int height);
    int Size() const;                 // points at the screen's resolution
    void SetSize(int points);
    TColor Color() const { return spec_.color; }
    void SetColor(TColor color);
    unsigned Style() const;           // TFontStyle bits
    void SetStyle(unsigned style);
    int Charset() const { return spec_.charset; }
    void SetCharset(int charset);

    HFONT Handle() const;             // owned by the font; valid until the next change

    std::function<void()> OnChange;

private:
    void Changed();
    TFontSpec spec_;
    mutable TFontHandle handle_;
};

} // namespace vm
