#include "flashhost/FlashList.h"

#include "flashhost/FlashStreamFormat.h"
#include "framework/ComponentClasses.h"
#include "framework/Errors.h"
#include "framework/Text.h"

namespace vm {

namespace {
constexpr const char* kEmptyStoreName = "(empty)";
}

// ---- TsfFlashStream --------------------------------------------------------------------------

TsfFlashStream::TsfFlashStream()
    : TComponent(nullptr), stream_(std::make_unique<TMemoryStream>()), storeName_(kEmptyStoreName) {}

const TPropertyTable& TsfFlashStream::ClassProperties() {
    using C = TsfFlashStream;
    // An item is no component of a form: it publishes only what is stored for it, the shown
    // name first.
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.Text<C>("FlashStore", &C::FlashStore, &C::SetFlashStore);
        t.Integer<C>("Tag", &C::Tag, &C::SetTag);
        t.Add<C>("FlashStream", TValueKind::Binary,
                 [](const C& c) { return TValue::MakeBinary(c.FlashStreamData()); },
                 [](C& c, const TValue& v) { c.SetFlashStreamData(v.AsBinary()); });
        return t;
    }();
    return table;
}

std::string TsfFlashStream::FlashStore() const {
    return stream_->Size() == 0 ? std::string(kEmptyStoreName) : storeName_;
}

std::vector<std::uint8_t> TsfFlashStream::FlashStreamData() const {
    return EncodeStoredMovie(storeName_, stream_->Bytes());
}

void TsfFlashStream::SetFlashStreamData(const std::vector<std::uint8_t>& block) {
    std::optional<TStoredMovie> movie = DecodeStoredMovie(block);
    if (!movie) return;
    stream_ = std::make_unique<TMemoryStream>(std::move(movie->bytes));
    storeName_ = std::move(movie->name);
}

// ---- TsfFlashCollection ------------------------------------------------------------------------

TsfFlashStream& TsfFlashCollection::Items(int index) const {
    if (index < 0 || index >= Count())
        throw EInvalidOperation("Flash list index " + std::to_string(index) + " out of range (" +
                                std::to_string(Count()) + " items)");
    return *items_[static_cast<std::size_t>(index)];
}

TsfFlashStream& TsfFlashCollection::Add() {
    items_.push_back(std::make_unique<TsfFlashStream>());
    return *items_.back();
}

void TsfFlashCollection::Delete(int index) {
    Items(index);   // range check
    items_.erase(items_.begin() + index);
}

TsfFlashStream* TsfFlashCollection::FindByName(const std::string& name) const {
    for (const auto& item : items_)
        if (SameText(item->FlashStore(), name)) return item.get();
    return nullptr;
}

TValue TsfFlashCollection::Value() const {
    std::vector<TCollectionItem> items;
    for (const auto& item : items_) {
        TCollectionItem stored;
        for (const TPropertyInfo* property : item->Properties().All())
            stored.properties.emplace_back(property->name, property->get(*item));
        items.push_back(std::move(stored));
    }
    return TValue::MakeCollection(std::move(items));
}

void TsfFlashCollection::SetValue(const TValue& value) {
    std::vector<std::unique_ptr<TsfFlashStream>> read;
    for (const TCollectionItem& stored : value.AsCollection()) {
        auto item = std::make_unique<TsfFlashStream>();
        for (const auto& [name, propertyValue] : stored.properties) {
            try {
                item->SetProperty(name, propertyValue);
            } catch (const EVelmoraError& e) {
                throw EPropertyError("Flash list item " + std::to_string(read.size()) + ", " + name + ": " + e.what());
            }
        }
        read.push_back(std::move(item));
    }
    items_ = std::move(read);
}

// ---- TsfFlashList ------------------------------------------------------------------------------

TsfFlashList::TsfFlashList(TComponent* owner)
    : TComponent(owner), flashs_(std::make_unique<TsfFlashCollection>()) {}

const TPropertyTable& TsfFlashList::ClassProperties() {
    using C = TsfFlashList;
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::ClassProperties());
        t.Add<C>("Flashs", TValueKind::Collection, [](const C& c) { return c.Flashs().Value(); },
                 [](C& c, const TValue& v) { c.Flashs().SetValue(v); });
        return t;
    }();
    return table;
}

void RegisterFlashListClass() {
    RegisterComponentClass<TsfFlashList>("TsfFlashList");
}

// ---- FlashIndex ---------------------------------------------------------------------------------

TFlashIndexChoice ChooseFlashIndex(int requested, int count) {
    if (count <= 0 || requested < 0) return {requested, std::nullopt};
    int index = requested >= count - 1 ? count - 1 : requested;
    return {index, index};
}

} // namespace vm
