#pragma once
// The elements of a loaded skin: one picture each (or none) with the margins, frame count and
// flags that tell the drawing rules how to cut and place it. Field names are the engine's own,
// as the form and control skinning code reads them.
#include <string>

#include "PixelImage.h"
#include "SkinColour.h"

namespace velmora::skin {

inline constexpr int kNoTextColour = -1;  // NormalColour and friends: the skin gave none

class TDataSkinObject {
public:
    virtual ~TDataSkinObject() = default;

    int LeftWidth = 0;     // margins kept unscaled by nine-slice drawing
    int TopHeight = 0;
    int RightWidth = 0;
    int BottomHeight = 0;
    PixelImage Image;      // empty when the key or the member is missing
    int Trans = 0;         // non-zero: magenta pixels are transparent
    int Tile = 0;          // 1: the centre is tiled; 0: stretched
    std::string Name;      // the section (or key) it was read from
    int FrameCount = 0;    // equal cells (states) of Image
    int Style = 0;
    int NormalColour = kNoTextColour;
    int MouseOverColour = kNoTextColour;
    int PressedColour = kNoTextColour;
    Colour NormalColour2 = 0;     // colour values; default the ButtonText slot
    Colour MouseOverColour2 = 0;
    Colour PressedColour2 = 0;
};

// Borders, tabs, spin buttons, the combo button and the progress trough carry a second picture.
class TDataSkinBorder : public TDataSkinObject {
public:
    PixelImage SecondImage;
};

// Push buttons with the check box and radio button pictures.
class TDataSkinButton : public TDataSkinObject {
public:
    PixelImage CheckImage;
    PixelImage RadioImage;
    int RadioFrameCount = 0;
    int CheckFrameCount = 0;
    bool HasNormalColour2 = false;     // the key is present with a value
    bool HasMouseOverColour2 = false;
    bool HasPressedColour2 = false;
};

// Caption text. The base margins are reused: LeftWidth = TextShift, TopHeight = TextShiftVert,
// RightWidth = TextRightClip; Image is the text background.
class TDataSkinTitle : public TDataSkinObject {
public:
    static constexpr int kNoColourGiven = 0x1FFFFFFF;

    int TextAlignment = 0;
    int TextBackground = 0;
    int FontHeight = 14;
    int TextBackLeft = 0;
    int TextBackRight = 0;
    int ActiveTextColour = kNoColourGiven;
    int InactiveTextColour = kNoColourGiven;
};

// One caption button (close, maximize, ...) or MDI button.
class TDataSkinSysButton : public TDataSkinObject {
public:
    int Action = 0;
    int Align = 0;
    int XCoord = 0;
    int YCoord = 0;
    int CombineOp = -1;
    int Visibility = 0;
    int Visibility1 = 0;
};

// The group box caption's background.
class TDataSkinBoxLabel : public TDataSkinObject {
public:
    int BackgroundLeftShift = 0;
    int BackgroundRightShift = 0;
    int BackgroundAlignment = 0;
};

}  // namespace velmora::skin
