// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SkinKit.h"
#include "timers/FontPluginInterface.h"

#include <QObject>

/// Slanted seven-segment digits of a pocket-calculator display, with the
/// unlit segments faintly visible.
class LcdSkin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    QPixmap symbolPixmap(QString key) override;
    QString name() override { return QStringLiteral("lcd"); }
    QString title() override { return tr("LCD"); }

private:
    skinkit::PictureCache cache;
};
