#include "harness/Image.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

Image Image::crop(const Rect& area) const
{
    const int x0 = std::max(area.x, 0), y0 = std::max(area.y, 0);
    const int x1 = std::min(area.x + area.w, w), y1 = std::min(area.y + area.h, h);
    if (x1 <= x0 || y1 <= y0)
        return Image();
    Image out(x1 - x0, y1 - y0);
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            out.at(x - x0, y - y0) = at(x, y);
    return out;
}

int Image::countDifferences(const Image& other, int tolerance) const
{
    if (w != other.w || h != other.h)
        return w * h;
    int n = 0;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const Rgb& a = pixels[i];
        const Rgb& b = other.pixels[i];
        n += std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)}) > tolerance;
    }
    return n;
}

bool savePng(const Image& image, const std::string& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = png_uint_32(image.width());
    png.height = png_uint_32(image.height());
    png.format = PNG_FORMAT_RGB;
    static_assert(sizeof(Rgb) == 3, "rows are handed to libpng as packed RGB");
    if (image.empty())
        std::snprintf(png.message, sizeof png.message, "the picture is empty");
    else if (png_image_write_to_file(&png, path.c_str(), 0, &image.at(0, 0), 0, nullptr))
        return true;
    std::fprintf(stderr, "could not write %s: %s\n", path.c_str(), png.message);
    return false;
}

Image loadPng(const std::string& path)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return Image();
    png.format = PNG_FORMAT_RGB;
    Image image(int(png.width), int(png.height));
    if (!png_image_finish_read(&png, nullptr, &image.at(0, 0), 0, nullptr)) {
        png_image_free(&png);
        return Image();
    }
    return image;
}
