// SPDX-License-Identifier: GPL-3.0-or-later
#include "UnresolvedFontPlugin.h"

#include <QPixmap>

// Declared, never defined anywhere.
extern "C" int tidra_test_symbol_nobody_defines();

UnresolvedFontPlugin::UnresolvedFontPlugin()
{
    tidra_test_symbol_nobody_defines();
}

QPixmap UnresolvedFontPlugin::symbolPixmap(QString)
{
    QPixmap picture(QSize(10, 20));
    picture.fill(tidra_test_symbol_nobody_defines() ? Qt::red : Qt::blue);
    return picture;
}
