#pragma once
// TTimer: OnTimer every Interval milliseconds while Enabled, driven by WM_TIMER of a hidden
// framework window on the GUI thread. A one-shot timer disables itself before it fires.
#include "framework/Component.h"

namespace vm {

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner);
    ~TTimer() override;
    std::string ClassName() const override { return "TTimer"; }
    static const TPropertyTable& ClassProperties();
    const TPropertyTable& Properties() const override { return ClassProperties(); }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned milliseconds);   // restarts a running timer
    bool OneShot() const { return oneShot_; }
    void SetOneShot(bool oneShot) { oneShot_ = oneShot; }

    TNotifyEvent OnTimer;

    // Called by the framework's timer window; exceptions from OnTimer go to the application's error box.
    void Fire();

protected:
    void Loaded() override;

private:
    void Update();
    bool enabled_ = true;
    bool oneShot_ = false;
    unsigned interval_ = 1000;
    UINT_PTR id_ = 0;
};

} // namespace vm
