#pragma once
// TPicture: holds one graphic of any registered format. Files are opened by extension through
// a process-wide format registry: "bmp" is known from the start; other formats become
// loadable when registered, e.g. RegisterFileFormat<TJPEGImage>("jpg", "JPEG Image").
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Graphic.h"

namespace vm {

class TPicture {
public:
    using Factory = std::function<std::unique_ptr<TGraphic>()>;
    struct Format { std::string extension, description; Factory create; };

    static void RegisterFileFormat(const std::string& extension, const std::string& description, Factory factory);
    template <class G> static void RegisterFileFormat(const std::string& extension, const std::string& description) {
        RegisterFileFormat(extension, description, [] { return std::make_unique<G>(); });
    }
    static void UnregisterFileFormat(const std::string& extension);
    static std::vector<Format> FileFormats();

    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    bool Empty() const { return !graphic_ || graphic_->Empty(); }
    // Unknown extension or corrupt file: EInvalidGraphic naming the file; the picture keeps
    // what it showed before.
    void LoadFromFile(const std::string& path);
    void Clear() { SetGraphic(nullptr); }

    // The binary form kept in window definitions: length-prefixed class name, then the
    // graphic's file bytes.
    std::vector<std::uint8_t> Data() const;
    void SetData(const std::vector<std::uint8_t>& data);

    std::function<void()> OnChange;

private:
    std::unique_ptr<TGraphic> graphic_;
};

} // namespace vm
