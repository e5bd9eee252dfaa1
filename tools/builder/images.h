// Images of the data folder, drawn by the builder itself: a tiny GIF encoder
// (uncompressed LZW stream), a 24-bit BMP writer and the drawings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tavrel::collection {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
};

// An indexed image: palette of at most 256 colours, one index per pixel.
struct IndexedImage {
    int width = 0, height = 0;
    std::vector<Rgb> palette;
    std::vector<uint8_t> pixels;  // row-major
    int transparent = -1;         // palette index shown as transparent, or -1
    IndexedImage(int w, int h, std::vector<Rgb> pal, uint8_t fill = 0);
    void set(int x, int y, uint8_t index);
    void fillRect(int x0, int y0, int x1, int y1, uint8_t index);  // inclusive
};

std::vector<uint8_t> encodeGif(const IndexedImage& image);
std::vector<uint8_t> encodeBmp(const IndexedImage& image);

// Writes every image of the image folder (images08/) under folder.
void writeImageFolder(const std::filesystem::path& folder);

}  // namespace tavrel::collection
