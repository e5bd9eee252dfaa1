#include "navigator/gui/nav_images.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QString>

#include <array>

namespace tavrel::gui {

namespace {

enum class Picture {
    None,
    ClosedBook,
    OpenBook,
    SplitPiece,   // small page behind a dotted leader
    SplitBranch,  // small page behind a dotted branch
    SplitCorner,  // small page behind a dotted corner
    Table,        // page with a grid
    Page,         // page with lines
    Showa,        // page marked with a red "S"
    Heisei,       // page marked "H"
    Star,         // overlay mark (a round dot)
    Check,        // overlay mark
};

struct Recipe {
    Picture picture = Picture::None;
    int year = 0;          // 平成 year written beside the "H", 0 for none
    bool stacked = false;  // a second sheet behind (first page of a split notification)
};

const QColor kInk(64, 64, 72);
const QColor kLines(96, 120, 176);
const QColor kHeiseiBlue(24, 72, 184);
const QColor kShowaRed(208, 24, 24);

QFont markFont(int pixelSize) {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("IPAPGothic")});
    f.setPixelSize(pixelSize);
    f.setBold(true);
    return f;
}

// A sheet with a folded upper right corner inside r.
void drawSheet(QPainter& p, const QRectF& r) {
    const qreal fold = qMin<qreal>(4, r.width() / 3);
    QPainterPath sheet;
    sheet.moveTo(r.left(), r.top());
    sheet.lineTo(r.right() - fold, r.top());
    sheet.lineTo(r.right(), r.top() + fold);
    sheet.lineTo(r.right(), r.bottom());
    sheet.lineTo(r.left(), r.bottom());
    sheet.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(QColor(220, 220, 228));
    p.drawPath(corner);
}

void drawLines(QPainter& p, const QRectF& r) {
    p.setPen(QPen(kLines, 1));
    for (qreal y = r.top() + 5; y < r.bottom() - 1; y += 2.5)
        p.drawLine(QPointF(r.left() + 2, y), QPointF(r.right() - 2, y));
}

void drawGrid(QPainter& p, const QRectF& r) {
    const QRectF g = r.adjusted(2, 4, -2, -2);
    p.setPen(QPen(QColor(40, 140, 80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(g);
    for (int i = 1; i < 3; ++i) {
        const qreal x = g.left() + g.width() * i / 3;
        p.drawLine(QPointF(x, g.top()), QPointF(x, g.bottom()));
        const qreal y = g.top() + g.height() * i / 3;
        p.drawLine(QPointF(g.left(), y), QPointF(g.right(), y));
    }
}

void drawLetter(QPainter& p, const QRectF& r, const QString& letter, const QColor& color, int pixelSize) {
    p.setPen(color);
    p.setFont(markFont(pixelSize));
    p.drawText(r.adjusted(0, 1, 0, 0), Qt::AlignCenter, letter);
}

void drawDots(QPainter& p, QPointF from, QPointF to) {
    QPen pen(kInk, 1, Qt::DotLine);
    p.setPen(pen);
    p.drawLine(from, to);
}

void paintBook(QPainter& p, bool open) {
    if (!open) {
        const QRectF cover(6.5, 1.5, 12, 13);
        p.setPen(QPen(QColor(40, 48, 96), 1));
        p.setBrush(QColor(72, 96, 168));
        p.drawRect(cover);
        p.setBrush(QColor(48, 64, 128));
        p.drawRect(QRectF(6.5, 1.5, 2.5, 13));
        p.setPen(QPen(QColor(230, 200, 90), 1));
        p.drawLine(QPointF(11, 5.5), QPointF(16.5, 5.5));
        p.drawLine(QPointF(11, 7.5), QPointF(16.5, 7.5));
        return;
    }
    p.setPen(QPen(QColor(40, 48, 96), 1));
    p.setBrush(QColor(72, 96, 168));
    QPainterPath cover;
    cover.moveTo(2.5, 4.5);
    cover.lineTo(12, 6.5);
    cover.lineTo(21.5, 4.5);
    cover.lineTo(21.5, 14.5);
    cover.lineTo(12, 15.5);
    cover.lineTo(2.5, 14.5);
    cover.closeSubpath();
    p.drawPath(cover);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    for (int side = -1; side <= 1; side += 2) {
        QPainterPath page;
        page.moveTo(12, 5.5);
        page.lineTo(12 + side * 8.5, 2.5);
        page.lineTo(12 + side * 8.5, 12.5);
        page.lineTo(12, 14.5);
        page.closeSubpath();
        p.drawPath(page);
    }
    p.setPen(QPen(kLines, 1));
    for (int i = 0; i < 3; ++i) {
        const qreal y = 6 + i * 2.5;
        p.drawLine(QPointF(5, y - 1), QPointF(10, y));
        p.drawLine(QPointF(14, y), QPointF(19, y - 1));
    }
}

void paintRecipe(QPainter& p, const Recipe& s) {
    const QRectF page(7.5, 0.5, 11, 15);
    switch (s.picture) {
        case Picture::None:
            return;
        case Picture::ClosedBook:
            paintBook(p, false);
            return;
        case Picture::OpenBook:
            paintBook(p, true);
            return;
        case Picture::SplitPiece:
            drawDots(p, QPointF(1, 9.5), QPointF(10, 9.5));
            drawSheet(p, QRectF(11.5, 3.5, 9, 11));
            drawLines(p, QRectF(11.5, 3.5, 9, 11));
            return;
        case Picture::SplitBranch:
        case Picture::SplitCorner: {
            const qreal bottom = s.picture == Picture::SplitBranch ? 16 : 9.5;
            drawDots(p, QPointF(5.5, 0), QPointF(5.5, bottom));
            drawDots(p, QPointF(5.5, 9.5), QPointF(11, 9.5));
            drawSheet(p, QRectF(11.5, 3.5, 9, 11));
            drawLines(p, QRectF(11.5, 3.5, 9, 11));
            return;
        }
        case Picture::Table:
            drawSheet(p, page);
            drawGrid(p, page);
            return;
        case Picture::Page:
            drawSheet(p, page);
            drawLines(p, page);
            return;
        case Picture::Showa:
            drawSheet(p, page);
            drawLetter(p, page, QStringLiteral("S"), kShowaRed, 11);
            return;
        case Picture::Heisei: {
            if (s.year == 0) {
                if (s.stacked) drawSheet(p, page.translated(2, 0));
                drawSheet(p, page);
                drawLetter(p, page, QStringLiteral("H"), kHeiseiBlue, 11);
                return;
            }
            // A narrower sheet on the left with the "H", the year beside it.
            const QRectF sheet(1.5, 0.5, 10, 15);
            if (s.stacked) drawSheet(p, sheet.translated(2, 0));
            drawSheet(p, sheet);
            drawLetter(p, sheet, QStringLiteral("H"), kHeiseiBlue, 10);
            p.setPen(s.stacked ? kShowaRed : kHeiseiBlue);
            p.setFont(markFont(9));
            p.drawText(QRectF(12.5, 0, 11.5, 16), Qt::AlignCenter, QString::number(s.year));
            return;
        }
        case Picture::Star: {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(240, 170, 0));
            p.drawEllipse(QRectF(1, 9, 6, 6));
            return;
        }
        case Picture::Check:
            p.setPen(QPen(QColor(0, 150, 60), 2));
            p.drawLine(QPointF(1.5, 11.5), QPointF(3.5, 14));
            p.drawLine(QPointF(3.5, 14), QPointF(7.5, 8.5));
            return;
    }
}

Recipe treeRecipe(int index) {
    switch (index) {
        case 1:
            return {Picture::ClosedBook};
        case 2:
            return {Picture::OpenBook};
        case 3:
            return {Picture::SplitPiece};
        case 4:
            return {Picture::Table};
        case 5:
            return {Picture::Page};
        case 6:
            return {Picture::Showa};
        case 7:
            return {Picture::Heisei};
        case 8:
            return {Picture::Heisei, 19};
        case 9:
            return {Picture::Heisei, 20};
        default:
            if (index >= 10 && index <= 16) return {Picture::Heisei, index + 2};  // 12 ... 18
            return {};
    }
}

Recipe listRecipe(int index) {
    // 平成 12 ... 20 and their split-first variants.
    static constexpr std::array<int, 9> kYearImages{10, 12, 14, 20, 22, 24, 26, 28, 30};
    for (size_t i = 0; i < kYearImages.size(); ++i) {
        const int year = 12 + static_cast<int>(i);
        if (index == kYearImages[i]) return {Picture::Heisei, year};
        if (index == kYearImages[i] + 1) return {Picture::Heisei, year, true};
    }
    switch (index) {
        case 0:
            return {Picture::Star};
        case 1:
            return {Picture::ClosedBook};
        case 2:
            return {Picture::OpenBook};
        case 3:
            return {Picture::Check};
        case 4:
        case 5:
        case 6:
        case 19:
            return {Picture::Page};
        case 7:
            return {Picture::Page};
        case 8:
            return {Picture::Showa};
        case 9:
            return {Picture::Heisei};
        case 16:
            return {Picture::SplitBranch};
        case 17:
            return {Picture::SplitCorner};
        case 18:
            return {Picture::Table};
        default:
            return {};
    }
}

QPixmap paint(const Recipe& s, qreal dpr) {
    if (s.picture == Picture::None) return {};
    QPixmap pm(kNavImageSize * dpr);
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintRecipe(p, s);
    return pm;
}

QIcon iconOf(const Recipe& s) {
    if (s.picture == Picture::None) return {};
    QIcon icon;
    for (const qreal dpr : {1.0, 1.5, 2.0, 3.0}) icon.addPixmap(paint(s, dpr));
    return icon;
}

}  // namespace

QIcon treeStateIcon(int index) {
    static std::array<QIcon, 17> cache;
    if (index <= 0 || index >= static_cast<int>(cache.size())) return {};
    QIcon& icon = cache[static_cast<size_t>(index)];
    if (icon.isNull()) icon = iconOf(treeRecipe(index));
    return icon;
}

QIcon listIcon(int index) {
    static std::array<QIcon, 32> cache;
    if (index < 0 || index >= static_cast<int>(cache.size())) return {};
    QIcon& icon = cache[static_cast<size_t>(index)];
    if (icon.isNull()) icon = iconOf(listRecipe(index));
    return icon;
}

QPixmap treeStatePixmap(int index, qreal dpr) {
    if (index <= 0 || index >= 17) return {};
    return paint(treeRecipe(index), dpr);
}

QPixmap listPixmap(int index, qreal dpr) {
    if (index < 0 || index >= 32) return {};
    return paint(listRecipe(index), dpr);
}

}  // namespace tavrel::gui
