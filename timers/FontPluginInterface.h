// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>
#include <QtPlugin>

namespace td {

/// What a digit-font plug-in ("skin") supplies: the pictures of the digits
/// "0".."9", the captions "week", "day", "hour", "min", "sec", "msec" and the
/// separators "colon" and "slash". All digits must have the same height; the
/// height of "week" is the caption row's height and the width of "colon" the
/// left margin of every time image.
class FontPluginInterface
{
public:
    virtual ~FontPluginInterface() = default;
    /// The picture for one symbol key.
    virtual QPixmap symbolPixmap(QString key) = 0;
    /// Stable identifier, stored in the settings.
    virtual QString name() = 0;
    /// Human-readable name shown in the fonts library.
    virtual QString title() = 0;
};

} // namespace td

#define FontPluginInterface_iid "com.morvane.Tidra.FontPluginInterface/1.0"
Q_DECLARE_INTERFACE(td::FontPluginInterface, FontPluginInterface_iid)
