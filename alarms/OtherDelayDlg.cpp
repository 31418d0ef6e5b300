// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/OtherDelayDlg.h"

#include "ui_otherdelaydialog.h"

namespace td {

OtherDelayDlg::OtherDelayDlg(QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(new Ui_OtherDelayDialog)
{
    ui->setupUi(this);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

OtherDelayDlg::~OtherDelayDlg() = default;

qint64 OtherDelayDlg::value() const
{
    static const qint64 unitSeconds[] = {60, 3600, 86400, 604800};
    const int unit = qBound(0, ui->valueType->currentIndex(), 3);
    return qint64(ui->valueBox->value()) * unitSeconds[unit];
}

} // namespace td
