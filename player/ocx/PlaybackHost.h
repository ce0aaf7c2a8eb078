#pragma once
// The engine's view of the control: requests from the movie go to the playback's owner as
// wide strings, the clock is the performance counter, device fonts come from GDI.
#include <cstdint>

#include "player/Host.h"
#include "player/ocx/GdiDeviceFonts.h"
#include "player/ocx/LocalDataStore.h"

namespace vm::flash {

class PlaybackOwner;

class PlaybackHost final : public swf::Host {
public:
    PlaybackHost(PlaybackOwner& owner, std::uint8_t swfVersion);

    void getUrl(const std::string& url, const std::string& target, swf::UrlMethod method) override;
    void fsCommand(const std::string& command, const std::string& args) override;
    // What the movie's scripts load comes through the control, and so through its container.
    std::optional<std::vector<std::uint8_t>> fetch(const swf::UrlRequest& request) override;
    std::uint64_t milliseconds() override;
    std::shared_ptr<const swf::FontDef> deviceFont(const swf::DeviceFontRequest& request) override;
    // Shared objects live in the user's folder (LocalDataStore).
    std::optional<std::vector<std::uint8_t>> readLocalData(const std::string& key) override;
    bool writeLocalData(const std::string& key, const std::vector<std::uint8_t>& file) override;
    // ExternalInterface calls go to the control, which passes them to its container.
    bool externalCallsAvailable() override { return true; }
    std::optional<std::string> externalCall(const std::string& request) override;

private:
    PlaybackOwner& owner_;
    std::uint8_t version_;
    GdiDeviceFonts fonts_;
    LocalDataStore localData_{LocalDataStore::UserFolder()};
};

} // namespace vm::flash
