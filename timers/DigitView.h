// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/DigitRenderer.h"

#include <QWidget>

namespace td {

/// Shows a timer's picture, centred. It draws from the picture it keeps, with
/// the window's ground beneath, so a new picture that differs in a digit or two
/// repaints only those; the window behind is never cleared first.
class DigitView : public QWidget
{
    Q_OBJECT

public:
    explicit DigitView(QWidget* parent = nullptr);

    /// The picture, drawn over in place by renderForDisplay(cache(), ...).
    DisplayCache& cache() { return m_cache; }
    /// The cache holds a new picture: repaints what changed of it, or all of it
    /// when its size did.
    void pictureChanged();
    /// Shows nothing.
    void clear();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    /// Where the picture sits, in the widget's pixels.
    QRect pictureRect() const;

    DisplayCache m_cache;
    QSize m_shownSize;
};

} // namespace td
