// SPDX-License-Identifier: GPL-3.0-or-later
#include "SkinPlugin.h"

#include <QRadialGradient>

// Amber 5 x 7 dot-matrix digits of a railway departure board, with the
// dark dots of the matrix showing between them.

namespace {

constexpr qreal Pitch = 6; // distance between dot centres
constexpr qreal DotRadius = 2.5;
constexpr int DigitHeight = 48; // 7 rows and half a pitch above and below
constexpr int CaptionHeight = 18;
constexpr qreal CaptionPitch = 2.6;
constexpr qreal CaptionDotRadius = 1.05;

// 5 x 7 glyphs, one string per row.
const char* const Digits[10][7] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
};
const char* const Colon[7] = {".", ".", "#", ".", "#", ".", "."};
const char* const Slash[7] = {"..#", "..#", ".#.", ".#.", ".#.", "#..", "#.."};

// The small 5-row letters of the captions.
struct Letter
{
    char c;
    const char* rows[5];
};
const Letter Letters[] = {
    {'W', {"#...#", "#...#", "#.#.#", "#.#.#", ".#.#."}},
    {'M', {"#...#", "##.##", "#.#.#", "#...#", "#...#"}},
    {'N', {"#..#", "##.#", "#.##", "#..#", "#..#"}},
    {'E', {"###", "#..", "##.", "#..", "###"}},
    {'K', {"#.#", "#.#", "##.", "#.#", "#.#"}},
    {'S', {".##", "#..", ".#.", "..#", "##."}},
    {'D', {"##.", "#.#", "#.#", "#.#", "##."}},
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
    {'H', {"#.#", "#.#", "###", "#.#", "#.#"}},
    {'O', {".#.", "#.#", "#.#", "#.#", ".#."}},
    {'U', {"#.#", "#.#", "#.#", "#.#", "###"}},
    {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'I', {"###", ".#.", ".#.", ".#.", "###"}},
    {'C', {".##", "#..", "#..", "#..", ".##"}},
    {'1', {".#", "##", ".#", ".#", ".#"}},
    {'0', {"###", "#.#", "#.#", "#.#", "###"}},
    {'/', {"..#", "..#", ".#.", "#..", "#.."}},
};

const Letter* letter(char c)
{
    for (const Letter& l : Letters) {
        if (l.c == c)
            return &l;
    }
    return nullptr;
}

void litDot(QPainter& p, QPointF centre, qreal radius)
{
    QRadialGradient glow(centre, radius * 1.6);
    glow.setColorAt(0, QColor(255, 150, 20, 90));
    glow.setColorAt(1, QColor(255, 120, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, radius * 1.6, radius * 1.6);
    QRadialGradient body(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.1);
    body.setColorAt(0, QColor(0xff, 0xf0, 0xb8));
    body.setColorAt(0.45, QColor(0xff, 0xb0, 0x1e));
    body.setColorAt(1, QColor(0xc8, 0x5a, 0x00));
    p.setBrush(body);
    p.drawEllipse(centre, radius, radius);
}

void unlitDot(QPainter& p, QPointF centre, qreal radius)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x80, 0x55, 0x20, 32));
    p.drawEllipse(centre, radius * 0.85, radius * 0.85);
}

// A glyph of `columns` x 7 dots, centred in a picture `width` wide.
QPixmap drawMatrix(const char* const rows[7], int columns, int width, qreal scale)
{
    const qreal left = (width - columns * Pitch) / 2 + Pitch / 2;
    const qreal top = (DigitHeight - 7 * Pitch) / 2 + Pitch / 2;
    return skinkit::picture(width, DigitHeight, scale, [&](QPainter& p) {
        for (int r = 0; r < 7; ++r) {
            for (int c = 0; c < columns; ++c) {
                const QPointF centre(left + c * Pitch, top + r * Pitch);
                if (rows[r][c] == '#')
                    litDot(p, centre, DotRadius);
                else
                    unlitDot(p, centre, DotRadius);
            }
        }
    });
}

QPixmap drawCaption(const QByteArray& text, qreal scale)
{
    int columns = 0;
    for (char c : text) {
        const Letter* l = letter(c);
        columns += (l ? int(qstrlen(l->rows[0])) : 2) + 1;
    }
    columns -= 1;
    const int width = int(std::ceil((columns + 3) * CaptionPitch));
    const qreal top = CaptionHeight - 5 * CaptionPitch - 2.5 + CaptionPitch / 2;
    return skinkit::picture(width, CaptionHeight, scale, [&](QPainter& p) {
        qreal x = (width - columns * CaptionPitch) / 2 + CaptionPitch / 2;
        for (char c : text) {
            const Letter* l = letter(c);
            const int w = l ? int(qstrlen(l->rows[0])) : 2;
            for (int r = 0; l && r < 5; ++r) {
                for (int col = 0; col < w; ++col) {
                    if (l->rows[r][col] == '#')
                        litDot(p, {x + col * CaptionPitch, top + r * CaptionPitch},
                               CaptionDotRadius);
                }
            }
            x += (w + 1) * CaptionPitch;
        }
    });
}

} // namespace

const char skin::name[] = "ledmatrix";
const char skin::title[] = QT_TRANSLATE_NOOP("SkinPlugin", "LED Matrix");

QPixmap skin::digit(int digit, qreal scale)
{
    return drawMatrix(Digits[digit], 5, int(6 * Pitch), scale);
}

QPixmap skin::colon(qreal scale)
{
    return drawMatrix(Colon, 1, int(2 * Pitch), scale);
}

QPixmap skin::slash(qreal scale)
{
    return drawMatrix(Slash, 3, int(4 * Pitch), scale);
}

// Upper case: the dot letters above know no other.
const char* const skin::captions[] = {
    QT_TRANSLATE_NOOP("QObject", "WEEKS"), QT_TRANSLATE_NOOP("QObject", "DAYS"),
    QT_TRANSLATE_NOOP("QObject", "HOURS"), QT_TRANSLATE_NOOP("QObject", "MIN"),
    QT_TRANSLATE_NOOP("QObject", "SEC"),   QT_TRANSLATE_NOOP("QObject", "1/100")};

QPixmap skin::caption(const QString& text, qreal scale)
{
    return drawCaption(text.toLatin1(), scale);
}
