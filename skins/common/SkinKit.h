// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the digit-font plug-ins we ship: each plug-in draws its pictures
// once, at a resolution fine enough for the sharpest screen, and hands out
// the cached copies afterwards.

#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <QStringList>

#include <cmath>

namespace skinkit {

/// Every key a digit font answers.
inline QStringList symbolKeys()
{
    return {QStringLiteral("0"),    QStringLiteral("1"),     QStringLiteral("2"),
            QStringLiteral("3"),    QStringLiteral("4"),     QStringLiteral("5"),
            QStringLiteral("6"),    QStringLiteral("7"),     QStringLiteral("8"),
            QStringLiteral("9"),    QStringLiteral("week"),  QStringLiteral("day"),
            QStringLiteral("hour"), QStringLiteral("min"),   QStringLiteral("sec"),
            QStringLiteral("msec"), QStringLiteral("colon"), QStringLiteral("slash")};
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
