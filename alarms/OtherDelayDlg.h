// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

class Ui_OtherDelayDialog;

namespace td {

/// Asks for a postponement: 1...999 minutes, hours, days or weeks.
class OtherDelayDlg : public QDialog
{
    Q_OBJECT
public:
    explicit OtherDelayDlg(QWidget* parent = nullptr);
    ~OtherDelayDlg() override;

    /// The entered amount in seconds.
    qint64 value() const;

    std::unique_ptr<Ui_OtherDelayDialog> ui;
};

} // namespace td
