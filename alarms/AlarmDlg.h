// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "alarms/AlarmRecord.h"

#include <QDialog>
#include <memory>

class Ui_AlarmDialog;

namespace td {

/// The alarm editor: filled from a record, run modally, read back on Apply.
class AlarmDlg : public QDialog
{
    Q_OBJECT
public:
    /// Prepares a new alarm one hour from now, on the whole minute.
    AlarmDlg();
    ~AlarmDlg() override;

    void fillFrom(const AlarmRecord& record);
    /// A subscribed calendar's alarm changes with its calendar only: says so,
    /// and is true, when `record` is one.
    static bool refusedAsCalendarAlarm(QWidget* parent, const AlarmRecord& record);
    /// The record the widgets describe (hides QDialog::result on purpose).
    AlarmRecord result() const;

    std::unique_ptr<Ui_AlarmDialog> ui;

public slots:
    void repeatModeChanged(int mode);
    void apply();
    void cancel();
    /// Asks for the program of the command; the arguments stay.
    void chooseProgram();

private:
    void setFieldsEnabled(bool on);
    AlarmRecord m_record;
};

} // namespace td
