// SPDX-License-Identifier: GPL-3.0-or-later
#include <QObject>

// A plug-in that offers some other interface than a digit font's.
class NotAFontPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "com.morvane.Tidra.SomethingElse/1.0")
};

#include "NotAFontPlugin.moc"
