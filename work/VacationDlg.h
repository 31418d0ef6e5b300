// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/HolidayRecord.h"

#include <QDialog>
#include <memory>

namespace Ui {
class HolidayDialog;
}

namespace td {

/// The editor of one holiday or vacation. Created per use and run modally.
class VacationDlg : public QDialog
{
    Q_OBJECT

public:
    explicit VacationDlg(QWidget* parent = nullptr);
    ~VacationDlg() override;

    /// Shows a record for editing.
    void setHoliday(const HolidayRecord& record);
    /// The record as the editor shows it; a holiday falls in the current year.
    HolidayRecord holiday() const;

    std::unique_ptr<Ui::HolidayDialog> ui;

public slots:
    void updateVacationRange();
    void updateVacationLength();
    void updateHolidayType();
    void apply();
    void cancel();
};

} // namespace td
