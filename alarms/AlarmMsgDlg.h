// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/SharedPixmap.h"

#include "alarms/AlarmModel.h"
#include "alarms/AlarmRecord.h"

#include <QDateTime>
#include <QDialog>
#include <QPixmap>
#include <limits>
#include <memory>

class QAction;
class QMenu;
class QMovie;
class QTimer;
class Ui_AlarmMsgDialog2;

namespace td {

/// The small frameless pop-up that shows one alarm of the model when it rings;
/// what the user picks in it (edit, remind later) goes to the model. It stays
/// hidden until placed and shown with showAlarm(); its widgets, menus and
/// timers are built when it is first sized or shown.
class AlarmMsgDlg : public QDialog
{
    Q_OBJECT
public:
    /// Number of fade steps from full opacity until the pop-up hides.
    static constexpr int FadeSteps = 80;

    /// What a pop-up stands for: a listed alarm; a finished timer, whose
    /// record belongs to no list, so it offers no editing; or the summary of
    /// the alarms that fired while a screenful of pop-ups was showing.
    enum class Kind { Alarm, TimerFinished, Summary };

    /// The pop-up of the model's alarm `id`; a summary has neither.
    AlarmMsgDlg(AlarmModel* model, quint64 id, QWidget* parent = nullptr);
    ~AlarmMsgDlg() override;

    quint64 id() const { return m_id; }
    /// The record it shows (a copy taken when the model last changed it).
    AlarmRecord alarm() const { return m_record; }
    /// The model changed the alarm: the labels follow.
    void refresh();

    /// Asks the model to put the alarm off by `seconds`, shown as `show`;
    /// warns when the next occurrence comes first.
    void addDelay(int seconds, RingShow show = RingShow::Popup);

    /// Shows the pop-up at its current place and starts the display period.
    void showAlarm();
    /// Shows or hides the banner and clock as "alarms/SimpleForm" says and takes
    /// the resulting size without showing the window. A size change keeps the
    /// bottom-right corner where it was.
    void prepareSize();
    /// The note above the message that the alarm comes late; empty: none.
    void setMissedText(const QString& text);
    QString missedText() const { return m_missedText; }
    /// The note below it that the alarm's sound cannot be played; empty: none.
    void setSoundProblem(const QString& reason);
    /// How the pop-up and the notification say why there is no sound.
    static QString soundNote(const QString& reason);
    void setKind(Kind kind);
    Kind kind() const { return m_kind; }
    /// A summary's count of the alarms it stands for.
    void setSummaryCount(int count);
    int summaryCount() const { return m_summaryCount; }
    /// Builds the pop-up's widgets if they do not exist yet.
    void ensurePopup();
    /// Hides the pop-up and has it go to the bottom-right corner of the
    /// desktop the next time it is sized, when its real size is known.
    void parkInCorner();

    void setVisible(bool visible) override;
    /// Grows with every showing, so the newest shown pop-up has the largest.
    quint64 shownOrder() const { return m_shownOrder; }
    /// Raises a shown pop-up and gives it the keyboard focus; it never takes
    /// the focus by itself when it appears.
    void takeFocus();

    std::unique_ptr<Ui_AlarmMsgDialog2> ui;
    QTimer* shadeTimer = nullptr;
    int displayLeft = 0;
    double opacity = 1.0;
    bool mouseInside = false;
    QMovie* movie = nullptr; ///< created on first show
    QMenu* menu = nullptr;
    QMenu* remindMenu = nullptr;
    QAction* editAction = nullptr;
    QAction* hideAction = nullptr;
    QAction* delay5minAction = nullptr;
    QAction* delay1hourAction = nullptr;
    QAction* delay1dayAction = nullptr;
    QAction* otherDelayAction = nullptr;
    QAction* openListAction = nullptr; ///< summaries only

signals:
    void alarmFinished(td::AlarmMsgDlg* alarm);
    void alarmPositionChanged(td::AlarmMsgDlg* alarm);
    /// A summary was clicked: the user wants the alarm list.
    void listRequested();

public slots:
    void updateStrings();
    void editAlarm();
    void addDelay5min();
    /// "Remind in 5 minutes" from the alarm's notification: it comes back as one.
    void addDelay5minByNotification();
    void addDelay1hour();
    void addDelay1day();
    void otherDelay();
    void changedStayOnTop(bool mode);
    void closed(int);
    void closed();
    void shadeDown();
    void animationUpdated(int frame);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    /// The user's "Remind later" choices, then "Other".
    void fillRemindMenu();
    void hideAndReset();
    void openMenuFromKeyboard();
    QString shownName() const;
    void showTexts();
    void fitToDesktop();
    void applyKind();
    /// After the menu closed with the pointer elsewhere, the display period
    /// and fade go on as if the pointer had left.
    void resumeAfterMenu();
    void resumeFading();
    void setMenuIcons();
    int fadeStepMsecs() const;
    /// Tells the model whether the pop-up shows.
    void reportRinging(bool ringing);

    AlarmModel* m_model;
    quint64 m_id;
    AlarmRecord m_record;
    QString m_animationFile;
    bool m_parked = false;
    quint64 m_shownOrder = 0;
    bool m_movedSincePress = false;
    QString m_missedText;
    QString m_soundProblem;
    Kind m_kind = Kind::Alarm;
    int m_summaryCount = 0;
};

} // namespace td
