// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/TimerRecord.h"

#include <QFont>
#include <QImage>
#include <QList>
#include <QPair>
#include <QRect>
#include <QRegion>
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

/// The picture a window showed last and where each skin picture sits in it
/// (cache key and device-pixel rectangle), so that the next picture, laid out
/// alike, only repaints the pictures that changed: most ticks, a digit or two.
struct DisplayCache
{
    QImage image;
    QList<QPair<qint64, QRect>> placed;
    /// Device pixels the last rendering changed: the whole image when new.
    QRegion changed;
};

/// renderForDisplay, drawing over the cached picture where the layout is the
/// same; the result is the same image a fresh rendering gives.
QImage renderForDisplay(DisplayCache& cache, const QList<QObject*>& plugins,
                        const QString& defaultSkin, const TimeParts& parts, int fontSize,
                        qreal devicePixelRatio = 0, const QFont& windowFont = QFont());

/// Root objects of every plug-in file in `programFolder`'s "skins" subfolder, by file name.
/// Without a "skins" subfolder the files of `programFolder` itself are tried. Each
/// refusal is logged: a file that does not load, a plug-in without the font
/// interface (kept, never drawn with), a font without digit pictures (left out).
QList<QObject*> loadFontPlugins(const QString& programFolder);

} // namespace td
