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
    explicit TFont(const TFontDescription& description) : description_(description) {}
    TFont(const TFont& other) : description_(other.description_) {}
    TFont& operator=(const TFont& other) { Assign(other.description_); return *this; }

    const TFontDescription& Description() const { return description_; }
    void Assign(const TFontDescription& description);

    const std::string& Name() const { return description_.name; }
    void SetName(const std::string& name);
    int Height() const { return description_.height; }
    void SetHeight(int height);
    int Size() const;                 // points at the screen's resolution
    void SetSize(int points);
    TColor Color() const { return description_.color; }
    void SetColor(TColor color);
    unsigned Style() const;           // TFontStyle bits
    void SetStyle(unsigned style);
    int Charset() const { return description_.charset; }
    void SetCharset(int charset);

    HFONT Handle() const;             // owned by the font; valid until the next change

    std::function<void()> OnChange;

private:
    void Changed();
    TFontDescription description_;
    mutable TFontHandle handle_;
};

} // namespace vm
