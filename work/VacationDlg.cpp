// SPDX-License-Identifier: GPL-3.0-or-later
#include "work/VacationDlg.h"

#include "common/Clock.h"
#include "common/Prompts.h"
#include "ui_holidaydialog.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <algorithm>

namespace td {

VacationDlg::VacationDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::CustomizeWindowHint),
      ui(new Ui::HolidayDialog)
{
    ui->setupUi(this);
    activateWindow();
    updateHolidayType();
    connect(ui->holidayTypeCombo, &QComboBox::currentIndexChanged, this,
            &VacationDlg::updateHolidayType);
    connect(ui->applyButton, &QPushButton::clicked, this, &VacationDlg::apply);
    connect(ui->cancelButton, &QPushButton::clicked, this, &VacationDlg::cancel);
    connect(ui->startDate, &QDateEdit::dateTimeChanged, this, &VacationDlg::updateVacationLength);
    connect(ui->endDate, &QDateEdit::dateTimeChanged, this, &VacationDlg::updateVacationLength);
    connect(ui->vacationLength, &QSpinBox::valueChanged, this, &VacationDlg::updateVacationRange);
    ui->nameEdit->setFocus();
    const QDate today = td::now().date();
    ui->startDate->setDate(today);
    ui->endDate->setDate(today);
}

VacationDlg::~VacationDlg() = default;

void VacationDlg::setHoliday(const HolidayRecord& record)
{
    ui->nameEdit->setText(record.name);
    ui->holidayTypeCombo->setCurrentIndex(record.type == TypeVacation ? 1 : 0);
    if (record.type == TypeVacation) {
        // A stored range longer than the length box can show must come back
        // unchanged, so the box is only told the length, not allowed to cut it.
        {
            const QSignalBlocker blockStart(ui->startDate);
            const QSignalBlocker blockEnd(ui->endDate);
            ui->startDate->setDate(record.startDate);
            ui->endDate->setDate(record.endDate);
        }
        const QSignalBlocker blockLength(ui->vacationLength);
        ui->vacationLength->setValue(int(std::clamp<qint64>(
            ui->startDate->date().daysTo(ui->endDate->date()), 0, ui->vacationLength->maximum())));
    } else if (record.startDate.isValid()) {
        ui->holidayDate->setDate(record.startDate);
    }
}

HolidayRecord VacationDlg::holiday() const
{
    HolidayRecord r;
    r.name = ui->nameEdit->text();
    r.type = ui->holidayTypeCombo->currentIndex();
    if (r.type == TypeVacation) {
        r.startDate = ui->startDate->date();
        r.endDate = ui->endDate->date();
        return r;
    }
    const QDate chosen = ui->holidayDate->date();
    const int year = td::now().date().year();
    // 29 February in a year without one is taken as the 28th.
    r.startDate = QDate(year, chosen.month(),
                        qMin(chosen.day(), QDate(year, chosen.month(), 1).daysInMonth()));
    r.endDate = r.startDate;
    return r;
}

void VacationDlg::updateVacationRange()
{
    ui->endDate->setDate(ui->startDate->date().addDays(ui->vacationLength->value()));
}

void VacationDlg::updateVacationLength()
{
    const qint64 days = ui->startDate->date().daysTo(ui->endDate->date());
    // The box clamps to its range; a clamped value that differs from the shown
    // one moves the end date through updateVacationRange().
    ui->vacationLength->setValue(
        int(std::clamp<qint64>(days, -1, ui->vacationLength->maximum() + 1)));
}

void VacationDlg::updateHolidayType()
{
    const bool isHoliday = ui->holidayTypeCombo->currentIndex() == 0;
    ui->label_2->setVisible(isHoliday);
    ui->holidayDate->setVisible(isHoliday);
    for (QWidget* w :
         {static_cast<QWidget*>(ui->label_3), static_cast<QWidget*>(ui->label_4),
          static_cast<QWidget*>(ui->label_5), static_cast<QWidget*>(ui->startDate),
          static_cast<QWidget*>(ui->endDate), static_cast<QWidget*>(ui->vacationLength)})
        w->setVisible(!isHoliday);
}

void VacationDlg::apply()
{
    if (ui->holidayTypeCombo->currentIndex() == TypeVacation &&
        ui->startDate->date() > ui->endDate->date()) {
        td::prompts::warning(this,
                             QCoreApplication::translate("HolidayDialog", "Wrong vacation range"),
                             QCoreApplication::translate(
                                 "HolidayDialog", "Vacation can not finish before it's begin"));
        return;
    }
    accept();
}

void VacationDlg::cancel()
{
    reject();
}

} // namespace td
