#pragma once
// A video a timeline placed. Its frames are not decoded, so it shows nothing; scripts still
// reach it by name as a Video object, and it takes up the box the stream declares.
#include <memory>

#include "model/Sound.h"
#include "player/DisplayObject.h"

namespace swf {

class VideoInstance final : public DisplayObject {
public:
    VideoInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const VideoStreamDef> stream);

    Rect localBounds() const override;
    void emit(DrawListBuilder&, const Matrix&, const ColorTransform&) const override {}
    bool hitTestLocal(double, double) const override { return false; }
    bool scriptable() const override { return true; }

private:
    std::shared_ptr<const VideoStreamDef> stream_;
};

}  // namespace swf
