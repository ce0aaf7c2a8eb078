#pragma once
// What the container needs to know of the COM class it hosts: one static record per class.
#include <windows.h>

#include <cstdint>

namespace vm {

enum TStockPropertyFlag : std::uint32_t {
    spBackColor = 1, spForeColor = 2, spFont = 4, spEnabled = 8,
};
enum TClientSiteOption : std::uint32_t {
    csoGiveSiteAtCreation = 1,    // give the client site while creating, asked for or not
    csoNeverGiveSiteAtCreation = 2,
};

struct ControlDescription {
    CLSID classId;
    IID eventInterfaceId;
    int eventCount;
    const int* eventDispIds;      // entry i belongs to handler slot i
    std::uint32_t stockProperties;    // TStockPropertyFlag bits pulled once at connection
    int version;
    std::uint32_t clientSiteOptions;  // TClientSiteOption bits
};

} // namespace vm
