// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class NotAFontPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "com.morvane.Tidra.SomethingElse/1.0")
};
