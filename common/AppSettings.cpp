// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/AppSettings.h"

#include "common/SettingsTable.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QSettings>
#include <QSpinBox>
#include <QTimeEdit>

namespace td {

namespace {

using settings::Entry;
using settings::Kind;

template <typename T>
Entry field(const QString& key, Kind kind, T AppSettings::*member, const QVariant& def,
            const QString& widget)
{
    return {key,
            kind,
            def,
            widget,
            [member](const AppSettings& s) { return QVariant::fromValue(s.*member); },
            [member](AppSettings& s, const QVariant& v) { s.*member = v.value<T>(); }};
}

template <typename T>
Entry dayField(int day, const QString& key, Kind kind, T WorkDay::*member, const QVariant& def,
               const QString& widget)
{
    return {key,
            kind,
            def,
            widget,
            [day, member](const AppSettings& s) {
                return QVariant::fromValue(s.workDays[day].*member);
            },
            [day, member](AppSettings& s, const QVariant& v) {
                s.workDays[day].*member = v.value<T>();
            }};
}

std::vector<Entry> buildTable()
{
    using S = AppSettings;
    std::vector<Entry> t = {
        field("tray/leftClick", Kind::Int, &S::leftClick, 1, "leftClickActionCombo"),
        field("tray/doubleClick", Kind::Int, &S::doubleClick, 2, "doubleClickActionCombo"),
        field("tray/middleClick", Kind::Int, &S::middleClick, 5, "middleClickActionCombo"),
        field("tray/showOnStartUp", Kind::Bool, &S::showOnStartUp, true, "showOnStartUp"),
        field("alarms/DisplayTime", Kind::Int, &S::alarmDisplayTime, 10, "alarmDisplayTime"),
        field("alarms/DisplayBaloon", Kind::Bool, &S::alarmDisplayBaloon, false,
              "alarmDisplayBaloon"),
        field("alarms/AlsoNotify", Kind::Bool, &S::alarmAlsoNotify, false, "alarmAlsoNotify"),
        field("alarms/ShadeEffect", Kind::Bool, &S::alarmShadeEffect, true, "alarmShadeEffect"),
        field("alarms/ShadeTime", Kind::Int, &S::alarmShadeTime, 15, "alarmShadeTime"),
        field("alarms/DeleteExpired", Kind::Bool, &S::alarmDeleteExpired, false,
              "alarmDeleteExpired"),
        field("alarms/PlaySound", Kind::Bool, &S::alarmPlaySound, true, "alarmPlaySound"),
        field("alarms/SoundFileName", Kind::String, &S::alarmSoundFileName,
              QStringLiteral("oldphone.wav"), "alarmSoundFile"),
        field("alarms/RepeatSound", Kind::Bool, &S::alarmRepeatSound, false, "alarmRepeatSound"),
        field("alarms/SimpleForm", Kind::Bool, &S::alarmSimpleForm, true, "alarmSimpleForm"),
        field("alarms/RemindChoices", Kind::String, &S::alarmRemindChoices,
              QStringLiteral("5m, 1h, 1d"), "alarmRemindChoices"),
        field("timers/ActivateByClick", Kind::Bool, &S::timerActivateByClick, true,
              "timerActivateByClick"),
        field("timers/ShowCaptions", Kind::Bool, &S::timerShowCaptions, true, "timerShowCaptions"),
        field("timers/ShadeInactive", Kind::Bool, &S::timerShadeInactive, false,
              "timerShadeInactive"),
        field("timers/AlarmEnabled", Kind::Bool, &S::timerAlarmEnabled, true, "timerAlarm"),
        field("timers/FontSize", Kind::Int, &S::timerFontSize, 1, "timerFontSize"),
        field("timers/PlaySound", Kind::Bool, &S::timerPlaySound, true, "timerPlaySound"),
        field("timers/SoundFileName", Kind::String, &S::timerSoundFileName,
              QStringLiteral("oldphone.wav"), "timerSoundFile"),
        field("timers/DefaultSkin", Kind::Skin, &S::timerDefaultSkin, QString(), "skinName"),
    };
    for (int day = 0; day < 7; ++day) {
        const QString p = settings::dayPrefixes[day];
        const bool working = day >= 1 && day <= 5;
        t.push_back(dayField(day, "work/" + p + "Enable", Kind::Bool, &WorkDay::enabled, working,
                             "day" + p + "Enable"));
        t.push_back(dayField(day, "work/" + p + "WorkBeginTime", Kind::Time, &WorkDay::workBegin,
                             QTime(9, 0), "day" + p + "BeginWork"));
        t.push_back(dayField(day, "work/" + p + "LunchBeginTime", Kind::Time, &WorkDay::lunchBegin,
                             QTime(13, 0), "day" + p + "BeginLunch"));
        t.push_back(dayField(day, "work/" + p + "LunchEndTime", Kind::Time, &WorkDay::lunchEnd,
                             QTime(14, 0), "day" + p + "EndLunch"));
        t.push_back(dayField(day, "work/" + p + "WorkEndTime", Kind::Time, &WorkDay::workEnd,
                             QTime(18, 0), "day" + p + "EndWork"));
    }
    const std::vector<Entry> tail = {
        field("work/NoLunch", Kind::Bool, &S::noLunch, false, "noLunchDay"),
        field("work/HideTillLunch", Kind::Bool, &S::hideTillLunch, false,
              "workTimerNoDayEndTillLunch"),
        field("work/TimeToEndDay", Kind::Bool, &S::timeToEndDay, true, "workTimerToDayEnd"),
        field("work/TimeToHoliday", Kind::Bool, &S::timeToHoliday, true, "workTimerHoliday"),
        field("work/TimeToLunch", Kind::Bool, &S::timeToLunch, true, "workTimerToLunch"),
        field("work/TimeToVacation", Kind::Bool, &S::timeToVacation, false, "workTimerVacation"),
        field(QString(), Kind::Autostart, &S::startWithOS, false, "startWithOS"),
    };
    t.insert(t.end(), tail.begin(), tail.end());
    return t;
}

} // namespace

namespace settings {

const std::vector<Entry>& table()
{
    static const std::vector<Entry> entries = buildTable();
    return entries;
}

const Entry* find(const QString& keyOrWidget)
{
    for (const Entry& e : table())
        if (e.key == keyOrWidget || (e.key.isEmpty() && e.widget == keyOrWidget))
            return &e;
    return nullptr;
}

void putIntoWidgets(const AppSettings& s, const QWidget* form)
{
    for (const Entry& e : table()) {
        QWidget* w = form->findChild<QWidget*>(e.widget);
        const QVariant v = e.get(s);
        if (auto* box = qobject_cast<QCheckBox*>(w))
            box->setChecked(v.toBool());
        else if (auto* spin = qobject_cast<QSpinBox*>(w))
            spin->setValue(v.toInt());
        else if (auto* combo = qobject_cast<QComboBox*>(w))
            combo->setCurrentIndex(v.toInt());
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            edit->setText(v.toString());
        else if (auto* timeEdit = qobject_cast<QTimeEdit*>(w)) {
            if (v.toTime().isValid())
                timeEdit->setTime(v.toTime());
        } else if (auto* label = qobject_cast<QLabel*>(w))
            label->setText(v.toString());
    }
}

void readFromWidgets(AppSettings& s, const QWidget* form)
{
    for (const Entry& e : table()) {
        const QWidget* w = form->findChild<QWidget*>(e.widget);
        if (auto* box = qobject_cast<const QCheckBox*>(w))
            e.set(s, box->isChecked());
        else if (auto* spin = qobject_cast<const QSpinBox*>(w))
            e.set(s, spin->value());
        else if (auto* combo = qobject_cast<const QComboBox*>(w))
            e.set(s, combo->currentIndex());
        else if (auto* edit = qobject_cast<const QLineEdit*>(w))
            e.set(s, edit->text());
        else if (auto* timeEdit = qobject_cast<const QTimeEdit*>(w))
            e.set(s, timeEdit->time());
        else if (auto* label = qobject_cast<const QLabel*>(w))
            e.set(s, label->text());
    }
}

} // namespace settings

QString resolveSoundPath(const QString& stored)
{
    QString path = stored;
    if (QFileInfo(path).isRelative())
        path = QDir(QCoreApplication::applicationDirPath()).filePath(path);
    return QDir::fromNativeSeparators(path);
}

QString relativeSoundPath(const QString& chosen)
{
    QString path = chosen;
    if (QFileInfo(path).isAbsolute()) {
        // Only files inside the program's folder travel with it; a path that climbs
        // out ("../..") would break as soon as the program is installed elsewhere.
        const QString relative =
            QDir(QCoreApplication::applicationDirPath()).relativeFilePath(path);
        if (!relative.startsWith(QLatin1String("../")) && QFileInfo(relative).isRelative())
            path = relative;
    }
    return QDir::toNativeSeparators(path);
}

} // namespace td
