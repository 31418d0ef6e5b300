#include "app/Autostart.h"
#include "tests/common/TestSupport.h"

#include <QFile>
#include <QFileInfo>

namespace {

/// Reads the Exec key back the way a desktop does: string escapes first, then
/// the quoting rule, then %% field-code escapes. Written from the Desktop Entry
/// rules, independently of the writer.
QStringList execArguments(const QString& entry)
{
    QString value;
    for (const QString& line : entry.split('\n'))
        if (line.startsWith("Exec="))
            value = line.mid(5);
    QString unescaped;
    for (int i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size()) {
            const QChar n = value[++i];
            unescaped += n == 's'   ? QChar(' ')
                         : n == 'n' ? QChar('\n')
                         : n == 't' ? QChar('\t')
                         : n == 'r' ? QChar('\r')
                                    : n;
        } else {
            unescaped += value[i];
        }
    }
    QStringList args;
    QString current;
    bool quoted = false, any = false;
    for (int i = 0; i < unescaped.size(); ++i) {
        const QChar c = unescaped[i];
        if (quoted) {
            if (c == '\\' && i + 1 < unescaped.size()) {
                current += unescaped[++i];
            } else if (c == '"') {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == '"') {
            quoted = any = true;
        } else if (c == ' ') {
            if (any)
                args << current;
            current.clear();
            any = false;
        } else {
            current += c;
            any = true;
        }
    }
    if (any)
        args << current;
    // "%%" is a percent sign; any other "%x" is a field code the desktop fills in.
    for (QString& a : args) {
        QString out;
        for (int i = 0; i < a.size(); ++i) {
            if (a[i] != '%')
                out += a[i];
            else if (++i < a.size() && a[i] == '%')
                out += '%';
        }
        a = out;
    }
    return args;
}

} // namespace

class TestAutostart : public QObject
{
    Q_OBJECT
private slots:
    void init() { td::test::clearUserData(); }

    void execSurvivesQuoting_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("blanks") << "/home/ann/My Programs/Tidra 1.2/tidra";
        QTest::newRow("double quote") << "/opt/\"quoted\"/tidra";
        QTest::newRow("percent") << "/opt/100% sure/tidra%f";
        QTest::newRow("backslash") << "/opt/back\\slash/tidra";
        QTest::newRow("dollar and backtick") << "/opt/$HOME/`id`/tidra";
    }
    void execSurvivesQuoting()
    {
        QFETCH(QString, path);
        const QString entry = td::Autostart::desktopEntry(path);
        QCOMPARE(execArguments(entry), QStringList{path});
    }

    void entryRoundTrip()
    {
        const QString path = "/home/ann/My \"Apps\"/100%/tidra";
        QVERIFY(!td::Autostart::exists());
        QVERIFY(td::Autostart::write(path));
        QVERIFY(td::Autostart::exists());
        QFile file(td::Autostart::entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QCOMPARE(execArguments(text), QStringList{path});
        QVERIFY(td::Autostart::remove());
        QVERIFY(!td::Autostart::exists());
        QVERIFY(td::Autostart::remove()); // nothing left to remove is fine
    }

    void entrySwitchedOffByTheDesktop_data()
    {
        QTest::addColumn<QString>("extra");
        QTest::addColumn<bool>("exists");
        QTest::newRow("hidden") << "Hidden=true" << false;
        QTest::newRow("GNOME switch off") << "X-GNOME-Autostart-enabled=false" << false;
    }
    void entrySwitchedOffByTheDesktop()
    {
        QFETCH(QString, extra);
        QFETCH(bool, exists);
        QVERIFY(td::Autostart::write("/usr/bin/tidra"));
        QFile file(td::Autostart::entryPath());
        QVERIFY(file.open(QIODevice::Append));
        file.write(extra.toUtf8() + "\n");
        file.close();
        QCOMPARE(td::Autostart::exists(), exists);
    }

    void entryOnAFullDisk()
    {
        td::test::FullDisk disk(QFileInfo(td::Autostart::entryPath()).absolutePath());
        TIDRA_NEED_FULL_DISK(disk);
        QVERIFY(td::Autostart::write("/usr/bin/tidra"));
        disk.fill();
        QVERIFY(!td::Autostart::write("/opt/elsewhere/tidra"));
        QFile file(td::Autostart::entryPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(execArguments(QString::fromUtf8(file.readAll())), QStringList{"/usr/bin/tidra"});
    }
};

TIDRA_TEST_MAIN(TestAutostart)
#include "tst_autostart.moc"
