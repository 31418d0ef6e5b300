// SPDX-License-Identifier: GPL-3.0-or-later
#include "SkinPlugin.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainterPath>

// Smooth, anti-aliased slate-blue digits with a light halo, readable on
// light and dark window backgrounds alike.

namespace {

constexpr int DigitHeight = 48;
constexpr int CaptionHeight = 18;
constexpr qreal GlyphHeight = 36; // the ink of a digit, centred in its cell
constexpr int ColonWidth = 14;
constexpr int SlashWidth = 20;

const QColor Halo(255, 255, 255, 150);

QFont digitFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setWeight(QFont::Bold);
    font.setStretch(QFont::SemiCondensed);
    font.setPixelSize(100);
    // Size the font so a zero's ink is exactly GlyphHeight tall, whatever
    // face the system substitutes.
    QPainterPath zero;
    zero.addText(0, 0, font, QStringLiteral("0"));
    font.setPixelSize(qRound(100 * GlyphHeight / zero.boundingRect().height()));
    return font;
}

QFont captionFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif, QFont::PreferAntialias);
    font.setWeight(QFont::DemiBold);
    font.setPixelSize(12);
    return font;
}

QLinearGradient inkGradient(qreal top, qreal bottom)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, QColor(0x4a, 0x5d, 0x75));
    g.setColorAt(1, QColor(0x17, 0x20, 0x2c));
    return g;
}

void drawInk(QPainter& p, const QPainterPath& path, qreal top, qreal bottom, qreal halo)
{
    p.strokePath(path, QPen(Halo, halo, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, inkGradient(top, bottom));
}

struct Metrics
{
    QFont font = digitFont();
    qreal cellWidth = 0;
    qreal baseline = 0;
    qreal inkTop = 0;
    Metrics()
    {
        QPainterPath zero;
        zero.addText(0, 0, font, QStringLiteral("0"));
        const QRectF z = zero.boundingRect();
        inkTop = (DigitHeight - z.height()) / 2;
        baseline = inkTop - z.top();
        qreal widest = 0;
        for (char c = '0'; c <= '9'; ++c) {
            QPainterPath d;
            d.addText(0, 0, font, QString(QChar(c)));
            widest = qMax(widest, d.boundingRect().width());
        }
        cellWidth = std::ceil(widest + 6);
    }
};

const Metrics& metrics()
{
    static const Metrics m;
    return m;
}

} // namespace

const char skin::name[] = "classic";
const char skin::title[] = QT_TRANSLATE_NOOP("SkinPlugin", "Classic");

QPixmap skin::digit(int digit, qreal scale)
{
    const Metrics& m = metrics();
    QPainterPath path;
    path.addText(0, 0, m.font, QString::number(digit));
    const QRectF ink = path.boundingRect();
    path.translate((m.cellWidth - ink.width()) / 2 - ink.left(), m.baseline);
    return skinkit::picture(int(m.cellWidth), DigitHeight, scale, [&](QPainter& p) {
        drawInk(p, path, m.inkTop, m.inkTop + GlyphHeight, 3);
    });
}

QPixmap skin::colon(qreal scale)
{
    const Metrics& m = metrics();
    QPainterPath path;
    const qreal r = 3.8;
    path.addEllipse(QPointF(ColonWidth / 2.0, m.inkTop + GlyphHeight * 0.32), r, r);
    path.addEllipse(QPointF(ColonWidth / 2.0, m.inkTop + GlyphHeight * 0.74), r, r);
    return skinkit::picture(ColonWidth, DigitHeight, scale, [&](QPainter& p) {
        drawInk(p, path, m.inkTop, m.inkTop + GlyphHeight, 3);
    });
}

QPixmap skin::slash(qreal scale)
{
    const Metrics& m = metrics();
    QPainterPath line;
    line.moveTo(SlashWidth - 5, m.inkTop + 1);
    line.lineTo(5, m.inkTop + GlyphHeight - 1);
    QPainterPathStroker stroker;
    stroker.setWidth(4.5);
    stroker.setCapStyle(Qt::RoundCap);
    const QPainterPath path = stroker.createStroke(line);
    return skinkit::picture(SlashWidth, DigitHeight, scale, [&](QPainter& p) {
        drawInk(p, path, m.inkTop, m.inkTop + GlyphHeight, 3);
    });
}

const char* const skin::captions[] = {
    QT_TRANSLATE_NOOP("QObject", "weeks"), QT_TRANSLATE_NOOP("QObject", "days"),
    QT_TRANSLATE_NOOP("QObject", "hours"), QT_TRANSLATE_NOOP("QObject", "min"),
    QT_TRANSLATE_NOOP("QObject", "sec"),   QT_TRANSLATE_NOOP("QObject", "1/100")};

QPixmap skin::caption(const QString& text, qreal scale)
{
    return skinkit::textCaption(text, captionFont(), CaptionHeight,
                                QPen(Halo, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin),
                                QColor(0x4d, 0x5e, 0x73), scale);
}
