#pragma once
// Where the stage appears in the control: the scale mode and alignment fit the stage into the
// view, then the user's zoom and pan move the result. Everything is a stage-twips-to-view-pixels
// matrix, the form the engine draws with.
#include "core/Geometry.h"

namespace vm::flash {

enum class ScaleMode;

class ViewTransform {
public:
    void SetStage(const swf::Rect& stageTwips);
    void SetViewSize(int width, int height);
    void SetScale(ScaleMode mode);
    void SetAlign(int bits);

    // Zoom(0) restores the fitted view; percent < 100 magnifies, > 100 shrinks, keeping the
    // view's centre where it is. Negative values are ignored.
    void Zoom(int percent);
    // Moves a zoomed view by (dx, dy) view pixels (positive shows more of the right and bottom),
    // never past the edges of the zoomed stage.
    void Pan(double dx, double dy);
    void ResetZoom();

    int ViewWidth() const { return width_; }
    int ViewHeight() const { return height_; }

    // Stage twips to view pixels for the current view.
    swf::Matrix StageToView() const;
    // The same fit for another view size (a container drawing at a size of its own).
    swf::Matrix StageToView(int width, int height) const;

private:
    swf::Matrix Fitted(int width, int height) const;

    swf::Rect stage_{0, 0, 0, 0};
    int width_ = 0, height_ = 0;
    ScaleMode scale_{};
    int align_ = 0;
    double zoom_ = 1;                  // view pixels per fitted pixel
    double offsetX_ = 0, offsetY_ = 0; // view pixels, applied after the zoom
};

} // namespace vm::flash
