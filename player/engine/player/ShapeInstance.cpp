#include "player/ShapeInstance.h"

#include "player/ShapeHitTest.h"

namespace swf {

ShapeInstance::ShapeInstance(PlayerContext& context, uint16_t characterId, std::shared_ptr<const ShapeDef> shape)
    : DisplayObject(context, characterId), shape_(std::move(shape)) {}

std::shared_ptr<ShapeInstance> ShapeInstance::forBitmap(PlayerContext& context, uint16_t characterId,
                                                        const BitmapDef& bitmap) {
    FillStyle fill;
    fill.kind = FillKind::ClippedBitmap;
    fill.bitmapId = characterId;
    fill.matrix = Matrix::scale(kTwipsPerPixel, kTwipsPerPixel);
    auto w = static_cast<int32_t>(bitmap.width()) * kTwipsPerPixel;
    auto h = static_cast<int32_t>(bitmap.height()) * kTwipsPerPixel;
    return std::make_shared<ShapeInstance>(context, characterId,
                                           std::make_shared<const ShapeDef>(rectangleShape(w, h, fill)));
}

void ShapeInstance::emit(DrawListBuilder& out, const Matrix& toStage, const ColorTransform& cx) const {
    out.shape(*shape_, toStage, cx, DrawListBuilder::partKey(serial(), 0));
}

bool ShapeInstance::hitTestLocal(double x, double y) const { return shapeContains(*shape_, x, y); }

ShapeDef rectangleShape(int32_t width, int32_t height, const FillStyle& fill, const LineStyle* line) {
    ShapeDef shape;
    shape.fills.push_back(fill);
    if (line) shape.lines.push_back(*line);
    Path path;
    path.fill1 = 1;
    path.line = line ? 1 : 0;
    path.start = {0, 0};
    path.segments = {{{}, {width, 0}}, {{}, {width, height}}, {{}, {0, height}}, {{}, {0, 0}}};
    shape.paths.push_back(std::move(path));
    int32_t pad = line ? (line->width / 2 + 1) : 0;
    shape.bounds = {-pad, width + pad, -pad, height + pad};
    shape.edgeBounds = {0, width, 0, height};
    return shape;
}

}  // namespace swf
