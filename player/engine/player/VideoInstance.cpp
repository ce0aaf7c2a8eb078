#include "player/VideoInstance.h"

namespace swf {

VideoInstance::VideoInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const VideoStreamDef> stream)
    : DisplayObject(context, characterId), stream_(std::move(stream)) {}

Rect VideoInstance::localBounds() const {
    if (stream_->width == 0 || stream_->height == 0) return Rect::none();
    return {0, stream_->width * kTwipsPerPixel, 0, stream_->height * kTwipsPerPixel};
}

}  // namespace swf
