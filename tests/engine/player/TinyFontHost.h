#pragma once
// A host that serves the tiny TrueType font (see font/TinyTrueType.h) for every device-font
// family and remembers what was asked.
#include <memory>
#include <vector>

#include "../font/TinyTrueType.h"
#include "font/TrueTypeDeviceFont.h"
#include "player/Host.h"

namespace swf::testing {

class TinyFontHost : public Host {
public:
    std::shared_ptr<const FontDef> deviceFont(const DeviceFontRequest& request) override {
        requests.push_back(request);
        return fontDefFromTrueType(font, request.family, request.bold, request.italic, request.codes);
    }
    TrueTypeFont font{tinyTrueType()};
    std::vector<DeviceFontRequest> requests;
};

}  // namespace swf::testing
