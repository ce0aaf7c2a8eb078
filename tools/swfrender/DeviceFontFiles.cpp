#include "DeviceFontFiles.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>

#include "core/DecodeFailure.h"
#include "font/TrueTypeDeviceFont.h"

namespace swf::tools {

namespace {

enum class Face { Sans, Serif, Mono };

std::string lowerCase(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

Face faceOf(const std::string& family) {
    static const char* const kSerif[] = {"_serif", "times new roman", "times", "georgia", "garamond", "serif"};
    static const char* const kMono[] = {"_typewriter", "courier new", "courier", "lucida console", "consolas",
                                        "monospace"};
    const std::string name = lowerCase(family);
    if (std::find(std::begin(kSerif), std::end(kSerif), name) != std::end(kSerif)) return Face::Serif;
    if (std::find(std::begin(kMono), std::end(kMono), name) != std::end(kMono)) return Face::Mono;
    return Face::Sans;
}

std::string fileNameOf(Face face, bool bold, bool italic) {
    const char* base = face == Face::Serif ? "DejaVuSerif" : face == Face::Mono ? "DejaVuSansMono" : "DejaVuSans";
    const char* slant = face == Face::Serif ? "Italic" : "Oblique";
    std::string name = base;
    if (bold || italic) name += std::string("-") + (bold ? "Bold" : "") + (italic ? slant : "");
    return name + ".ttf";
}

}  // namespace

DeviceFontFiles::DeviceFontFiles(std::filesystem::path folder) : folder_(std::move(folder)) {}

const TrueTypeFont* DeviceFontFiles::load(const std::string& fileName) {
    auto found = loaded_.find(fileName);
    if (found != loaded_.end()) return found->second.get();
    std::unique_ptr<TrueTypeFont> font;
    std::ifstream in(folder_ / fileName, std::ios::binary);
    if (in) {
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        try {
            font = std::make_unique<TrueTypeFont>(std::move(bytes));
        } catch (const DecodeFailure&) {
            font.reset();  // a damaged file draws no text rather than stopping the tool
        }
    }
    return (loaded_[fileName] = std::move(font)).get();
}

std::shared_ptr<const FontDef> DeviceFontFiles::find(const DeviceFontRequest& request) {
    const Face face = faceOf(request.family);
    const TrueTypeFont* font = load(fileNameOf(face, request.bold, request.italic));
    // A style the machine lacks falls back to the plain face, as a system font mapper does.
    if (!font && (request.bold || request.italic)) font = load(fileNameOf(face, false, false));
    if (!font) return nullptr;
    return fontDefFromTrueType(*font, request.family, request.bold, request.italic, request.codes);
}

}  // namespace swf::tools
