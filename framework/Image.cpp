#include "framework/Image.h"

namespace vm {

RECT ImageDestRect(int pw, int ph, int bw, int bh, bool stretch, bool proportional, bool center) {
    if (pw <= 0 || ph <= 0 || bw <= 0 || bh <= 0) return RECT{0, 0, 0, 0};
    int w = pw, h = ph;
    if (proportional && (stretch || pw > bw || ph > bh)) {
        // Scale by the tighter of the two ratios; compare cross products to stay in integers.
        if (static_cast<long long>(bw) * ph <= static_cast<long long>(bh) * pw) {
            w = bw;
            h = static_cast<int>(static_cast<long long>(ph) * bw / pw);
        } else {
            h = bh;
            w = static_cast<int>(static_cast<long long>(pw) * bh / ph);
        }
        if (w < 1) w = 1;
        if (h < 1) h = 1;
    } else if (stretch) {
        w = bw;
        h = bh;
    }
    int x = center ? (bw - w) / 2 : 0;
    int y = center ? (bh - h) / 2 : 0;
    return RECT{x, y, x + w, y + h};
}

TImage::TImage(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 105, 105);
    picture_.OnChange = [this] { Invalidate(); };
}

const TPropertyTable& TImage::ClassProperties() {
    static const TPropertyTable table = [] {
        TPropertyTable t(&TControl::ClassProperties());
        t.Boolean<TImage>("Center", &TImage::Center, &TImage::SetCenter);
        t.Boolean<TImage>("Stretch", &TImage::Stretch, &TImage::SetStretch);
        t.Boolean<TImage>("Proportional", &TImage::Proportional, &TImage::SetProportional);
        t.Boolean<TImage>("Transparent", &TImage::Transparent, &TImage::SetTransparent);
        t.Add<TImage>("Picture.Data", TValueKind::Binary,
            [](const TImage& c) { return TValue::MakeBinary(c.Picture().Data()); },
            [](TImage& c, const TValue& v) { c.Picture().SetData(v.AsBinary()); });
        return t;
    }();
    return table;
}

RECT TImage::DestRect() const {
    return ImageDestRect(picture_.Width(), picture_.Height(), Width(), Height(), stretch_, proportional_, center_);
}

void TImage::Paint(TCanvas& canvas) {
    if (picture_.Empty()) return;
    canvas.StretchDraw(DestRect(), *picture_.Graphic());
}

} // namespace vm
