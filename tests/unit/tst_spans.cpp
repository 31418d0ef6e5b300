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
