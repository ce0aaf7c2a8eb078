#include "framework/Picture.h"

#include "framework/Bitmap.h"
#include "framework/Errors.h"
#include "framework/FileStream.h"
#include "framework/JpegImage.h"
#include "framework/MemoryStream.h"
#include "framework/Text.h"

namespace vm {

namespace {
std::vector<TPicture::Format>& Formats() {
    static std::vector<TPicture::Format> formats{
        {"bmp", "Bitmaps", [] { return std::make_unique<TBitmap>(); }}};
    return formats;
}

std::string ExtensionOf(const std::string& path) {
    auto slash = path.find_last_of("\\/");
    auto dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return LowerCase(path.substr(dot + 1));
}

// Graphic classes that window definitions may name in picture data.
std::unique_ptr<TGraphic> CreateGraphicClass(const std::string& name) {
    if (SameText(name, "TBitmap")) return std::make_unique<TBitmap>();
    if (SameText(name, "TJPEGImage")) return std::make_unique<TJPEGImage>();
    return nullptr;
}
} // namespace

void TPicture::RegisterFileFormat(const std::string& extension, const std::string& description, Factory factory) {
    std::string ext = LowerCase(extension);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    UnregisterFileFormat(ext);
    Formats().push_back({ext, description, std::move(factory)});
}

void TPicture::UnregisterFileFormat(const std::string& extension) {
    std::string ext = LowerCase(extension);
    std::erase_if(Formats(), [&](const Format& f) { return f.extension == ext; });
}

std::vector<TPicture::Format> TPicture::FileFormats() { return Formats(); }

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (OnChange) OnChange();
}

void TPicture::LoadFromFile(const std::string& path) {
    std::string ext = ExtensionOf(path);
    const Format* format = nullptr;
    for (const auto& f : Formats())
        if (f.extension == ext) format = &f;
    if (!format) throw EInvalidGraphic("Unknown picture file extension (." + ext + ") of \"" + path + "\"");
    std::unique_ptr<TGraphic> graphic = format->create();
    try {
        graphic->LoadFromFile(path);
    } catch (const EInvalidGraphic& e) {
        throw EInvalidGraphic(std::string(e.what()) + " (\"" + path + "\")");
    }
    SetGraphic(std::move(graphic));
}

std::vector<std::uint8_t> TPicture::Data() const {
    if (!graphic_) return {};
    std::string name = graphic_->ClassName();
    TMemoryStream stream;
    auto length = static_cast<std::uint8_t>(name.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(name.data(), name.size());
    graphic_->SaveToStream(stream);
    return stream.Bytes();
}

void TPicture::SetData(const std::vector<std::uint8_t>& data) {
    if (data.empty()) { Clear(); return; }
    std::size_t length = data[0];
    if (1 + length > data.size()) throw EInvalidGraphic("Picture data is not valid (truncated class name)");
    std::string name(data.begin() + 1, data.begin() + 1 + static_cast<std::ptrdiff_t>(length));
    std::unique_ptr<TGraphic> graphic = CreateGraphicClass(name);
    if (!graphic) throw EInvalidGraphic("Picture data names an unknown graphic class '" + name + "'");
    TMemoryStream stream(std::vector<std::uint8_t>(data.begin() + 1 + static_cast<std::ptrdiff_t>(length), data.end()));
    graphic->LoadFromStream(stream);
    SetGraphic(std::move(graphic));
}

} // namespace vm
