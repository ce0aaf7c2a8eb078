#pragma once
// Device fonts for the command-line tools: TrueType files of this machine stand in for the
// fonts a movie names without embedding. Families map onto three faces: "_serif" and the
// common serif names to serif, "_typewriter" and the common fixed-pitch names to mono, all
// else to sans. A missing or unreadable file simply leaves its text undrawn.
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "font/TrueTypeFont.h"
#include "player/Host.h"

namespace swf::tools {

class DeviceFontFiles {
public:
    // `folder` holds the DejaVu files (Debian's fonts-dejavu-core).
    explicit DeviceFontFiles(std::filesystem::path folder = "/usr/share/fonts/truetype/dejavu");

    std::shared_ptr<const FontDef> find(const DeviceFontRequest& request);

private:
    const TrueTypeFont* load(const std::string& fileName);

    std::filesystem::path folder_;
    std::map<std::string, std::unique_ptr<TrueTypeFont>> loaded_;  // null: tried and failed
};

// A host that answers device-font requests from DeviceFontFiles and drops everything else.
class DeviceFontHost : public Host {
public:
    std::shared_ptr<const FontDef> deviceFont(const DeviceFontRequest& request) override { return fonts_.find(request); }

private:
    DeviceFontFiles fonts_;
};

}  // namespace swf::tools
