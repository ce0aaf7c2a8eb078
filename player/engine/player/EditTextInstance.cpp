#include "player/EditTextInstance.h"

#include <algorithm>
#include <cctype>

#include "font/DeviceFontLookup.h"
#include "model/Movie.h"
#include "player/PlayerContext.h"
#include "player/ShapeInstance.h"

namespace swf {

namespace {

constexpr int32_t kGutter = 2 * kTwipsPerPixel;  // the runtime keeps 2 px between border and text

std::string lowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Decodes UTF-8 (files of version 6 on); a stray byte counts as one Latin-1 character.
std::vector<uint16_t> toCodes(const std::string& text) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < text.size();) {
        auto c = static_cast<unsigned char>(text[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        uint32_t code = extra == 0 ? c : c & (0x3F >> extra);
        bool valid = true;
        for (int k = 1; valid && k <= extra; ++k) {
            if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) valid = false;
            else code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
        }
        if (!valid) {
            out.push_back(c);
            ++i;
            continue;
        }
        out.push_back(static_cast<uint16_t>(code > 0xFFFF ? 0xFFFD : code));
        i += extra + 1;
    }
    return out;
}

ShapeDef rectangleAt(const Rect& r, const FillStyle& fill, const LineStyle* line = nullptr) {
    ShapeDef box = rectangleShape(r.width(), r.height(), fill, line);
    for (Path& p : box.paths) {
        p.start = {p.start.x + r.xMin, p.start.y + r.yMin};
        for (Segment& s : p.segments) s.to = {s.to.x + r.xMin, s.to.y + r.yMin};
    }
    return box;
}

}  // namespace

std::string plainTextFromHtml(const std::string& html) {
    std::string out;
    for (size_t i = 0; i < html.size();) {
        if (html[i] == '<') {
            size_t close = html.find('>', i);
            if (close == std::string::npos) break;
            std::string tag = lowerCase(html.substr(i + 1, close - i - 1));
            if (tag.rfind("br", 0) == 0 || tag == "/p" || tag == "/li") out.push_back('\n');
            i = close + 1;
        } else if (html[i] == '&') {
            static const std::pair<const char*, char> kEntities[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}, {"&nbsp;", ' '}};
            bool matched = false;
            for (const auto& [name, ch] : kEntities) {
                size_t n = std::char_traits<char>::length(name);
                if (html.compare(i, n, name) == 0) {
                    out.push_back(ch);
                    i += n;
                    matched = true;
                    break;
                }
            }
            if (!matched) out.push_back(html[i++]);
        } else {
            out.push_back(html[i++]);
        }
    }
    while (!out.empty() && out.back() == '\n') out.pop_back();  // the last paragraph adds no line
    return out;
}

EditTextInstance::EditTextInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const EditTextDef> def)
    : DisplayObject(context, characterId), def_(std::move(def)) {
    const std::string& initial = def_->initialText.value_or(std::string());
    text_ = def_->html ? plainTextFromHtml(initial) : initial;
    if (def_->border) {
        FillStyle background;
        background.color = {255, 255, 255, 255};
        LineStyle outline;
        outline.width = 0;
        outline.color = {0, 0, 0, 255};
        ShapeDef box = rectangleAt(def_->bounds, background, &outline);
        box.bounds = {def_->bounds.xMin - 20, def_->bounds.xMax + 20, def_->bounds.yMin - 20, def_->bounds.yMax + 20};
        box.edgeBounds = def_->bounds;
        frame_ = std::make_shared<const ShapeDef>(std::move(box));
    }
    const FontDef* font = def_->fontId ? context.dictionary().get<FontDef>(*def_->fontId) : nullptr;
    // Without the outlines flag the runtime draws with the machine's font of that name even
    // when the movie embeds one.
    if (def_->useOutlines && font && hasOutlines(*font)) {
        layout(*font);
    } else if (!text_.empty()) {
        std::vector<uint16_t> codes = toCodes(text_);
        codes.push_back(' ');  // word wrap breaks at spaces even when the text has none yet
        deviceFont_ = lookUpDeviceFont(context.host(), font, std::move(codes));
        if (deviceFont_) layout(*deviceFont_);
    }
    clipWhenOverflowing();
}

void EditTextInstance::layout(const FontDef& font) {
    const double height = def_->height.value_or(240);
    const double scale = height / font.emSquare();
    const EditTextLayout lay = def_->layout.value_or(EditTextLayout{});
    const double left = def_->bounds.xMin + kGutter + lay.leftMargin;
    const double right = def_->bounds.xMax - kGutter - lay.rightMargin;
    const double ascent = font.layout ? font.layout->ascent * scale : height * 0.8;
    const double descent = font.layout ? font.layout->descent * scale : height * 0.2;
    const double lineStep = ascent + descent + lay.leading;
    const Rgba color = def_->color.value_or(Rgba{0, 0, 0, 255});

    auto advanceOf = [&](int glyph) -> double {
        if (font.layout && glyph < static_cast<int>(font.layout->advances.size())) return font.layout->advances[glyph] * scale;
        if (glyph < static_cast<int>(font.glyphs.size())) return font.glyphs[glyph].bounds.xMax * scale;
        return 0;
    };

    // Break the text into lines of glyph indexes, honouring explicit breaks and word wrap.
    struct Line { std::vector<int> glyphs; std::vector<double> advances; double width = 0; };
    std::vector<Line> lines(1);
    const bool wrap = def_->wordWrap;
    for (uint16_t code : toCodes(text_)) {
        if (code == '\r' || code == '\n') {
            lines.emplace_back();
            continue;
        }
        int glyph = font.glyphIndex(code);
        double adv = glyph >= 0 ? advanceOf(glyph) : 0;
        Line& line = lines.back();
        if (wrap && line.width + adv > right - left - lay.indent && !line.glyphs.empty() && code != ' ') {
            // Move the word under construction (after the last space) onto a new line.
            int space = font.glyphIndex(' ');
            auto cut = std::find(line.glyphs.rbegin(), line.glyphs.rend(), space);
            Line next;
            if (space >= 0 && cut != line.glyphs.rend()) {
                size_t keep = static_cast<size_t>(line.glyphs.rend() - cut);
                next.glyphs.assign(line.glyphs.begin() + keep, line.glyphs.end());
                next.advances.assign(line.advances.begin() + keep, line.advances.end());
                line.glyphs.resize(keep);
                line.advances.resize(keep);
                line.width = 0;
                for (double a : line.advances) line.width += a;
                for (double a : next.advances) next.width += a;
            }
            lines.push_back(std::move(next));
        }
        Line& target = lines.back();
        target.glyphs.push_back(glyph);
        target.advances.push_back(adv);
        target.width += adv;
    }

    double baseline = def_->bounds.yMin + kGutter + ascent;
    for (size_t n = 0; n < lines.size(); ++n, baseline += lineStep) {
        const Line& line = lines[n];
        double x = left + (n == 0 ? lay.indent : 0);
        if (lay.align == TextAlign::Right) x = right - line.width;
        else if (lay.align == TextAlign::Center) x = left + (right - left - line.width) / 2;
        for (size_t i = 0; i < line.glyphs.size(); ++i) {
            int g = line.glyphs[i];
            if (g >= 0 && g < static_cast<int>(font.glyphs.size()))
                glyphs_.push_back({&font.glyphs[g], Matrix{scale, 0, 0, scale, x, baseline}, color});
            x += line.advances[i];
        }
    }
}

void EditTextInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    if (frame_) out.shape(*frame_, toStage, cx, DrawListBuilder::partKey(serial(), 0));
    // A field shows only what lies inside its bounds. Inside a mask under construction the
    // glyphs themselves are the mask's geometry, so no clip is opened there.
    const bool clip = clip_ && !out.buildingMask();
    if (clip) {
        out.beginMask(DrawListBuilder::partKey(serial(), 1));
        out.shape(*clip_, toStage, cx, DrawListBuilder::partKey(serial(), 1));
        out.endMask();
    }
    emitGlyphs(glyphs_, serial(), 2, out, toStage, cx);
    if (clip) out.popMask();
}

void EditTextInstance::clipWhenOverflowing() {
    const Rect& field = def_->bounds;
    auto outside = [&](const PlacedGlyph& g) {
        const Rect& b = g.glyph->bounds;
        double xs[2], ys[2];
        g.matrix.apply(b.xMin, b.yMin, xs[0], ys[0]);
        g.matrix.apply(b.xMax, b.yMax, xs[1], ys[1]);
        return std::min(xs[0], xs[1]) < field.xMin || std::max(xs[0], xs[1]) > field.xMax ||
               std::min(ys[0], ys[1]) < field.yMin || std::max(ys[0], ys[1]) > field.yMax;
    };
    if (std::none_of(glyphs_.begin(), glyphs_.end(), outside)) return;
    FillStyle fill;
    fill.color = {0, 0, 0, 255};
    ShapeDef box = rectangleAt(field, fill);
    box.bounds = box.edgeBounds = field;
    clip_ = std::make_shared<const ShapeDef>(std::move(box));
}

bool EditTextInstance::hitTestLocal(double x, double y) const {
    const Rect& b = def_->bounds;
    return x >= b.xMin && x <= b.xMax && y >= b.yMin && y <= b.yMax;
}

}  // namespace swf
