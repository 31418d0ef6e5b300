// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SkinKit.h"
#include "timers/FontPluginInterface.h"

#include <QObject>

// What each skin folder defines; the plug-in object below is the same for all.
namespace skin {
/// Stored in the settings: keep it stable.
extern const char name[];
/// Shown in the fonts library.
extern const char title[];
QPixmap digit(int digit, qreal scale);
QPixmap colon(qreal scale);
QPixmap slash(qreal scale);
/// The caption texts, in the order of skinkit::captionKeys().
extern const char* const captions[6];
QPixmap caption(const QString& text, qreal scale);
} // namespace skin

/// The root object of each skin we ship.
class SkinPlugin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    QPixmap symbolPixmap(QString key) override
    {
        return cache.get(key, [](const QString& k, qreal scale) {
            if (k.size() == 1 && k[0].isDigit())
                return skin::digit(k[0].digitValue(), scale);
            if (k == QLatin1String("colon"))
                return skin::colon(scale);
            if (k == QLatin1String("slash"))
                return skin::slash(scale);
            return skin::caption(QObject::tr(skin::captions[skinkit::captionKeys().indexOf(k)]),
                                 scale);
        });
    }
    QString name() override { return QString::fromLatin1(skin::name); }
    QString title() override { return tr(skin::title); }

private:
    skinkit::PictureCache cache;
};
