#include "images.h"

#include "collection/build_error.h"

#include <cmath>
#include <fstream>

namespace tavrel::collection {

namespace fs = std::filesystem;

IndexedImage::IndexedImage(int w, int h, std::vector<Rgb> pal, uint8_t fill)
    : width(w), height(h), palette(std::move(pal)), pixels(static_cast<size_t>(w) * h, fill) {}

void IndexedImage::set(int x, int y, uint8_t index) {
    if (x >= 0 && y >= 0 && x < width && y < height) pixels[static_cast<size_t>(y) * width + x] = index;
}

void IndexedImage::fillRect(int x0, int y0, int x1, int y1, uint8_t index) {
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) set(x, y, index);
}

namespace {

void put16(std::vector<uint8_t>& out, unsigned v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// Collects variable-width codes into bytes, least significant bit first.
class BitWriter {
  public:
    void write(unsigned code, int width) {
        acc_ |= static_cast<uint32_t>(code) << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            bytes.push_back(static_cast<uint8_t>(acc_ & 0xFF));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    void flush() {
        if (bits_ > 0) bytes.push_back(static_cast<uint8_t>(acc_ & 0xFF));
        acc_ = 0;
        bits_ = 0;
    }
    std::vector<uint8_t> bytes;

  private:
    uint32_t acc_ = 0;
    int bits_ = 0;
};

}  // namespace

std::vector<uint8_t> encodeGif(const IndexedImage& image) {
    // Palette size: a power of two of at least 4 entries.
    int bits = 2;
    while ((1 << bits) < static_cast<int>(image.palette.size())) ++bits;
    if (bits > 8) throw BuildError("a GIF palette holds at most 256 colours");
    const int tableSize = 1 << bits;
    std::vector<uint8_t> out = {'G', 'I', 'F', '8', '9', 'a'};
    put16(out, image.width);
    put16(out, image.height);
    out.push_back(static_cast<uint8_t>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    out.push_back(0);  // background colour index
    out.push_back(0);  // aspect ratio
    for (int i = 0; i < tableSize; ++i) {
        const Rgb c = i < static_cast<int>(image.palette.size()) ? image.palette[i] : Rgb{};
        out.push_back(c.r);
        out.push_back(c.g);
        out.push_back(c.b);
    }
    if (image.transparent >= 0) {
        const uint8_t gce[] = {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, static_cast<uint8_t>(image.transparent), 0x00};
        out.insert(out.end(), gce, gce + sizeof gce);
    }
    out.push_back(0x2C);
    put16(out, 0);
    put16(out, 0);
    put16(out, image.width);
    put16(out, image.height);
    out.push_back(0);  // no local palette, not interlaced
    // An LZW stream that never grows its code table: every pixel is a literal
    // code, and a clear code follows before the table would widen the codes.
    const int minCodeSize = bits;
    const unsigned clear = 1u << minCodeSize, end = clear + 1;
    const int width = minCodeSize + 1;
    const int maxRun = static_cast<int>((1u << width) - clear - 2);
    BitWriter w;
    int run = 0;
    w.write(clear, width);
    for (uint8_t p : image.pixels) {
        if (run == maxRun) {
            w.write(clear, width);
            run = 0;
        }
        w.write(p, width);
        ++run;
    }
    w.write(end, width);
    w.flush();
    out.push_back(static_cast<uint8_t>(minCodeSize));
    for (size_t i = 0; i < w.bytes.size(); i += 255) {
        const size_t n = std::min<size_t>(255, w.bytes.size() - i);
        out.push_back(static_cast<uint8_t>(n));
        out.insert(out.end(), w.bytes.begin() + static_cast<long>(i), w.bytes.begin() + static_cast<long>(i + n));
    }
    out.push_back(0);
    out.push_back(0x3B);
    return out;
}

std::vector<uint8_t> encodeBmp(const IndexedImage& image) {
    const uint32_t rowBytes = (static_cast<uint32_t>(image.width) * 3 + 3) & ~3u;
    const uint32_t dataSize = rowBytes * static_cast<uint32_t>(image.height);
    std::vector<uint8_t> out = {'B', 'M'};
    put32(out, 54 + dataSize);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<uint32_t>(image.width));
    put32(out, static_cast<uint32_t>(image.height));
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, dataSize);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = image.height - 1; y >= 0; --y) {  // bottom-up rows
        uint32_t n = 0;
        for (int x = 0; x < image.width; ++x, n += 3) {
            const Rgb c = image.palette.at(image.pixels[static_cast<size_t>(y) * image.width + x]);
            out.push_back(c.b);
            out.push_back(c.g);
            out.push_back(c.r);
        }
        for (; n < rowBytes; ++n) out.push_back(0);
    }
    return out;
}

namespace {

void writeFile(const fs::path& file, const std::vector<uint8_t>& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw BuildError(file.string(), 0, "cannot write the image");
}

const Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0};

IndexedImage indicator(Rgb fill, Rgb edge) {
    IndexedImage img(10, 10, {kWhite, edge, fill}, 0);
    img.transparent = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) {
            const double d = std::hypot(x - 4.5, y - 4.5);
            if (d <= 4.6) img.set(x, y, d >= 3.6 ? 1 : 2);
        }
    return img;
}

IndexedImage pinPoint() {
    // A red pin: a round head and a needle pointing down to the left.
    IndexedImage img(11, 10, {kWhite, Rgb{200, 0, 0}, Rgb{90, 90, 90}}, 0);
    img.transparent = 0;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 11; ++x)
            if (std::hypot(x - 7.0, y - 3.0) <= 3.2) img.set(x, y, 1);
    for (int k = 0; k < 5; ++k) img.set(4 - k, 5 + k, 2);
    return img;
}

// A 20 x 20 arrow; dir 0 right, 1 left, 2 down, 3 up, 4 stop.
IndexedImage arrow(int dir) {
    IndexedImage img(20, 20, {kWhite, Rgb{0, 90, 200}, Rgb{200, 30, 30}}, 0);
    img.transparent = 0;
    if (dir == 4) {
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const double d = std::hypot(x - 9.5, y - 9.5);
                if (d <= 9.5 && d >= 7.0) img.set(x, y, 2);
            }
        for (int k = 3; k <= 16; ++k) {
            img.set(k, k, 2);
            img.set(k + 1, k, 2);
        }
        return img;
    }
    for (int a = 0; a < 20; ++a)
        for (int b = 0; b < 20; ++b) {
            // along: a (0 = tail, 19 = head), across: b
            const bool shaft = a >= 2 && a <= 11 && b >= 7 && b <= 12;
            const bool head = a >= 11 && a <= 18 && std::abs(b - 9.5) <= (18 - a) * 1.2;
            if (!shaft && !head) continue;
            int x = a, y = b;
            if (dir == 1) x = 19 - a;
            if (dir == 2) {
                x = b;
                y = a;
            }
            if (dir == 3) {
                x = b;
                y = 19 - a;
            }
            img.set(x, y, 1);
        }
    return img;
}

// 5 x 7 capital letters for the cover title.
const char* glyph(char c) {
    switch (c) {
        case 'T':
            return "11111"
                   "00100"
                   "00100"
                   "00100"
                   "00100"
                   "00100"
                   "00100";
        case 'A':
            return "01110"
                   "10001"
                   "10001"
                   "11111"
                   "10001"
                   "10001"
                   "10001";
        case 'V':
            return "10001"
                   "10001"
                   "10001"
                   "10001"
                   "10001"
                   "01010"
                   "00100";
        case 'R':
            return "11110"
                   "10001"
                   "10001"
                   "11110"
                   "10100"
                   "10010"
                   "10001";
        case 'E':
            return "11111"
                   "10000"
                   "10000"
                   "11110"
                   "10000"
                   "10000"
                   "11111";
        case 'L':
            return "10000"
                   "10000"
                   "10000"
                   "10000"
                   "10000"
                   "10000"
                   "11111";
        default:
            return "00000"
                   "00000"
                   "00000"
                   "00000"
                   "00000"
                   "00000"
                   "00000";
    }
}

IndexedImage coverTitle() {
    IndexedImage img(300, 80, {Rgb{240, 244, 250}, Rgb{20, 50, 120}, Rgb{180, 40, 40}, Rgb{150, 170, 200}}, 0);
    img.fillRect(0, 70, 299, 73, 3);
    img.fillRect(0, 6, 299, 7, 3);
    const std::string word = "TAVREL";
    const int scale = 7, x0 = 40, y0 = 12;
    for (size_t i = 0; i < word.size(); ++i) {
        const char* g = glyph(word[i]);
        for (int gy = 0; gy < 7; ++gy)
            for (int gx = 0; gx < 5; ++gx)
                if (g[gy * 5 + gx] == '1')
                    img.fillRect(x0 + static_cast<int>(i) * 6 * scale + gx * scale, y0 + gy * scale,
                                 x0 + static_cast<int>(i) * 6 * scale + gx * scale + scale - 2,
                                 y0 + gy * scale + scale - 2, i == 0 ? 2 : 1);
    }
    return img;
}

IndexedImage season() {
    // A small spray of leaves for the cover.
    IndexedImage img(48, 48, {kWhite, Rgb{60, 140, 60}, Rgb{110, 70, 30}}, 0);
    img.transparent = 0;
    for (int k = 0; k < 40; ++k) img.set(4 + k, 44 - k, 2);
    const int leaves[][2] = {{12, 30}, {22, 22}, {32, 12}, {18, 38}, {30, 26}, {40, 14}};
    for (const auto& l : leaves)
        for (int y = -5; y <= 5; ++y)
            for (int x = -5; x <= 5; ++x)
                if (std::abs(x) + std::abs(y) <= 4) img.set(l[0] + x, l[1] + y, 1);
    return img;
}

// Outline drawing of a steel section: kind 0 L, 1 unequal L, 2 thick L, 3 I, 4 channel, 5 H.
IndexedImage section(int kind) {
    IndexedImage img(64, 64, {kWhite, kBlack}, 0);
    const int t = kind == 2 ? 9 : 6;
    switch (kind) {
        case 0:
        case 1:
        case 2: {
            const int w = kind == 0 ? 48 : 34;
            img.fillRect(8, 8, 8 + t, 56, 1);
            img.fillRect(8, 56 - t, 8 + w, 56, 1);
            break;
        }
        case 3:
            img.fillRect(14, 6, 50, 12, 1);
            img.fillRect(14, 52, 50, 58, 1);
            img.fillRect(29, 12, 35, 52, 1);
            break;
        case 4:
            img.fillRect(14, 6, 44, 12, 1);
            img.fillRect(14, 52, 44, 58, 1);
            img.fillRect(14, 12, 20, 52, 1);
            break;
        default:
            img.fillRect(6, 6, 58, 12, 1);
            img.fillRect(6, 52, 58, 58, 1);
            img.fillRect(29, 12, 35, 52, 1);
    }
    return img;
}

IndexedImage figure() {
    // A figure for a notification table: a wall section with hatching.
    IndexedImage img(120, 60, {kWhite, kBlack, Rgb{160, 160, 160}}, 0);
    img.fillRect(0, 0, 119, 0, 1);
    img.fillRect(0, 59, 119, 59, 1);
    img.fillRect(0, 0, 0, 59, 1);
    img.fillRect(119, 0, 119, 59, 1);
    img.fillRect(40, 8, 79, 51, 1);
    img.fillRect(42, 10, 77, 49, 0);
    for (int k = 0; k < 80; k += 6)
        for (int j = 0; j < 40; ++j) img.set(42 + j, 10 + (k - j), 2);
    return img;
}

}  // namespace

void writeImageFolder(const fs::path& folder) {
    writeFile(folder / "system" / "indicator_red.gif", encodeGif(indicator(Rgb{230, 30, 30}, Rgb{120, 0, 0})));
    writeFile(folder / "system" / "indicator_blue.gif", encodeGif(indicator(Rgb{60, 110, 230}, Rgb{0, 30, 120})));
    writeFile(folder / "system" / "pin_point.gif", encodeGif(pinPoint()));
    writeFile(folder / "system" / "move_fwrd.gif", encodeGif(arrow(0)));
    writeFile(folder / "system" / "move_back.gif", encodeGif(arrow(1)));
    writeFile(folder / "system" / "move_next.gif", encodeGif(arrow(2)));
    writeFile(folder / "system" / "move_befo.gif", encodeGif(arrow(3)));
    writeFile(folder / "system" / "move_stop.gif", encodeGif(arrow(4)));
    writeFile(folder / "kokuji" / "fig_sample.gif", encodeGif(figure()));
    const char* names[] = {"angle_equal", "angle_unequal", "angle_unequal_thick", "i_beam", "channel", "h_beam"};
    for (int k = 0; k < 6; ++k) {
        writeFile(folder / "basic" / (std::string(names[k]) + ".gif"), encodeGif(section(k)));
        writeFile(folder / "design" / (std::string(names[k]) + "_icon.gif"), encodeGif(section(k)));
    }
    writeFile(folder / "tavrel_title.bmp", encodeBmp(coverTitle()));
    writeFile(folder / "season.gif", encodeGif(season()));
}

}  // namespace tavrel::collection
