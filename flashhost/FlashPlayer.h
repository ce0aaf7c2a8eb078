#pragma once
// TsfFlashPlayer: the component a form places to play Flash movies. A TsfOleControl bound to
// the Shockwave Flash control: its properties as typed properties by dispatch id, the movie
// the player loads, the commands applications use, the control's events, and the bind host
// through which the control fetches every URL.
#include <windows.h>

#include <functional>
#include <string>

#include "flashhost/CommandHandler.h"
#include "flashhost/OleControl.h"
#include "flashhost/ShockwaveFlash.h"

namespace vm {

class TStream;

enum class TsfFLVSkins { flvclearskin, flvsteelskin, flvmojaveskin, flvnoneskin };

using TsfFlashPlayerOnReadyStateChange = std::function<void(TComponent* ASender, int newState)>;
using TsfFlashPlayerOnProgress = std::function<void(TComponent* ASender, int percentDone)>;
using TsfFlashPlayerFSCommand =
    std::function<void(TComponent* ASender, const std::wstring& command, const std::wstring& args)>;
using TsfFlashFlashCall = std::function<void(TComponent* ASender, const std::wstring& request)>;

class TsfFlashPlayer : public TsfOleControl {
public:
    explicit TsfFlashPlayer(TComponent* owner);
    ~TsfFlashPlayer() override;
    std::string ClassName() const override { return "TsfFlashPlayer"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    // The Shockwave Flash control's description: class, events, handler slots.
    static const ControlDescription& DescribeControl();

    // Typed property families by dispatch id (the Flash control's own properties).
    int IntegerProperty(DISPID dispId);
    void SetIntegerProperty(DISPID dispId, int value);
    bool WordBoolProperty(DISPID dispId);
    void SetWordBoolProperty(DISPID dispId, bool value);
    std::wstring StringProperty(DISPID dispId);
    void SetStringProperty(DISPID dispId, const std::wstring& value);
    TOleVariant VariantProperty(DISPID dispId);
    // The control's IDispatch as a variant (after connecting).
    TOleVariant DispatchVariant();

    // Named accessors the program uses.
    std::wstring Quality2() { return StringProperty(FlashDispId::Quality2); }
    void SetQuality2(const std::wstring& v) { SetStringProperty(FlashDispId::Quality2, v); }
    std::wstring Scale() { return StringProperty(FlashDispId::Scale); }
    void SetScale(const std::wstring& v) { SetStringProperty(FlashDispId::Scale, v); }
    std::wstring WMode() { return StringProperty(FlashDispId::WMode); }
    bool Playing() { return WordBoolProperty(FlashDispId::Playing); }
    void SetPlaying(bool v) { SetWordBoolProperty(FlashDispId::Playing, v); }
    bool Loop() { return WordBoolProperty(FlashDispId::Loop); }
    void SetLoop(bool v) { SetWordBoolProperty(FlashDispId::Loop, v); }
    int FrameNum() { return IntegerProperty(FlashDispId::FrameNum); }

    // Own state.
    int Volume() const { return volume_; }
    void SetVolume(int v) { volume_ = v; }
    bool VolumeControl() const { return volumeControl_; }
    void SetVolumeControl(bool v) { volumeControl_ = v; }
    TsfFLVSkins FLVPlaybackSkin() const { return flvPlaybackSkin_; }
    void SetFLVPlaybackSkin(TsfFLVSkins v) { flvPlaybackSkin_ = v; }
    bool IsFLV() const { return isFLV_; }
    const std::wstring& Movie() const { return movie_; }
    void SetMovie(const std::wstring& path);

    // Commands.
    IShockwaveFlash* ControlInterface();
    void Play();
    std::wstring CallFunction(const std::wstring& request);
    void SetVariable(const std::wstring& name, const std::wstring& value);
    void LoadMovie(int layer, const std::wstring& path);
    // The caller keeps the stream; it must stay alive until the control has fetched it.
    void LoadMovieFromStream(int layer, TStream& stream);

    // Movies held in memory: the list (not owned) and the item last chosen (-1: none).
    TsfFlashList* FlashList() const { return flashList_; }
    void SetFlashList(TsfFlashList* list);
    int FlashIndex() const { return flashIndex_; }
    void SetFlashIndex(int index);

    // The bind host's CreateMoniker: whether the player serves the URL itself (S_OK and its
    // own moniker) or the control fetches it alone (E_NOTIMPL, no moniker).
    virtual HRESULT CreateMoniker(const wchar_t* name, IBindCtx* context, IMoniker** moniker);
    const std::wstring& BindTarget() const { return bindTarget_; }
    const std::string& BaseFolder() const { return baseFolder_; }

    // The pending FSCommand pair, delivered later from the message loop.
    const std::wstring& PendingCommand() const { return fsCommands_.PendingCommand(); }
    const std::wstring& PendingArgs() const { return fsCommands_.PendingArgs(); }

    TsfFlashPlayerOnReadyStateChange OnReadyStateChange;
    TsfFlashPlayerOnProgress OnProgress;
    TsfFlashFlashCall OnFlashCall;
    TsfFlashPlayerFSCommand OnHandleFSCommand;

    HRESULT QueryInterface(REFIID iid, void** out) override;

protected:
    HRESULT MonikerBindToStorage(IBindCtx* context, IMoniker* left, REFIID iid, void** out) override;
    void CallEventSlot(int slot, const std::vector<const VARIANT*>& arguments) override;
    bool EventSlotAssigned(int slot) const override;
    void Notification(TComponent* component, bool removing) override;
    // The control's FSCommand event: kept, then delivered from the message loop.
    void DoFSCommand(TComponent* sender, const std::wstring& command, const std::wstring& args);

private:
    struct BindHost;
    int FlashMajorVersion();

    int volume_ = 100;
    bool volumeControl_ = false;
    bool isFLV_ = false;
    TsfFLVSkins flvPlaybackSkin_ = TsfFLVSkins::flvclearskin;
    std::wstring movie_;
    TComPtr<IShockwaveFlash> controlInterface_;
    TsfFSCommandMailbox fsCommands_;
    TsfFlashPlayerFSCommand fsCommandSlot_;
    std::unique_ptr<BindHost> bindHost_;
};

// Makes "TsfFlashPlayer" and "TsfFlashList" known to window definitions.
void RegisterFlashHostClasses();

} // namespace vm
