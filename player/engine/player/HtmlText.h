#pragma once
// The HTML subset of text fields read into runs of text that share one style: <b>, <i>,
// <font face size color>, <p align> and <br>, with the common entities. Tags the field cannot
// show (links, underline, lists, images) keep their text and lose their effect.
#include <string>
#include <vector>

#include "core/Geometry.h"
#include "model/Text.h"

namespace swf {

struct TextStyle {
    std::string face;
    bool bold = false, italic = false;
    double size = 240;  // twips per em
    Rgba color{0, 0, 0, 255};
    TextAlign align = TextAlign::Left;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

struct StyledRun {
    std::string text;  // UTF-8; paragraph and line breaks are '\n'
    TextStyle style;
};

// Runs of `html` starting from `base`; neighbouring runs of equal style are merged. The
// last paragraph adds no line of its own.
std::vector<StyledRun> parseHtmlText(const std::string& html, const TextStyle& base);

}  // namespace swf
