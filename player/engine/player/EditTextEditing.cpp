// Editing a text field: its selection, and text put in place of it by a user typing or
// pasting (filtered by the field's settings) or by a script.
#include <algorithm>

#include "avm1/Strings.h"
#include "player/EditTextInstance.h"
#include "player/TextRestriction.h"

namespace swf {

void EditTextInstance::setSelection(size_t anchor, size_t caret) {
    const size_t length = avm1::utf16Length(text_);
    selected_ = true;
    anchor_ = std::min(anchor, length);
    caret_ = std::min(caret, length);
}

void EditTextInstance::selectAll() { setSelection(0, SIZE_MAX); }

std::string EditTextInstance::selectedText() const {
    return avm1::toUtf8(avm1::toUtf16(text_).substr(selectionBegin(), selectionEnd() - selectionBegin()));
}

void EditTextInstance::replaceSelection(const std::string& text) {
    const size_t begin = selectionBegin(), end = selectionEnd();
    const std::u16string inserted = avm1::toUtf16(text);
    std::vector<StyledRun> out;
    bool placed = inserted.empty();
    size_t at = 0;
    for (const StyledRun& run : runs_) {
        const std::u16string units = avm1::toUtf16(run.text);
        const size_t from = std::clamp(begin, at, at + units.size()) - at;
        const size_t to = std::clamp(end, at, at + units.size()) - at;
        if (from > 0) out.push_back({avm1::toUtf8(units.substr(0, from)), run.style});
        // New text takes the style of the character before it (the first run's at the start).
        if (!placed && begin >= at && begin <= at + units.size()) {
            out.push_back({text, run.style});
            placed = true;
        }
        if (to < units.size()) out.push_back({avm1::toUtf8(units.substr(to)), run.style});
        at += units.size();
    }
    if (!placed) out.push_back({text, newTextStyle(html_)});
    runs_.clear();
    for (StyledRun& run : out) {
        if (run.text.empty()) continue;
        if (!runs_.empty() && runs_.back().style == run.style) runs_.back().text += run.text;
        else runs_.push_back(std::move(run));
    }
    relayout();
    // What a bound variable takes from now on: markup no longer describes the text.
    source_ = text_;
    // A field with no selection keeps none: a script's replaceSel does not give it one.
    const size_t caret = begin + inserted.size();
    if (selected_) setSelection(caret, caret);
}

bool EditTextInstance::typeText(const std::string& typed) {
    std::optional<TextRestriction> restriction;
    if (restrict_) restriction.emplace(*restrict_);
    std::u16string accepted;
    const std::u16string units = avm1::toUtf16(typed);
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < units.size()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        }
        if (c == U'\r' || c == U'\n') {
            if (c == U'\n' && i > 0 && units[i - 1] == u'\r') continue;  // "\r\n" is one break
            if (def_.multiline) accepted += u'\r';
            continue;
        }
        if (restriction) {
            std::optional<char32_t> admitted = restriction->admit(c);
            if (!admitted) continue;
            c = *admitted;
        }
        if (c >= 0x10000) {
            accepted += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            accepted += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            accepted += static_cast<char16_t>(c);
        }
    }
    // maxChars counts the text that stays: the selection goes.
    if (def_.maxLength && *def_.maxLength > 0) {
        const size_t kept = avm1::utf16Length(text_) - (selectionEnd() - selectionBegin());
        const size_t room = *def_.maxLength > kept ? *def_.maxLength - kept : 0;
        if (accepted.size() > room) accepted.resize(room);
        if (!accepted.empty() && accepted.back() >= 0xD800 && accepted.back() < 0xDC00) accepted.pop_back();
    }
    if (accepted.empty()) return false;
    replaceSelection(avm1::toUtf8(accepted));
    return true;
}

}  // namespace swf
