#pragma once
// Movies held in memory and stored in window definitions: a TsfFlashList component owns a
// TsfFlashCollection of TsfFlashStream items. A player plays an item by index (FlashIndex) and
// serves items by name to the movies it plays.
//
// In a definition the list reads
//   object FlashList1: TsfFlashList
//     Flashs = <
//       item
//         FlashStore = 'intro.swf'       (written for the reader's eyes, ignored when read)
//         Tag = 0
//         FlashStream = {03...}          (kind, name and movie bytes: FlashStreamFormat.h)
//       end>
//   end
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/MemoryStream.h"

namespace vm {

class TsfFlashStream : public TComponent {
public:
    TsfFlashStream();
    std::string ClassName() const override { return "TsfFlashStream"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TMemoryStream& Stream() { return *stream_; }
    const TMemoryStream& Stream() const { return *stream_; }
    // The name the item was stored under; changes only when stored data is read.
    const std::string& StoreName() const { return storeName_; }
    const std::string& DisplayName() const { return storeName_; }
    // "(empty)" while the stream holds no bytes, else StoreName.
    std::string FlashStore() const;
    // The name comes with the movie in FlashStream, so a FlashStore read back changes nothing.
    void SetFlashStore(const std::string&) {}

    // The binary property "FlashStream". Reading refuses damaged data with EPropertyError and
    // then leaves the item as it was.
    std::vector<std::uint8_t> FlashStreamData() const;
    void SetFlashStreamData(const std::vector<std::uint8_t>& block);

private:
    std::unique_ptr<TMemoryStream> stream_;
    std::string storeName_;
};

class TsfFlashCollection {
public:
    TsfFlashCollection() = default;
    TsfFlashCollection(const TsfFlashCollection&) = delete;
    TsfFlashCollection& operator=(const TsfFlashCollection&) = delete;

    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EInvalidOperation naming the index when it is out of range.
    TsfFlashStream& Items(int index) const;
    TsfFlashStream& Add();
    void Delete(int index);
    void Clear() { items_.clear(); }

    // The first item, in index order, whose FlashStore equals name ignoring letter case.
    TsfFlashStream* FindByName(const std::string& name) const;

    // The collection as a definition value, and back. Setting is all or nothing: an item that
    // cannot be read raises EPropertyError naming it, and the collection keeps what it held.
    TValue Value() const;
    void SetValue(const TValue& value);

private:
    std::vector<std::unique_ptr<TsfFlashStream>> items_;
};

class TsfFlashList : public TComponent {
public:
    explicit TsfFlashList(TComponent* owner);
    std::string ClassName() const override { return "TsfFlashList"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    TsfFlashCollection& Flashs() { return *flashs_; }
    const TsfFlashCollection& Flashs() const { return *flashs_; }
    TsfFlashStream* FindByName(const std::string& name) const { return flashs_->FindByName(name); }

private:
    std::unique_ptr<TsfFlashCollection> flashs_;
};

// Makes "TsfFlashList" known to window definitions.
void RegisterFlashListClass();

// What setting FlashIndex to `requested` does on a list of `count` items (count < 0: no list
// attached): the index the player then holds, and the item it plays, if any. A negative
// request, no list or an empty list plays nothing; a request past the end plays the last item.
struct TFlashIndexChoice {
    int index;
    std::optional<int> play;
};
TFlashIndexChoice ChooseFlashIndex(int requested, int count);

} // namespace vm
