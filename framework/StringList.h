#pragma once
// TStringList: an ordered list of 8-bit strings, optionally sorted (case-insensitive) and
// duplicate-free, with the text form "one line per item" (CRLF written; CR, LF or CRLF read).
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vm {

class TStream;

enum class TDuplicates { dupAccept, dupIgnore, dupError };

class TStringList {
public:
    TStringList() = default;
    TStringList(std::initializer_list<std::string> items) : items_(items) {}

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& operator[](int index) const;     // EVelmoraError "List index out of bounds (n)"
    const std::string& Strings(int index) const { return (*this)[index]; }
    void Put(int index, const std::string& text);
    int Add(const std::string& text);                   // index of the new (or, dupIgnore, existing) item
    void Insert(int index, const std::string& text);    // not allowed on a sorted list
    void Delete(int index);
    void Clear();
    void Exchange(int a, int b);
    int IndexOf(std::string_view text) const;           // case-insensitive; -1 if absent
    void Assign(const std::vector<std::string>& items);
    const std::vector<std::string>& Items() const { return items_; }

    bool Sorted() const { return sorted_; }
    void SetSorted(bool sorted);
    void Sort();
    TDuplicates Duplicates() const { return duplicates_; }
    void SetDuplicates(TDuplicates d) { duplicates_ = d; }

    std::string Text() const;
    void SetText(std::string_view text);
    std::string CommaText() const;
    void SetCommaText(std::string_view text);
    // "Name=Value" items.
    std::string Values(std::string_view name) const;
    void SetValue(std::string_view name, const std::string& value);

    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    void LoadFromFile(const std::string& path);
    void SaveToFile(const std::string& path) const;

    // Batch changes: OnChange fires once at the outermost EndUpdate.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    std::function<void()> OnChange;

    // What the change being reported through OnChange was: one item added, deleted or
    // replaced at Index, or anything else (Reset, also after a batch).
    struct TChange { enum Kind { Reset, Added, Deleted, Replaced } kind = Reset; int index = -1; };
    TChange LastChange() const { return lastChange_; }

private:
    void Changed(TChange::Kind kind = TChange::Reset, int index = -1);
    int FindSortedPosition(std::string_view text, bool& found) const;
    std::vector<std::string> items_;
    bool sorted_ = false;
    TDuplicates duplicates_ = TDuplicates::dupAccept;
    int updateCount_ = 0;
    bool changedInUpdate_ = false;
    TChange lastChange_;
};

} // namespace vm
