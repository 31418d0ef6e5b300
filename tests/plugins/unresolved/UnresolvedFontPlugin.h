// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/FontPluginInterface.h"

#include <QObject>

/// A digit font that needs a function nothing provides: constructing it calls
/// that function, which ends a process that loaded it lazily.
class UnresolvedFontPlugin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    UnresolvedFontPlugin();
    QPixmap symbolPixmap(QString key) override;
    QString name() override { return QStringLiteral("unresolved"); }
    QString title() override { return QStringLiteral("Unresolved"); }
};
