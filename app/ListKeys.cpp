// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ListKeys.h"

#include <QAbstractItemView>
#include <QKeyEvent>

namespace td {

namespace {

class ListKeys : public QObject
{
public:
    ListKeys(QAbstractItemView* view, std::function<void()> edit, std::function<void()> remove)
        : QObject(view), m_view(view), m_edit(std::move(edit)), m_remove(std::move(remove))
    {
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_view || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            // No row, nothing to edit; the key still stays with the list.
            if (m_view->currentIndex().isValid())
                m_edit();
            return true;
        case Qt::Key_Delete:
            m_remove();
            return true;
        default:
            return false;
        }
    }

private:
    QAbstractItemView* m_view;
    std::function<void()> m_edit;
    std::function<void()> m_remove;
};

} // namespace

void installListKeys(QAbstractItemView* view, std::function<void()> edit,
                     std::function<void()> remove)
{
    view->installEventFilter(new ListKeys(view, std::move(edit), std::move(remove)));
}

} // namespace td
