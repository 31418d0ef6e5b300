// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/WrappedNote.h"

#include <QEvent>
#include <QLabel>

namespace td {

namespace {

void fit(QLabel* note)
{
    const int tall = note->heightForWidth(note->contentsRect().width());
    if (note->width() > 0 && tall > 0 && tall != note->minimumHeight())
        note->setMinimumHeight(tall);
}

class LinesTall : public QObject
{
public:
    explicit LinesTall(QLabel* note) : QObject(note) { note->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A new text is laid out again before it is painted.
        if (event->type() == QEvent::Resize || event->type() == QEvent::Show ||
            event->type() == QEvent::LayoutRequest || event->type() == QEvent::Paint)
            fit(static_cast<QLabel*>(watched));
        return false;
    }
};

} // namespace

void keepLinesTall(QLabel* note)
{
    note->setWordWrap(true);
    if (!note->findChild<LinesTall*>(QString(), Qt::FindDirectChildrenOnly))
        new LinesTall(note);
    fit(note);
}

} // namespace td
