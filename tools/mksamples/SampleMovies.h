#pragma once
// The sample movies, one function each. All are animated; between them they use every
// kind of definition the writer knows, so the collection also exercises the player.
#include "Movie.h"

namespace mksamples {

swfw::Movie bouncingBall();   // radial gradient ball, squash, translucent shadow
swfw::Movie sunset();         // DefineShape4: focal gradient, caps; colour transforms
swfw::Movie spinningStar();   // PlaceObject, outlines, new style groups, rotation
swfw::Movie shapeShifter();   // DefineMorphShape square to circle
swfw::Movie clickMe();        // DefineButton2 with states; sprites driven by SetTarget
swfw::Movie trafficLight();   // DefineButton, DefineButtonCxform, frame labels
swfw::Movie bitmapTiles();    // lossless 8/15/32-bit, JPEG, JPEG + tables, JPEG with alpha
swfw::Movie helloText();      // DefineFont2/DefineFont + info, DefineText 1/2, DefineEditText
swfw::Movie windmill();       // a sprite looping inside the main timeline
swfw::Movie cremeBrulee();    // DefineFont3 with a non-ASCII glyph, translucent strokes
swfw::Movie nightSky();       // alpha colour transforms, many instances of one shape

}  // namespace mksamples
