#include "harness/Colours.h"

#include <algorithm>
#include <cstdlib>

const char* colourName(Colour colour)
{
    switch (colour) {
    case Colour::Background: return "background";
    case Colour::GroundDark: return "dark ground";
    case Colour::GroundLight: return "light ground";
    case Colour::Yellow: return "yellow";
    case Colour::Red: return "red";
    case Colour::Green: return "green";
    case Colour::Brown: return "brown";
    case Colour::Other: return "other";
    }
    return "?";
}

Colour classify(const Rgb& p)
{
    const int r = p.r, g = p.g, b = p.b;
    const int hi = std::max({r, g, b});
    if (r < 30 && g < 30 && b >= 50 && b <= 110)
        return Colour::Background;
    if (std::abs(r - g) <= 12 && std::abs(g - b) <= 12) {
        // The greys of the ground, 0.3 and 0.7 before lighting; what the
        // lights and the global ambient make of them meets around 105.
        if (hi < 25)
            return Colour::Other;
        return hi < 105 ? Colour::GroundDark : Colour::GroundLight;
    }
    if (hi < 40)
        return Colour::Other;
    if (r > 2 * g && r > 2 * b)
        return Colour::Red;
    if (g > 2 * r && g > 2 * b)
        return Colour::Green;
    if (b * 3 < r && g * 10 >= r * 8)
        return Colour::Yellow;
    // Rock brown is (140, 98, 57): green 0.70 and blue 0.41 of red.
    if (g * 100 >= r * 55 && g * 100 <= r * 85 && b * 100 >= r * 25 && b * 100 <= r * 60)
        return Colour::Brown;
    return Colour::Other;
}

namespace {

// The spread of the pixels of an image of `width` by `height` that `is(x, y)`
// picks inside `area`.
template <class Pick>
ColourSpread spreadWhere(int width, int height, const Rect& area, Pick is)
{
    ColourSpread s;
    const int x0 = std::max(area.x, 0), y0 = std::max(area.y, 0);
    const int x1 = std::min(area.x + area.w, width);
    const int y1 = std::min(area.y + area.h, height);
    int minX = x1, minY = y1, maxX = x0 - 1, maxY = y0 - 1;
    double sumX = 0, sumY = 0;
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            if (!is(x, y))
                continue;
            ++s.count;
            sumX += x;
            sumY += y;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    }
    if (s.count > 0) {
        s.centreX = sumX / s.count;
        s.centreY = sumY / s.count;
        s.bounds = {minX, minY, maxX - minX + 1, maxY - minY + 1};
    }
    return s;
}

} // namespace

ColourSpread spreadOf(const Image& image, Colour colour, const Rect& area)
{
    return spreadWhere(image.width(), image.height(), area,
                       [&](int x, int y) { return classify(image.at(x, y)) == colour; });
}

ColourSpread spreadOfNew(const Image& before, const Image& after, Colour colour)
{
    return spreadWhere(after.width(), after.height(), Rect{0, 0, after.width(), after.height()}, [&](int x, int y) {
        return classify(after.at(x, y)) == colour && classify(before.at(x, y)) != colour;
    });
}

Rect standingArea(const Image& image)
{
    int minX = image.width(), minY = image.height(), maxX = -1, maxY = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const Colour c = classify(image.at(x, y));
            if (c == Colour::Background || c == Colour::GroundDark || c == Colour::GroundLight)
                continue;
            minX = std::min(minX, x);
            maxX = std::max(maxX, x);
            minY = std::min(minY, y);
            maxY = std::max(maxY, y);
        }
    return maxX < 0 ? Rect{0, 0, 0, 0} : Rect{minX, minY, maxX - minX + 1, maxY - minY + 1};
}
