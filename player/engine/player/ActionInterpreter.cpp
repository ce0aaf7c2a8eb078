#include "player/ActionInterpreter.h"

#include "player/Host.h"

namespace swf {

namespace {

void nextFrame(ActionFrame& f, const ActionRecord&) {
    if (f.target) f.target->nextFrame();
}
void prevFrame(ActionFrame& f, const ActionRecord&) {
    if (f.target) f.target->prevFrame();
}
void play(ActionFrame& f, const ActionRecord&) {
    if (f.target) f.target->play();
}
void stop(ActionFrame& f, const ActionRecord&) {
    if (f.target) f.target->stop();
}
void toggleQuality(ActionFrame& f, const ActionRecord&) { f.services.toggleQuality(); }
void stopSounds(ActionFrame& f, const ActionRecord&) { f.services.stopAllSounds(); }

void gotoFrame(ActionFrame& f, const ActionRecord& r) {
    PayloadReader in(r.payload);
    uint16_t frame = in.u16();
    if (in.ok() && f.target) f.target->gotoFrame(frame);
}

void gotoLabel(ActionFrame& f, const ActionRecord& r) {
    PayloadReader in(r.payload);
    std::string label = in.string();
    if (f.target) f.target->gotoLabel(label);
}

void getUrl(ActionFrame& f, const ActionRecord& r) {
    PayloadReader in(r.payload);
    std::string url = in.string();
    std::string target = in.string();
    deliverGetUrl(f.services.host(), url, target, UrlMethod::None);
}

// Every frame of a complete file is loaded, so this skips only when a truncated file
// lacks the frame asked for.
void waitForFrame(ActionFrame& f, const ActionRecord& r) {
    PayloadReader in(r.payload);
    uint16_t frame = in.u16();
    uint8_t skip = in.u8();
    if (!in.ok() || !f.target) return;
    if (frame >= f.target->loadedFrameCount()) f.skipActions = skip;
}

void setTarget(ActionFrame& f, const ActionRecord& r) {
    PayloadReader in(r.payload);
    std::string path = in.string();
    f.target = path.empty() ? &f.self : f.self.resolvePath(path);
}

}  // namespace

ActionInterpreter ActionInterpreter::withFrameActions() {
    ActionInterpreter i;
    i.setHandler(action::kNextFrame, nextFrame);
    i.setHandler(action::kPrevFrame, prevFrame);
    i.setHandler(action::kPlay, play);
    i.setHandler(action::kStop, stop);
    i.setHandler(action::kToggleQuality, toggleQuality);
    i.setHandler(action::kStopSounds, stopSounds);
    i.setHandler(action::kGotoFrame, gotoFrame);
    i.setHandler(action::kGetUrl, getUrl);
    i.setHandler(action::kWaitForFrame, waitForFrame);
    i.setHandler(action::kSetTarget, setTarget);
    i.setHandler(action::kGotoLabel, gotoLabel);
    return i;
}

ActionRunResult ActionInterpreter::run(std::span<const uint8_t> block, TimelineControl& self,
                                       ActionServices& services) const {
    ActionFrame frame{self, &self, services};
    ActionReader reader(block);
    ActionRunResult result;
    while (auto record = reader.next()) {
        if (frame.skipActions > 0) {
            --frame.skipActions;
            continue;
        }
        if (Handler h = handlers_[record->code]) {
            h(frame, *record);
            ++result.actionsRun;
        }
    }
    result.truncated = reader.truncated();
    return result;
}

}  // namespace swf
