#pragma once

#include "timers/FontPluginInterface.h"

#include <QObject>

/// Digits 10 x 20, captions 16 x 8, separators 4 x 20; nothing else.
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
