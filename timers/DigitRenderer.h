// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/TimerRecord.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

class QObject;

namespace td {

class FontPluginInterface;

/// The font interface of a loaded plug-in root object, or nullptr.
FontPluginInterface* fontInterface(QObject* plugin);
/// First plug-in implementing the font interface whose name() equals `name` exactly.
FontPluginInterface* findFontPlugin(const QList<QObject*>& plugins, const QString& name);
/// The first plug-in implementing the font interface, or nullptr.
FontPluginInterface* firstFontPlugin(const QList<QObject*>& plugins);
/// The skin the timer windows draw with: the named one, else the first font plug-in.
FontPluginInterface* displayFont(const QList<QObject*>& plugins, const QString& defaultSkin);

/// The whole time value in the named skin; a null image when no plug-in has that name.
/// Sizes are in device-independent pixels; the image carries the skin's pixel ratio,
/// so a skin drawn at 2x stays sharp on a 2x screen.
QImage renderTime(const QList<QObject*>& plugins, const QString& name, const TimeParts& parts);
/// The whole time value in one skin; a null image without a skin.
QImage renderTime(FontPluginInterface* font, const TimeParts& parts);

/// The factor a time image is scaled by for the digit size setting (0 small,
/// 1 normal, anything else big). Big is just below 1 on purpose: a 100-pixel
/// image becomes 99 pixels wide.
double displayScale(int fontSize);

/// The timer tick's rendering step: the default skin (else the first font
/// plug-in; where none draws digits, the built-in digits in `windowFont`),
/// scaled for the digit size setting (0 small, 1 normal, 2 big).
/// The image carries `devicePixelRatio` (0 picks the highest ratio of all
/// screens; a window passes its own devicePixelRatioF() to suit mixed
/// screens), so digits stay sharp on HiDPI screens; a label shows it at its
/// deviceIndependentSize(). Pictures are scaled once and cached, so a tick
/// costs a few microseconds.
QImage renderForDisplay(const QList<QObject*>& plugins, const QString& defaultSkin,
                        const TimeParts& parts, int fontSize, qreal devicePixelRatio = 0,
                        const QFont& windowFont = QFont());

/// One skin picture of a display picture, scaled to its cell (device pixels).
/// The image is shared by every window showing the same picture at that size.
struct PlacedPicture
{
    qint64 key = 0; ///< the skin picture's cache key
    QRect rect;
    QImage image;
};

/// renderForDisplay's picture as the pictures it is made of, not yet painted:
/// a window draws them itself, so it keeps no picture of its own and repaints
/// only the cells whose picture changed.
struct DisplayLayout
{
    QList<PlacedPicture> pictures;
    QSize size; ///< device pixels
    qreal ratio = 1.0;
    bool isNull() const { return size.isEmpty(); }
};

DisplayLayout layoutForDisplay(const QList<QObject*>& plugins, const QString& defaultSkin,
                               const TimeParts& parts, int fontSize, qreal devicePixelRatio = 0,
                               const QFont& windowFont = QFont());

/// Root objects of every plug-in file in `programFolder`'s "skins" subfolder, by file name.
/// Without a "skins" subfolder the files of `programFolder` itself are tried. Each
/// refusal is logged: a file that does not load, a plug-in without the font
/// interface (kept, never drawn with), a font without digit pictures (left out).
QList<QObject*> loadFontPlugins(const QString& programFolder);

} // namespace td
