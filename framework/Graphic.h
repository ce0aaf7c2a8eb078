#pragma once
// TGraphic: a picture that can load itself from a stream and draw itself on a canvas.
#include <windows.h>

#include <string>

namespace vm {

class TCanvas;
class TStream;

class TGraphic {
public:
    virtual ~TGraphic() = default;
    virtual std::string ClassName() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    bool Empty() const { return Width() == 0 || Height() == 0; }
    // Reads the whole format from the stream's position; EInvalidGraphic for corrupt data.
    virtual void LoadFromStream(TStream& stream) = 0;
    // Raw file bytes of the picture (what LoadFromStream would read back).
    virtual void SaveToStream(TStream& stream) const = 0;
    void LoadFromFile(const std::string& path);
    // Draws scaled into rect (StretchBlt, HALFTONE when shrinking).
    virtual void Draw(TCanvas& canvas, const RECT& rect) const = 0;
};

} // namespace vm
