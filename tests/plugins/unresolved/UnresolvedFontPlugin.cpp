// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/FontPluginInterface.h"

// Declared, never defined anywhere.
extern "C" int tidra_test_symbol_nobody_defines();

// A plug-in offering the digit font interface whose constructor calls that
// function: a process that loaded it lazily ends there, before any use.
class UnresolvedFontPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID FontPluginInterface_iid)

public:
    UnresolvedFontPlugin() { tidra_test_symbol_nobody_defines(); }
};

#include "UnresolvedFontPlugin.moc"
