// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestFontPlugin.h"

#include <QPixmap>

QPixmap TestFontPlugin::symbolPixmap(QString)
{
    QPixmap picture(10, 20);
    picture.fill(Qt::darkBlue);
    return picture;
}
