// SPDX-License-Identifier: GPL-3.0-or-later
#include "alarms/PopupRules.h"
#include "tests/common/RulesSupport.h"

#include <QLocale>

Q_DECLARE_METATYPE(QList<QRect>)

namespace {

// A 1000 x 600 desktop holds 3 x 3 pop-ups of 300 x 200; the first column is at x = 700.
const QRect desktop(0, 0, 1000, 600);
const QSize popup(300, 200);

QRect at(int x, int y, QSize size = popup)
{
    return QRect(QPoint(x, y), size);
}

QList<QRect> fullDesktop()
{
    QList<QRect> all;
    for (int x : {700, 400, 100})
        for (int y : {400, 200, 0})
            all << at(x, y);
    return all;
}

} // namespace

class TestPopupRules : public QObject
{
    Q_OBJECT
private slots:
    void stacking_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("start"); // position and size of the pop-up
        QTest::addColumn<QList<QRect>>("shown");
        QTest::addColumn<QPoint>("expected");
        const QRect corner = at(700, 400);
        QTest::newRow("nothing shown") << desktop << corner << QList<QRect>{} << QPoint(700, 400);
        QTest::newRow("above the one in the corner")
            << desktop << corner << QList<QRect>{corner} << QPoint(700, 200);
        QTest::newRow("column full: next column, at the bottom")
            << desktop << corner << QList<QRect>{corner, at(700, 200), at(700, 0)}
            << QPoint(400, 400);
        QTest::newRow("met in reverse order: still no overlap")
            << desktop << corner << QList<QRect>{at(700, 0), at(700, 200), corner}
            << QPoint(400, 400);
        QTest::newRow("directly above a shorter one")
            << desktop << corner << QList<QRect>{at(700, 500, QSize(300, 100))} << QPoint(700, 300);
        QTest::newRow("half over another: right above it")
            << desktop << at(700, 300) << QList<QRect>{corner} << QPoint(700, 200);
        QList<QRect> gap = fullDesktop();
        gap.removeAll(at(100, 0));
        QTest::newRow("a narrower pop-up finds the gap the columns miss")
            << desktop << at(720, 400, QSize(280, 200)) << gap << QPoint(120, 0);
        QList<QRect> full = fullDesktop();
        QTest::newRow("columns run out: cascade over the first")
            << desktop << corner << full << QPoint(668, 368);
        full << at(668, 368);
        QTest::newRow("next cascade step") << desktop << corner << full << QPoint(636, 336);
        QTest::newRow("dragged off the desktop comes back")
            << desktop << at(900, -50) << QList<QRect>{} << QPoint(700, 0);
        QTest::newRow("larger than the desktop: its top-left corner")
            << desktop << at(700, 400, QSize(1200, 700)) << QList<QRect>{} << QPoint(0, 0);
        QTest::newRow("panel at the top: new column starts at the bottom")
            << QRect(0, 30, 1000, 600) << at(700, 430)
            << QList<QRect>{at(700, 430), at(700, 230), at(700, 30)} << QPoint(400, 430);
    }
    void stacking()
    {
        QFETCH(QRect, area);
        QFETCH(QRect, start);
        QFETCH(QList<QRect>, shown);
        const QPoint p = td::stackPopup(area, start.size(), start.topLeft(), shown);
        QTEST(p, "expected");
        QVERIFY(area.contains(QRect(p, start.size())) || start.width() > area.width());
    }

    void wrapping_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QChar zw(0x200B);
        QTest::newRow("short words") << "Get up and go"
                                     << "Get up and go";
        QTest::newRow("run of exactly the limit") << QString(4, 'x') << QString(4, 'x');
        QTest::newRow("longer runs broken every limit")
            << "abcdefghij kl" << QString("abcd") + zw + "efgh" + zw + "ij kl";
        QTest::newRow("a line break ends a run") << "abcd\nefgh"
                                                 << "abcd\nefgh";
        QTest::newRow("never inside a surrogate pair")
            << QString("abc") + QString::fromUtf8("😀") + "d"
            << QString("abc") + QString::fromUtf8("😀") + zw + "d";
    }
    void wrapping()
    {
        QFETCH(QString, text);
        QTEST(td::wrappableText(text, 4), "expected");
    }

    void missedText_data()
    {
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QDateTime>("due");
        QTest::addColumn<QString>("text");
        const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
        const QDateTime now(QDate(2026, 5, 6), QTime(9, 0));
        QTest::newRow("a minute late: on time") << uk << now.addSecs(-60) << "";
        QTest::newRow("later than a minute")
            << uk << now.addSecs(-61) << "This alarm was due at 08:58 today.";
        QTest::newRow("yesterday") << uk << QDateTime(QDate(2026, 5, 5), QTime(10, 30))
                                   << "This alarm was due at 10:30 yesterday.";
        QTest::newRow("earlier, the locale's formats")
            << QLocale(QLocale::English, QLocale::UnitedStates)
            << QDateTime(QDate(2026, 5, 4), QTime(22, 15))
            << "This alarm was due at 10:15 PM on Monday, May 4, 2026.";
        QTest::newRow("not due yet") << uk << now.addSecs(3600) << "";
        QTest::newRow("no seconds where the short format has them")
            << QLocale::c() << now.addSecs(-600) << "This alarm was due at 08:50 today.";
    }
    void missedText()
    {
        QFETCH(QLocale, locale);
        QFETCH(QDateTime, due);
        QLocale::setDefault(locale);
        const QString text = td::missedAlarmText(due, QDateTime(QDate(2026, 5, 6), QTime(9, 0)));
        QLocale::setDefault(QLocale::c());
        QTEST(text, "text");
    }
};

TIDRA_RULES_TEST_MAIN(TestPopupRules)
#include "tst_popuprules.moc"
