#pragma once

#include <string>
#include <vector>

#include "harness/Rgb.h"
#include "view/Rect.h"

// A grabbed picture, row by row from the top left.
class Image {
public:
    Image() = default;
    Image(int width, int height) : w(width), h(height), pixels(size_t(width) * size_t(height)) {}

    int width() const { return w; }
    int height() const { return h; }
    bool empty() const { return pixels.empty(); }
    Rgb& at(int x, int y) { return pixels[size_t(y) * size_t(w) + size_t(x)]; }
    const Rgb& at(int x, int y) const { return pixels[size_t(y) * size_t(w) + size_t(x)]; }

    // The part inside `area` (image coordinates), clipped to the image.
    Image crop(const Rect& area) const;
    // Pixels that differ between two images of the same size by more than
    // `tolerance` in some channel.
    int countDifferences(const Image& other, int tolerance = 0) const;

    bool operator==(const Image& o) const { return w == o.w && h == o.h && pixels == o.pixels; }
    bool operator!=(const Image& o) const { return !(*this == o); }

private:
    int w = 0;
    int h = 0;
    std::vector<Rgb> pixels;
};

// Writes an 8-bit RGB PNG; false (with a message on stderr) when it cannot.
bool savePng(const Image& image, const std::string& path);
// Reads a PNG of any kind as RGB; empty when it cannot.
Image loadPng(const std::string& path);
