// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/FontPluginInterface.h"

#include <QObject>

// A digit font that hands back an empty picture for every key.
class BlankFontPlugin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    QPixmap symbolPixmap(QString) override { return QPixmap(); }
    QString name() override { return QStringLiteral("blank"); }
    QString title() override { return QStringLiteral("Blank"); }
};

#include "BlankFontPlugin.moc"
