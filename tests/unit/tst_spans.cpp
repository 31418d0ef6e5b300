// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/Spans.h"
#include "tests/common/RulesSupport.h"

using namespace td;

class TestSpans : public QObject
{
    Q_OBJECT

private slots:
    // The "Remind later" choices as typed: what is understood is kept, each
    // once and in the order given; the rest is named.
    void parseList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<qint64>>("choices");
        QTest::addColumn<QStringList>("bad");
        QTest::newRow("blanks, case, repeats")
            << " 10M ,, 10min,1H30m " << QList<qint64>{600, 5400} << QStringList();
        QTest::newRow("not spans") << "2x, 0m, 5m, 99999999999s" << QList<qint64>{300}
                                   << QStringList{"2x", "0m", "99999999999s"};
        QTest::newRow("at most ten")
            << "1m,2m,3m,4m,5m,6m,7m,8m,9m,10m,11m"
            << QList<qint64>{60, 120, 180, 240, 300, 360, 420, 480, 540, 600} << QStringList();
    }
    void parseList()
    {
        QFETCH(QString, text);
        QStringList bad;
        QTEST(spans::parseList(text, &bad), "choices");
        QTEST(bad, "bad");
    }
};

TIDRA_RULES_TEST_MAIN(TestSpans)
#include "tst_spans.moc"
