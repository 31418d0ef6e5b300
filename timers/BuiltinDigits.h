// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/FontPluginInterface.h"

#include <QFont>
#include <QHash>
#include <QPixmap>

namespace td {

/// The digits a timer window draws when no skin draws any: the text of each
/// symbol in a given font, dark with a light rim so it reads on any desktop,
/// laid out like a skin's pictures. No plug-in, so it is never chosen or listed.
class BuiltinDigits : public FontPluginInterface
{
public:
    /// Digits as tall as the shipped skins' at the normal size.
    static constexpr int DigitPixels = 40;

    explicit BuiltinDigits(const QFont& font);
    QPixmap symbolPixmap(QString key) override;
    QString name() override { return QString(); }
    QString title() override;

    QFont font() const { return m_font; }

private:
    QPixmap draw(const QString& text, const QFont& font, int width, int height) const;

    QFont m_font;
    QHash<QString, QPixmap> m_pictures;
};

} // namespace td
