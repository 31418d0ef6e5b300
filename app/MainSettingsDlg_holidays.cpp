// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainSettingsDlg.h"
#include "common/AppSettings.h"
#include "common/Clock.h"
#include "common/LocaleFormat.h"
#include "common/Prompts.h"
#include "ui_maindialog.h"
#include "work/VacationDlg.h"
#include "work/WorkRules.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QIcon>
#include <QScrollBar>
#include <QTableWidget>
#include <QTableWidgetItem>
#include <utility>

namespace td {

namespace {

QTableWidgetItem* cell(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QString dateText(const QDate& date)
{
    return readableDate(date, QStringLiteral("MMM dd yyyy"));
}

/// A subscribed calendar's day changes with the calendar only; says so when it is one.
bool refusedAsCalendarDay(QWidget* parent, const QList<HolidayRecord>& list, int row)
{
    if (row < 0 || row >= list.size() || list.at(row).calendar.isEmpty())
        return false;
    prompts::warning(parent, QCoreApplication::translate("MainDialog", "Holidays"),
                     QCoreApplication::translate("MainDialog",
                                                 "This day comes from the calendar \"%1\" and "
                                                 "changes only with it.")
                         .arg(list.at(row).calendar));
    return true;
}

} // namespace

void MainSettingsDlg::addHoliday()
{
    VacationDlg editor(this);
    const bool added = editor.exec() == QDialog::Accepted;
    if (added) {
        appSettings->holidays.append(editor.holiday());
        offerHolidayUndo(false);
    }
    updateHolidays();
    if (added)
        ui->holidaysList->setCurrentCell(int(appSettings->holidays.size()) - 1, 1);
    emit holidaysChanged();
}

void MainSettingsDlg::delHoliday()
{
    const int row = ui->holidaysList->currentRow();
    if (refusedAsCalendarDay(this, appSettings->holidays, row))
        return;
    const bool inList = deletedHoliday.take(appSettings->holidays, row);
    if (inList)
        offerHolidayUndo(true);
    updateHolidays();
    // The next record takes the deleted one's place, so deleting again goes on down the list.
    if (inList && !appSettings->holidays.isEmpty())
        ui->holidaysList->setCurrentCell(qMin(row, int(appSettings->holidays.size()) - 1), 1);
    emit holidaysChanged();
}

void MainSettingsDlg::editHoliday(QTableWidgetItem*)
{
    // The current row, not the clicked item: both name the same record.
    const int row = ui->holidaysList->currentRow();
    if (refusedAsCalendarDay(this, appSettings->holidays, row))
        return;
    if (row >= 0 && row < appSettings->holidays.size()) {
        VacationDlg editor(this);
        editor.setHoliday(appSettings->holidays.at(row));
        if (editor.exec() == QDialog::Accepted && row < appSettings->holidays.size()) {
            appSettings->holidays[row] = editor.holiday();
            offerHolidayUndo(false);
        }
    }
    updateHolidays();
    if (row >= 0 && row < appSettings->holidays.size())
        ui->holidaysList->setCurrentCell(row, 1);
    emit holidaysChanged();
}

void MainSettingsDlg::undoHolidayDeletion()
{
    const qsizetype row = deletedHoliday.restore(appSettings->holidays);
    offerHolidayUndo(false);
    if (row < 0)
        return;
    updateHolidays();
    ui->holidaysList->setCurrentCell(int(row), 1);
    emit holidaysChanged();
}

void MainSettingsDlg::updateHolidays()
{
    const QDate today = td::now().date();
    workTargetsDate = today;
    bool moved = false;
    for (HolidayRecord& record : appSettings->holidays)
        moved = work::moveHolidayForward(record, today) || moved;

    QTableWidget* table = ui->holidaysList;
    const int current = table->currentRow();
    table->clear();
    table->setRowCount(0);
    table->setColumnCount(3);
    table->setHorizontalHeaderItem(
        0, new QTableWidgetItem(QCoreApplication::translate("MainDialog", "Type")));
    table->setHorizontalHeaderItem(
        1, new QTableWidgetItem(QCoreApplication::translate("MainDialog", "Name")));
    table->setHorizontalHeaderItem(
        2, new QTableWidgetItem(QCoreApplication::translate("MainDialog", "Date")));
    const QIcon holidayIcon(QStringLiteral(":/icons/HourGlass.png"));
    const QIcon vacationIcon(QStringLiteral(":/icons/vacation.png"));
    for (const HolidayRecord& record : std::as_const(appSettings->holidays)) {
        const int row = table->rowCount();
        table->insertRow(row);
        const bool vacation = record.type == TypeVacation;
        QTableWidgetItem* type = cell(QString());
        type->setIcon(vacation ? vacationIcon : holidayIcon);
        type->setToolTip(vacation ? QCoreApplication::translate("HolidayDialog", "Vacation")
                                  : QCoreApplication::translate("HolidayDialog", "Holiday"));
        table->setItem(row, 0, type);
        const bool fromCalendar = !record.calendar.isEmpty();
        QTableWidgetItem* name =
            cell(fromCalendar ? QStringLiteral("%1 (%2)").arg(record.name, record.calendar)
                              : record.name);
        // A long name is cut to fit; the whole of it is a hover away.
        name->setToolTip(
            fromCalendar ? QCoreApplication::translate("MainDialog", "%1, from the calendar \"%2\"")
                               .arg(record.name, record.calendar)
                         : record.name);
        if (fromCalendar) {
            QFont italic = name->font();
            italic.setItalic(true);
            name->setFont(italic);
        }
        table->setItem(row, 1, name);
        table->setItem(row, 2,
                       cell(vacation ? dateText(record.startDate) + QStringLiteral(" - ") +
                                           dateText(record.endDate)
                                     : dateText(record.startDate)));
    }
    QHeaderView* header = table->horizontalHeader();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(1, QHeaderView::Stretch);
    header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    table->setWordWrap(false);
    // Icons and dates are never cut, and a name keeps room for a few
    // words beside them: at a large font the window grows instead.
    const QAbstractItemView* view = table;
    auto columnWidth = [&](int c) {
        return qMax(header->sectionSizeHint(c), view->sizeHintForColumn(c));
    };
    const int nameRoom = table->fontMetrics().averageCharWidth() * 16;
    table->setMinimumWidth(columnWidth(0) + nameRoom + columnWidth(2) + 2 * table->frameWidth() +
                           table->verticalScrollBar()->sizeHint().width());
    // Keep the user's place across a refresh (the midnight one included).
    if (current >= 0 && current < table->rowCount())
        table->setCurrentCell(current, 1);

    updateWorkingTimer(holidayTimer);
    updateWorkingTimer(vacationTimer);
    if (moved)
        emit holidaysChanged();
    // The windows' choice and whether midnight matters may have changed.
    tickSoon();
}

} // namespace td
