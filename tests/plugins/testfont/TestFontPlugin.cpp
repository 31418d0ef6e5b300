#include "TestFontPlugin.h"

#include <QPixmap>

QPixmap TestFontPlugin::symbolPixmap(QString key)
{
    QSize size;
    if (key.size() == 1 && key[0].isDigit())
        size = QSize(10, 20);
    else if (key == QLatin1String("colon") || key == QLatin1String("slash"))
        size = QSize(4, 20);
    else if (key == QLatin1String("week") || key == QLatin1String("day") ||
             key == QLatin1String("hour") || key == QLatin1String("min") ||
             key == QLatin1String("sec") || key == QLatin1String("msec"))
        size = QSize(16, 8);
    else
        return QPixmap();
    QPixmap picture(size);
    picture.fill(Qt::darkBlue);
    return picture;
}
