// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <optional>

namespace td {

/// The last item taken out of a list, with its row, so that the deletion can
/// be undone. Only one is kept: a later deletion replaces it.
template <class T> class LastDeletion
{
public:
    /// Takes `list[row]` out and keeps it; false (and nothing changes) for no such row.
    bool take(QList<T>& list, qsizetype row)
    {
        if (row < 0 || row >= list.size())
            return false;
        m_item = list.takeAt(row);
        m_row = row;
        return true;
    }
    /// Puts the kept item back at its row, or at the end when the list is
    /// shorter now; the row it took, or -1 when nothing was kept.
    qsizetype restore(QList<T>& list)
    {
        if (!m_item)
            return -1;
        const qsizetype row = qMin(m_row, list.size());
        list.insert(row, std::move(*m_item));
        m_item.reset();
        return row;
    }
    bool pending() const { return m_item.has_value(); }
    /// The kept item; only while pending().
    const T& item() const { return *m_item; }
    void clear() { m_item.reset(); }

private:
    std::optional<T> m_item;
    qsizetype m_row = 0;
};

} // namespace td
