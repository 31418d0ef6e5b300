// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SharedPixmap.h"

#include <QPixmapCache>

namespace td {

QPixmap sharedPixmap(const QString& path)
{
    QPixmap pixmap;
    if (!QPixmapCache::find(path, &pixmap)) {
        pixmap.load(path);
        QPixmapCache::insert(path, pixmap);
    }
    return pixmap;
}

} // namespace td
