// SPDX-License-Identifier: GPL-3.0-or-later
#include "timers/DigitView.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyle>

#include <cmath>

namespace td {

DigitView::DigitView(QWidget* parent) : QWidget(parent)
{
    // Every pixel is painted here, ground included: nothing to clear beneath.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize DigitView::sizeHint() const
{
    return m_cache.image.isNull() ? QSize(0, 0) : m_cache.image.deviceIndependentSize().toSize();
}

QRect DigitView::pictureRect() const
{
    return QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, sizeHint(), rect());
}

void DigitView::pictureChanged()
{
    const QSize size = sizeHint();
    if (size != m_shownSize) {
        m_shownSize = size;
        updateGeometry();
        update();
        return;
    }
    const qreal ratio = m_cache.image.devicePixelRatio();
    const QPoint origin = pictureRect().topLeft();
    for (const QRect& r : m_cache.changed) {
        // Device pixels out to the whole widget pixels they touch.
        const int left = int(std::floor(r.left() / ratio));
        const int top = int(std::floor(r.top() / ratio));
        const int right = int(std::ceil((r.right() + 1) / ratio));
        const int bottom = int(std::ceil((r.bottom() + 1) / ratio));
        update(QRect(left, top, right - left, bottom - top).translated(origin));
    }
}

void DigitView::clear()
{
    m_cache = DisplayCache();
    pictureChanged();
}

void DigitView::paintEvent(QPaintEvent* e)
{
    QPainter painter(this);
    const QRect picture = pictureRect();
    // The ground beneath everything: skins draw soft, see-through edges.
    painter.fillRect(e->rect(), palette().brush(backgroundRole()));
    if (m_cache.image.isNull())
        return;
    const QRect area = e->rect().intersected(picture);
    if (area.isEmpty())
        return;
    const qreal ratio = m_cache.image.devicePixelRatio();
    const QRect source(qRound((area.x() - picture.x()) * ratio),
                       qRound((area.y() - picture.y()) * ratio), qRound(area.width() * ratio),
                       qRound(area.height() * ratio));
    painter.drawImage(area, m_cache.image, source);
}

} // namespace td
