#include "framework/Timer.h"

#include <map>

#include "framework/Application.h"

namespace vm {

namespace {
// One hidden message-only window carries every timer's WM_TIMER to its TTimer.
std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

LRESULT CALLBACK TimerWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto it = Timers().find(wParam);
        if (it != Timers().end()) {
            TTimer* timer = it->second;
            Application().Guard([&] { timer->Fire(); });
        } else {
            KillTimer(wnd, wParam);
        }
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

HWND TimerWindow() {
    static HWND wnd = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = TimerWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TVelmoraTimerWindow";
        RegisterClassA(&wc);
        return CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }();
    return wnd;
}

UINT_PTR nextId = 1;
} // namespace

TTimer::TTimer(TComponent* owner) : TComponent(owner) {}

TTimer::~TTimer() {
    enabled_ = false;
    Update();
}

const TPropertyTable& TTimer::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::ClassProperties());
        t.Boolean<TTimer>("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
        t.Add<TTimer>("Interval", TValueKind::Integer,
            [](const TTimer& c) { return TValue::Integer(c.Interval()); },
            [](TTimer& c, const TValue& v) {
                int ms = TPropertyTable::CheckedInt(v);
                if (ms < 0) throw EPropertyError("Interval cannot be negative");
                c.SetInterval(static_cast<unsigned>(ms));
            });
        t.Boolean<TTimer>("OneShot", &TTimer::OneShot, &TTimer::SetOneShot);
        t.Event<TTimer>("OnTimer", &TTimer::OnTimer);
        return t;
    }();
    return table;
}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(unsigned milliseconds) {
    if (milliseconds == interval_) return;
    interval_ = milliseconds;
    Update();
}

void TTimer::Loaded() { Update(); }

void TTimer::Update() {
    if (id_) {
        KillTimer(TimerWindow(), id_);
        Timers().erase(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ == 0 || Loading() || (ComponentState() & csDestroying)) return;
    id_ = nextId++;
    Timers()[id_] = this;
    if (!SetTimer(TimerWindow(), id_, interval_, nullptr)) {
        Timers().erase(id_);
        id_ = 0;
        RaiseLastOSError("Cannot start a timer");
    }
}

void TTimer::Fire() {
    if (oneShot_) SetEnabled(false);
    if (OnTimer) OnTimer(this);
}

} // namespace vm
