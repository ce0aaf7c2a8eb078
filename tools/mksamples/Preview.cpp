#include "Preview.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "JpegEncoder.h"
#include "decode/Decoder.h"
#include "player/Host.h"
#include "player/Player.h"

namespace mksamples {

swfw::Image renderFrame(std::span<const uint8_t> bytes, int frame, int width, int height) {
    swf::DecodeResult decoded = swf::decodeMovie(bytes);
    if (!decoded) throw std::runtime_error("the engine cannot decode the movie: " + decoded.error.message);
    swf::NullHost host;
    swf::Player player(decoded.movie, host);
    for (int i = 0; i < frame; ++i) player.advance();

    const swf::Rect& stage = decoded.movie->header.frameSize;
    double scale = std::min(static_cast<double>(width) / stage.width(), static_cast<double>(height) / stage.height());
    int w = std::max(1, static_cast<int>(std::lround(stage.width() * scale)));
    int h = std::max(1, static_cast<int>(std::lround(stage.height() * scale)));
    std::vector<swf::Pixel> pixels(static_cast<size_t>(w) * h, 0);
    swf::render::Target target{pixels.data(), w, h, w * 4};
    player.render(target, swf::Player::showAll(stage, w, h), swf::render::Quality::High, true);

    swfw::Image image(static_cast<uint16_t>(w), static_cast<uint16_t>(h));
    for (size_t i = 0; i < pixels.size(); ++i) {
        swf::Pixel p = pixels[i];  // opaque after the background fill, so no unpremultiplying
        image.pixels[i] = {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p), 255};
    }
    return image;
}

std::vector<uint8_t> previewJpeg(std::span<const uint8_t> movie, int frame) {
    return swfw::encodeJpeg(renderFrame(movie, frame, kPreviewWidth, kPreviewHeight), 88);
}

}  // namespace mksamples
