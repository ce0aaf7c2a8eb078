#include "framework/StringList.h"

#include <algorithm>

#include "framework/Errors.h"
#include "framework/FileStream.h"
#include "framework/Text.h"

namespace vm {

namespace {
int CompareText(std::string_view a, std::string_view b) {
    std::string ua = UpperCase(a), ub = UpperCase(b);
    return ua < ub ? -1 : ua > ub ? 1 : 0;
}
} // namespace

const std::string& TStringList::operator[](int index) const {
    if (index < 0 || index >= Count()) throw EVelmoraError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<std::size_t>(index)];
}

void TStringList::Put(int index, const std::string& text) {
    if (sorted_) throw EVelmoraError("Operation not allowed on a sorted list");
    (void)(*this)[index];
    items_[static_cast<std::size_t>(index)] = text;
    Changed(TChange::Replaced, index);
}

int TStringList::FindSortedPosition(std::string_view text, bool& found) const {
    auto it = std::lower_bound(items_.begin(), items_.end(), text,
                               [](const std::string& a, std::string_view b) { return CompareText(a, b) < 0; });
    found = it != items_.end() && CompareText(*it, text) == 0;
    return static_cast<int>(it - items_.begin());
}

int TStringList::Add(const std::string& text) {
    int index = Count();
    if (sorted_) {
        bool found = false;
        index = FindSortedPosition(text, found);
        if (found && duplicates_ == TDuplicates::dupIgnore) return index;
        if (found && duplicates_ == TDuplicates::dupError)
            throw EVelmoraError("String list does not allow duplicates ('" + text + "')");
    } else if (duplicates_ != TDuplicates::dupAccept) {
        int existing = IndexOf(text);
        if (existing >= 0 && duplicates_ == TDuplicates::dupIgnore) return existing;
        if (existing >= 0) throw EVelmoraError("String list does not allow duplicates ('" + text + "')");
    }
    items_.insert(items_.begin() + index, text);
    Changed(TChange::Added, index);
    return index;
}

void TStringList::Insert(int index, const std::string& text) {
    if (sorted_) throw EVelmoraError("Operation not allowed on a sorted list");
    if (index < 0 || index > Count()) throw EVelmoraError("List index out of bounds (" + std::to_string(index) + ")");
    items_.insert(items_.begin() + index, text);
    Changed(TChange::Added, index);
}

void TStringList::Delete(int index) {
    (void)(*this)[index];
    items_.erase(items_.begin() + index);
    Changed(TChange::Deleted, index);
}

void TStringList::Clear() {
    if (items_.empty()) return;
    items_.clear();
    Changed();
}

void TStringList::Exchange(int a, int b) {
    if (sorted_) throw EVelmoraError("Operation not allowed on a sorted list");
    (void)(*this)[a];
    (void)(*this)[b];
    std::swap(items_[static_cast<std::size_t>(a)], items_[static_cast<std::size_t>(b)]);
    Changed();
}

int TStringList::IndexOf(std::string_view text) const {
    if (sorted_) {
        bool found = false;
        int i = FindSortedPosition(text, found);
        return found ? i : -1;
    }
    for (std::size_t i = 0; i < items_.size(); ++i)
        if (CompareText(items_[i], text) == 0) return static_cast<int>(i);
    return -1;
}

void TStringList::Assign(const std::vector<std::string>& items) {
    BeginUpdate();
    items_.clear();
    changedInUpdate_ = true;
    for (const auto& s : items) Add(s);
    EndUpdate();
}

void TStringList::SetSorted(bool sorted) {
    if (sorted == sorted_) return;
    sorted_ = sorted;
    if (sorted_) Sort();
}

void TStringList::Sort() {
    std::stable_sort(items_.begin(), items_.end(), [](const std::string& a, const std::string& b) { return CompareText(a, b) < 0; });
    Changed();
}

std::string TStringList::Text() const {
    std::string out;
    for (const auto& s : items_) out += s + "\r\n";
    return out;
}

void TStringList::SetText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.emplace_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    Assign(lines);
}

std::string TStringList::CommaText() const {
    std::string out;
    for (const auto& s : items_) {
        if (!out.empty()) out += ',';
        bool quote = s.empty() || s.find_first_of(" ,\"") != std::string::npos;
        if (!quote) { out += s; continue; }
        out += '"';
        for (char c : s) { if (c == '"') out += '"'; out += c; }
        out += '"';
    }
    return out;
}

void TStringList::SetCommaText(std::string_view text) {
    std::vector<std::string> items;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        std::string item;
        if (i < text.size() && text[i] == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') { item += '"'; i += 2; continue; }
                    ++i;
                    break;
                }
                item += text[i++];
            }
            while (i < text.size() && text[i] != ',') ++i;
        } else {
            while (i < text.size() && text[i] != ',' && text[i] != ' ') item += text[i++];
            while (i < text.size() && text[i] == ' ') ++i;
        }
        items.push_back(item);
        if (i < text.size() && text[i] == ',') {
            ++i;
            if (i == text.size()) items.emplace_back();
        }
    }
    Assign(items);
}

std::string TStringList::Values(std::string_view name) const {
    for (const auto& s : items_) {
        auto eq = s.find('=');
        if (eq != std::string::npos && CompareText(std::string_view(s).substr(0, eq), name) == 0) return s.substr(eq + 1);
    }
    return {};
}

void TStringList::SetValue(std::string_view name, const std::string& value) {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        auto eq = items_[i].find('=');
        if (eq != std::string::npos && CompareText(std::string_view(items_[i]).substr(0, eq), name) == 0) {
            if (value.empty()) Delete(static_cast<int>(i));
            else { items_[i] = std::string(name) + "=" + value; Changed(); }
            return;
        }
    }
    if (!value.empty()) Add(std::string(name) + "=" + value);
}

void TStringList::LoadFromStream(TStream& stream) { SetText(stream.ReadAll()); }

void TStringList::SaveToStream(TStream& stream) const {
    std::string text = Text();
    stream.WriteBuffer(text.data(), text.size());
}

void TStringList::LoadFromFile(const std::string& path) {
    TFileStream file(path, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(file);
}

void TStringList::SaveToFile(const std::string& path) const {
    TFileStream file(path, fmCreate);
    SaveToStream(file);
}

void TStringList::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0 && changedInUpdate_) {
        changedInUpdate_ = false;
        lastChange_ = TChange{};
        if (OnChange) OnChange();
    }
}

void TStringList::Changed(TChange::Kind kind, int index) {
    if (updateCount_ > 0) { changedInUpdate_ = true; return; }
    lastChange_ = TChange{kind, index};
    if (OnChange) OnChange();
    lastChange_ = TChange{};
}

} // namespace vm
