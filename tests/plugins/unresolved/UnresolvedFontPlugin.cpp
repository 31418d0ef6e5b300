// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/FontPluginInterface.h"

#include <QPixmap>

// Declared, never defined anywhere.
extern "C" int tidra_test_symbol_nobody_defines();

// A digit font whose constructor calls that function: a process that loaded
// it lazily ends there.
class UnresolvedFontPlugin : public QObject, public td::FontPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)
    Q_INTERFACES(td::FontPluginInterface)

public:
    UnresolvedFontPlugin() { tidra_test_symbol_nobody_defines(); }
    QPixmap symbolPixmap(QString) override { return QPixmap(); }
    QString name() override { return QStringLiteral("unresolved"); }
    QString title() override { return name(); }
};

#include "UnresolvedFontPlugin.moc"
