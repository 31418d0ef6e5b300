// SPDX-License-Identifier: GPL-3.0-or-later
#include "SkinPlugin.h"

#include <QFont>
#include <QPainterPath>
#include <QTransform>

// Slanted seven-segment digits of a pocket-calculator display, with the
// unlit segments faintly visible.

namespace {

constexpr int DigitHeight = 48;
constexpr int DigitWidth = 32;
constexpr int CaptionHeight = 18;
constexpr int ColonWidth = 12;
constexpr int SlashWidth = 18;

// The digit body inside its cell.
constexpr qreal Top = 5;
constexpr qreal Bottom = DigitHeight - 5;
constexpr qreal Middle = (Top + Bottom) / 2;
constexpr qreal Thickness = 5.2;
constexpr qreal Gap = 0.9;
constexpr qreal Slant = 0.12; // horizontal shift per unit of height

const QColor Lit(0x1c, 0x2c, 0x27);
const QColor Unlit(0x1c, 0x2c, 0x27, 22);
const QColor Halo(255, 255, 255, 130);

// Leans a shape drawn upright, pivoting on the middle row so the cell's
// width is kept.
QTransform slant()
{
    return QTransform(1, 0, -Slant, 1, Slant * Middle, 0);
}

// A segment with pointed ends between two points on one axis.
QPainterPath segment(QPointF from, QPointF to)
{
    const qreal h = Thickness / 2;
    QPainterPath p;
    if (from.y() == to.y()) {
        const qreal y = from.y(), x0 = from.x() + Gap, x1 = to.x() - Gap;
        p.moveTo(x0, y);
        p.lineTo(x0 + h, y - h);
        p.lineTo(x1 - h, y - h);
        p.lineTo(x1, y);
        p.lineTo(x1 - h, y + h);
        p.lineTo(x0 + h, y + h);
    } else {
        const qreal x = from.x(), y0 = from.y() + Gap, y1 = to.y() - Gap;
        p.moveTo(x, y0);
        p.lineTo(x + h, y0 + h);
        p.lineTo(x + h, y1 - h);
        p.lineTo(x, y1);
        p.lineTo(x - h, y1 - h);
        p.lineTo(x - h, y0 + h);
    }
    p.closeSubpath();
    return p;
}

// Segments a..g: top, upper right, lower right, bottom, lower left, upper left, middle.
QPainterPath segmentPath(int index, qreal left, qreal right)
{
    const qreal h = Thickness / 2;
    const qreal l = left + h, r = right - h, t = Top + h, b = Bottom - h;
    const QPointF ends[7][2] = {
        {{l, t}, {r, t}},      {{r, t}, {r, Middle}}, {{r, Middle}, {r, b}},     {{l, b}, {r, b}},
        {{l, Middle}, {l, b}}, {{l, t}, {l, Middle}}, {{l, Middle}, {r, Middle}}};
    return segment(ends[index][0], ends[index][1]);
}

// Lit segments per digit, bit 0 = a ... bit 6 = g.
constexpr int Segments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};

void drawShapes(QPainter& p, const QPainterPath& lit, const QPainterPath& unlit)
{
    const QTransform t = slant();
    p.fillPath(t.map(unlit), Unlit);
    const QPainterPath shape = t.map(lit);
    p.strokePath(shape, QPen(Halo, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(shape, Lit);
}

} // namespace

const char skin::name[] = "lcd";
const char skin::title[] = QT_TRANSLATE_NOOP("SkinPlugin", "LCD");

QPixmap skin::digit(int digit, qreal scale)
{
    QPainterPath lit, unlit;
    for (int s = 0; s < 7; ++s)
        ((Segments[digit] >> s) & 1 ? lit : unlit).addPath(segmentPath(s, 6, DigitWidth - 4));
    lit.setFillRule(Qt::WindingFill);
    return skinkit::picture(DigitWidth, DigitHeight, scale,
                            [&](QPainter& p) { drawShapes(p, lit, unlit); });
}

QPixmap skin::colon(qreal scale)
{
    QPainterPath dots;
    const qreal s = Thickness;
    const qreal x = ColonWidth / 2.0 - s / 2 + 1;
    dots.addRect(QRectF(x, (Top + Middle) / 2 - s / 2 + 1, s, s));
    dots.addRect(QRectF(x, (Middle + Bottom) / 2 - s / 2 - 1, s, s));
    return skinkit::picture(ColonWidth, DigitHeight, scale,
                            [&](QPainter& p) { drawShapes(p, dots, {}); });
}

QPixmap skin::slash(qreal scale)
{
    // Upright here; the slant makes it lean like the digits, only more.
    const qreal w = Thickness * 0.9;
    QPainterPath bar;
    bar.moveTo(SlashWidth - 4 - w, Top);
    bar.lineTo(SlashWidth - 4, Top);
    bar.lineTo(4 + w, Bottom);
    bar.lineTo(4, Bottom);
    bar.closeSubpath();
    return skinkit::picture(SlashWidth, DigitHeight, scale,
                            [&](QPainter& p) { drawShapes(p, bar, {}); });
}

const char* const skin::captions[] = {
    QT_TRANSLATE_NOOP("QObject", "WEEKS"), QT_TRANSLATE_NOOP("QObject", "DAYS"),
    QT_TRANSLATE_NOOP("QObject", "HOURS"), QT_TRANSLATE_NOOP("QObject", "MIN"),
    QT_TRANSLATE_NOOP("QObject", "SEC"),   QT_TRANSLATE_NOOP("QObject", "1/100")};

QPixmap skin::caption(const QString& text, qreal scale)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setStretch(QFont::Condensed);
    font.setWeight(QFont::Bold);
    font.setPixelSize(11);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    return skinkit::textCaption(text, font, CaptionHeight,
                                QPen(Halo, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin), Lit,
                                scale);
}
