// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "SkinKit.h"
#include "timers/FontPluginInterface.h"

#include <QObject>

/// Amber 5 x 7 dot-matrix digits of a railway departure board, with the
/// dark dots of the matrix showing between them.
class LedMatrixSkin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    QPixmap symbolPixmap(QString key) override;
    QString name() override { return QStringLiteral("ledmatrix"); }
    QString title() override { return tr("LED Matrix"); }

private:
    skinkit::PictureCache cache;
};
