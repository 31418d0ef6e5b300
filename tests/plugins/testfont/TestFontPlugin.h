// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/FontPluginInterface.h"

#include <QObject>

/// A font whose name is all the loader tests look at; every picture is 10 x 20.
class TestFontPlugin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    QPixmap symbolPixmap(QString key) override;
    QString name() override { return QStringLiteral("testfont"); }
    QString title() override { return QStringLiteral("Test Font"); }
};
