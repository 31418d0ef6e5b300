// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SkinKit.h"
#include "timers/FontPluginInterface.h"

#include <QObject>

/// Smooth, anti-aliased slate-blue digits with a light halo, readable on
/// light and dark window backgrounds alike.
class ClassicSkin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    QPixmap symbolPixmap(QString key) override;
    QString name() override { return QStringLiteral("classic"); }
    QString title() override { return tr("Classic"); }

private:
    skinkit::PictureCache cache;
};
