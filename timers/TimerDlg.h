// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "timers/TimerRecord.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TimerDialog;
}

namespace td {

/// The modal editor of one timer or stopwatch. It holds no timer: it is filled
/// from a record and yields one. For the work windows only the display format
/// can change.
class TimerDlg : public QDialog
{
    Q_OBJECT

public:
    TimerDlg(QWidget* parent, bool workTimer);
    ~TimerDlg() override;

    void setTimerRecord(const TimerRecord& record);
    /// The controls as a record; a "Count for" span and a stopwatch's start are
    /// taken from the current moment.
    TimerRecord timerRecord() const;

    std::unique_ptr<Ui::TimerDialog> ui;

public slots:
    void apply();
    void cancel();
    void changeTimerType();
};

} // namespace td
