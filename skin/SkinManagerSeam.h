#pragma once
// The skin manager as the skin data component sees it. The manager (window hooks,
// subclassing, the request timer) registers itself here when it starts; until then there is
// none, and skin data components load and hold their skins without skinning anything.
#include <windows.h>

namespace vm {

class TComponent;
class TSkinData;

// Requests the manager carries out later, from its one-shot timer.
enum class TSkinRequest { SkinAll = 1, UnskinAll = 2, Refresh = 3 };

class ISkinManager {
public:
    virtual ~ISkinManager() = default;
    virtual void Register(TSkinData* data) = 0;
    virtual void Unregister(TSkinData* data) = 0;
    virtual void SetCurrentSkinData(TSkinData* data) = 0;
    // Records the request and (re)arms the timer; the last request before it fires wins.
    virtual void Request(TSkinRequest request, TSkinData* data, UINT delayMs) = 0;
    virtual void Enable() = 0;
    virtual void MarkStarted() = 0;
    virtual bool Started() const = 0;
    virtual void InstallCreationHook() = 0;
    // Skins the form that owns a skin data component of its own (sfOnlyThisForm and the like).
    virtual void SkinOwnerForm(TComponent* form) = 0;
    // Every skinned window that uses `data` reads its skin elements again.
    virtual void ReReadSkin(TSkinData* data) = 0;
};

// nullptr when no manager runs.
ISkinManager* SkinManager();
// Returns the previous manager.
ISkinManager* SetSkinManager(ISkinManager* manager);

}  // namespace vm
