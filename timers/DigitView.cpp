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
    if (m_layout.isNull())
        return QSize(0, 0);
    return (QSizeF(m_layout.size) / m_layout.ratio).toSize();
}

QRect DigitView::pictureRect() const
{
    return QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, sizeHint(), rect());
}

QRect DigitView::cellRect(const QRect& r) const
{
    const qreal ratio = m_layout.ratio;
    const int left = int(std::floor(r.left() / ratio));
    const int top = int(std::floor(r.top() / ratio));
    const int right = int(std::ceil((r.right() + 1) / ratio));
    const int bottom = int(std::ceil((r.bottom() + 1) / ratio));
    return QRect(left, top, right - left, bottom - top).translated(pictureRect().topLeft());
}

void DigitView::setPicture(const DisplayLayout& layout)
{
    const DisplayLayout old = std::exchange(m_layout, layout);
    bool same = old.size == layout.size && old.ratio == layout.ratio &&
                old.pictures.size() == layout.pictures.size();
    for (qsizetype i = 0; same && i < layout.pictures.size(); ++i)
        same = old.pictures[i].rect == layout.pictures[i].rect;
    if (!same) {
        if (old.size != layout.size || old.ratio != layout.ratio)
            updateGeometry();
        update();
        return;
    }
    for (qsizetype i = 0; i < layout.pictures.size(); ++i)
        if (old.pictures[i].key != layout.pictures[i].key)
            update(cellRect(layout.pictures[i].rect));
}

void DigitView::paintEvent(QPaintEvent* e)
{
    QPainter painter(this);
    // The ground beneath everything: skins draw soft, see-through edges.
    painter.fillRect(e->rect(), palette().brush(backgroundRole()));
    const QPoint origin = pictureRect().topLeft();
    const qreal ratio = m_layout.ratio;
    // Every picture the repainted area touches, in order, as a whole picture
    // would have them: cells that overlap come out the same.
    for (const PlacedPicture& p : std::as_const(m_layout.pictures)) {
        if (!cellRect(p.rect).intersects(e->rect()))
            continue;
        const QRectF target(QPointF(p.rect.topLeft()) / ratio + origin,
                            QSizeF(p.rect.size()) / ratio);
        painter.drawImage(target, p.image);
    }
}

} // namespace td
