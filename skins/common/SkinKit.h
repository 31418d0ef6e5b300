// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the digit-font plug-ins we ship: each plug-in draws its pictures
// once, at a resolution fine enough for the sharpest screen, and hands out
// the cached copies afterwards.

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <cmath>

namespace skinkit {

/// The caption keys, largest unit first.
inline QStringList captionKeys()
{
    return {QStringLiteral("week"), QStringLiteral("day"), QStringLiteral("hour"),
            QStringLiteral("min"),  QStringLiteral("sec"), QStringLiteral("msec")};
}

/// Every key a digit font answers.
inline QStringList symbolKeys()
{
    QStringList keys = captionKeys() << QStringLiteral("colon") << QStringLiteral("slash");
    for (char c = '0'; c <= '9'; ++c)
        keys << QString(QChar(c));
    return keys;
}

/// Device pixels per picture pixel: at least 2, so the program's downscaling
/// of the time image has detail to work with, and more on sharper screens.
inline qreal pictureScale()
{
    const qreal screen = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    return std::max<qreal>(2.0, std::ceil(screen));
}

/// A transparent picture of `width` x `height` device-independent pixels,
/// painted by `paint` in those units.
template <typename Paint> QPixmap picture(int width, int height, qreal scale, Paint paint)
{
    QImage image(int(width * scale), int(height * scale), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing |
                           QPainter::SmoothPixmapTransform);
    paint(painter);
    painter.end();
    return QPixmap::fromImage(image);
}

/// `text` centred on a caption row `height` tall, outlined with `halo`.
inline QPixmap textCaption(const QString& text, const QFont& font, int height, const QPen& halo,
                           const QColor& ink, qreal scale)
{
    const int width = int(std::ceil(QFontMetricsF(font).horizontalAdvance(text) + 8));
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate((width - box.width()) / 2 - box.left(), height - 4);
    return picture(width, height, scale, [&](QPainter& p) {
        p.strokePath(path, halo);
        p.fillPath(path, ink);
    });
}

/// Pictures keyed by symbol, drawn on first use.
class PictureCache
{
public:
    template <typename Draw> QPixmap get(const QString& key, Draw draw)
    {
        if (!built) {
            const qreal scale = pictureScale();
            for (const QString& k : symbolKeys())
                pictures.insert(k, draw(k, scale));
            built = true;
        }
        return pictures.value(key);
    }

private:
    QHash<QString, QPixmap> pictures;
    bool built = false;
};

} // namespace skinkit
