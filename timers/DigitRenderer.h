#pragma once

#include "timers/TimerRecord.h"

#include <QImage>
#include <QList>
#include <QString>

class QObject;

namespace td {

class FontPluginInterface;

/// The font interface of a loaded plug-in root object, or nullptr.
FontPluginInterface* fontInterface(QObject* plugin);
/// First plug-in implementing the font interface whose name() equals `name` exactly.
FontPluginInterface* findFontPlugin(const QList<QObject*>& plugins, const QString& name);
/// The picture of one number; leading zero pads values below 100 to two digits.
QImage renderNumber(FontPluginInterface* font, qint64 value, bool leadingZero);
/// The whole time value in the named skin; a null image when no plug-in has that name.
QImage renderTime(const QList<QObject*>& plugins, const QString& name, const TimeParts& parts);
/// The timer tick's rendering step: the default skin (else the first font
/// plug-in), scaled for the digit size setting (0 small, 1 normal, 2 big).
QImage renderForDisplay(const QList<QObject*>& plugins, const QString& defaultSkin,
                        const TimeParts& parts, int fontSize);
/// Root objects of every plug-in file in `folder`'s "skins" subfolder, in listing order.
QList<QObject*> loadFontPlugins(const QString& programFolder);

} // namespace td
