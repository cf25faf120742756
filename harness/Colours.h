#pragma once

#include "harness/Image.h"

// Loose colour classes of what the site view shows. Lighting changes the
// brightness of every surface across the picture, so the classes go by hue
// and by the ratios of the channels, not by exact values.
enum class Colour {
    Background,  // the dark-blue clear colour
    GroundDark,  // the checkered ground's dark grey, lit
    GroundLight, // its light grey, lit
    Yellow,      // the example cubes, the excavator
    Red,         // the truck's cab
    Green,       // the truck's chassis
    Brown,       // rocks
    Other,
};

const char* colourName(Colour colour);
Colour classify(const Rgb& pixel);

// Where one colour class lies inside an area of an image.
struct ColourSpread {
    int count = 0;
    double centreX = 0; // mean position of the pixels, image coordinates
    double centreY = 0;
    Rect bounds;        // smallest rectangle holding them all
};

ColourSpread spreadOf(const Image& image, Colour colour, const Rect& area);
inline ColourSpread spreadOf(const Image& image, Colour colour)
{
    return spreadOf(image, colour, Rect{0, 0, image.width(), image.height()});
}
inline int countOf(const Image& image, Colour colour) { return spreadOf(image, colour).count; }
// Where a colour shows in `after` that it did not in `before`, two pictures
// of the same size: what a machine that moved or grew newly covers, whatever
// else on the site has its colour.
ColourSpread spreadOfNew(const Image& before, const Image& after, Colour colour);

// The smallest rectangle holding every pixel that is neither sky nor ground:
// what stands on the site. A machine drawn wrong changes a few hundred
// pixels there, which a count over the whole view, mostly sky and ground,
// would drown.
Rect standingArea(const Image& image);
