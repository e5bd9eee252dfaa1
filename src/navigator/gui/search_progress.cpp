#include "navigator/gui/search_progress.h"

#include <QBuffer>
#include <QLabel>
#include <QMovie>
#include <QProgressBar>

#include <cmath>
#include <cstdint>
#include <vector>

namespace tavrel::gui {

namespace {

// Size of the window's client area and the places of its two controls, in
// pixels (the window is 128 x 31 dialog units of the pane's font).
constexpr int kWindowWidth = 192;
constexpr int kWindowHeight = 46;
constexpr int kAnimationSize = 36;
constexpr int kAnimationAt = 5;
constexpr int kBarX = 55, kBarY = 19, kBarWidth = 130, kBarHeight = 10;

constexpr int kDots = 8;
constexpr int kFrameDelay = 10;  // hundredths of a second

void put16(QByteArray& out, int v) {
    out.append(static_cast<char>(v & 0xFF));
    out.append(static_cast<char>((v >> 8) & 0xFF));
}

// Packs variable-width codes least significant bit first, as GIF wants them.
struct BitPacker {
    std::vector<uint8_t> bytes;
    uint32_t acc = 0;
    int bits = 0;
    void write(unsigned code, int width) {
        acc |= code << bits;
        bits += width;
        while (bits >= 8) {
            bytes.push_back(static_cast<uint8_t>(acc & 0xFF));
            acc >>= 8;
            bits -= 8;
        }
    }
    void flush() {
        if (bits > 0) bytes.push_back(static_cast<uint8_t>(acc & 0xFF));
        acc = 0;
        bits = 0;
    }
};

// The image data of one frame of 2-bit indices: every pixel a literal code,
// with a clear code before the code table would make the codes wider.
void appendImageData(QByteArray& out, const std::vector<uint8_t>& pixels) {
    constexpr int minCodeSize = 2;
    constexpr unsigned clear = 1u << minCodeSize, end = clear + 1;
    constexpr int width = minCodeSize + 1;
    constexpr int maxRun = static_cast<int>((1u << width) - clear - 2);
    BitPacker w;
    int run = 0;
    w.write(clear, width);
    for (uint8_t p : pixels) {
        if (run == maxRun) {
            w.write(clear, width);
            run = 0;
        }
        w.write(p, width);
        ++run;
    }
    w.write(end, width);
    w.flush();
    out.append(static_cast<char>(minCodeSize));
    for (size_t i = 0; i < w.bytes.size(); i += 255) {
        const size_t n = std::min<size_t>(255, w.bytes.size() - i);
        out.append(static_cast<char>(n));
        out.append(reinterpret_cast<const char*>(w.bytes.data() + i), static_cast<qsizetype>(n));
    }
    out.append('\0');
}

// One frame: the ring of dots, dot `lit` bright, the one before it half lit.
// Index 0 is the transparent background.
std::vector<uint8_t> drawFrame(int size, int lit) {
    std::vector<uint8_t> px(static_cast<size_t>(size * size), 0);
    const double centre = (size - 1) / 2.0;
    const double ring = size * 0.36;
    const double radius = size * 0.11;
    for (int d = 0; d < kDots; ++d) {
        const double a = 2 * M_PI * d / kDots - M_PI / 2;
        const double cx = centre + ring * std::cos(a), cy = centre + ring * std::sin(a);
        const uint8_t colour = d == lit ? 3 : (d == (lit + kDots - 1) % kDots ? 2 : 1);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius)
                    px[static_cast<size_t>(y * size + x)] = colour;
    }
    return px;
}

}  // namespace

QByteArray searchAnimationGif(int frameCount) {
    if (frameCount < 1) frameCount = 1;
    const int size = kAnimationSize;
    QByteArray out("GIF89a");
    put16(out, size);
    put16(out, size);
    out.append(static_cast<char>(0x80 | (1 << 4) | 1));  // global table of 4 colours
    out.append('\0');                                    // background index
    out.append('\0');                                    // aspect ratio
    const uint8_t palette[4][3] = {{255, 255, 255}, {200, 208, 224}, {110, 140, 200}, {30, 70, 160}};
    for (const auto& c : palette)
        for (uint8_t v : c) out.append(static_cast<char>(v));
    // Repeat without end.
    out.append(
        "\x21\xFF\x0B"
        "NETSCAPE2.0"
        "\x03\x01",
        16);
    put16(out, 0);
    out.append('\0');
    for (int f = 0; f < frameCount; ++f) {
        // Graphic control: restore to background after the frame, delay,
        // index 0 transparent.
        out.append("\x21\xF9\x04", 3);
        out.append(static_cast<char>((2 << 2) | 1));
        put16(out, kFrameDelay);
        out.append('\0');
        out.append('\0');
        out.append(static_cast<char>(0x2C));
        put16(out, 0);
        put16(out, 0);
        put16(out, size);
        put16(out, size);
        out.append('\0');
        appendImageData(out, drawFrame(size, f * kDots / frameCount));
    }
    out.append(static_cast<char>(0x3B));
    return out;
}

SearchProgressWindow::SearchProgressWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      gif_(searchAnimationGif()),
      buffer_(new QBuffer(&gif_, this)),
      movie_(new QMovie(this)),
      animation_(new QLabel(this)),
      bar_(new QProgressBar(this)) {
    setObjectName(QStringLiteral("searchProgress"));
    setWindowTitle(QStringLiteral("検索中です．．．"));
    setModal(false);
    setFixedSize(kWindowWidth, kWindowHeight);

    buffer_->open(QIODevice::ReadOnly);
    movie_->setDevice(buffer_);
    movie_->setCacheMode(QMovie::CacheAll);
    animation_->setObjectName(QStringLiteral("searchAnimation"));
    animation_->setGeometry(kAnimationAt, kAnimationAt, kAnimationSize, kAnimationSize);
    animation_->setAttribute(Qt::WA_TranslucentBackground);
    animation_->setMovie(movie_);
    movie_->start();

    bar_->setObjectName(QStringLiteral("searchProgressBar"));
    bar_->setGeometry(kBarX, kBarY, kBarWidth, kBarHeight);
    bar_->setTextVisible(false);
    bar_->setRange(0, 0);
    bar_->hide();
}

SearchProgressWindow::~SearchProgressWindow() { movie_->stop(); }

void SearchProgressWindow::startBar(int range) {
    bar_->setRange(0, range);
    bar_->setValue(0);
    bar_->show();
}

void SearchProgressWindow::stepBar() {
    if (bar_->value() < bar_->maximum()) bar_->setValue(bar_->value() + 1);
}

void SearchProgressWindow::hideBar() { bar_->hide(); }

QtSearchProgress::~QtSearchProgress() { close(); }

void QtSearchProgress::open() {
    if (window_) return;
    window_ = new SearchProgressWindow(parent_);
    ++opened_;
    if (parent_) {
        const QWidget* top = parent_->window();
        window_->move(top->geometry().center() - window_->rect().center());
    }
    window_->show();
    window_->repaint();
}

void QtSearchProgress::start(int range) {
    lastRange_ = range;
    lastSteps_ = 0;
    if (window_) {
        window_->startBar(range);
        window_->repaint();
    }
}

void QtSearchProgress::step() {
    ++lastSteps_;
    if (window_) {
        window_->stepBar();
        window_->bar()->repaint();
    }
}

void QtSearchProgress::hide() {
    if (window_) window_->hideBar();
}

void QtSearchProgress::close() {
    if (!window_) return;
    window_->movie()->stop();
    delete window_.data();
    window_.clear();
}

}  // namespace tavrel::gui
