// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopNotifier.h"
#include "common/SoundFile.h"
#include "common/SoundPlayer.h"
#include "tests/common/TestSupport.h"

#include <sys/stat.h>

// What Tidra tells the desktop: which sound files it can play, and what its
// alarm notifications say.
class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void soundFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<dir>", "<fifo>", "<none>" or the bytes
        QTest::addColumn<int>("format");         // a td::SoundFormat
        QTest::addColumn<QString>("problem");
        using F = td::SoundFormat;
        const auto row = [](const char* name, const QByteArray& bytes, F f, const char* why = "") {
            QTest::newRow(name) << bytes << int(f) << QString(why);
        };
        const char* no = "it is not a WAV, OGG, MP3 or FLAC sound";
        row("wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16), F::Wav);
        row("ogg, oga", QByteArray("OggS\0\x02", 6), F::Ogg);
        row("flac", "fLaC\0\0\0\x22", F::Flac);
        row("mp3 with a tag", "ID3\x04\0\0", F::Mp3);
        row("mp3 frame", "\xff\xfb\x90\x64", F::Mp3);
        row("mpeg 2.5 frame", "\xff\xe3\x18\xc4", F::Mp3);
        row("reserved mpeg version", "\xff\xeb\x90\x64", F::Unknown, no);
        row("riff, not wave", QByteArray("RIFF\x24\0\0\0AVI LIST", 16), F::Unknown, no);
        row("riff cut short", "RIFF\x24", F::Unknown, no);
        row("text", "hello world\n", F::Unknown, no);
        row("empty", "", F::Unknown, "the file is empty");
        row("folder", "<dir>", F::Unknown, "it is a folder");
        row("pipe: not read", "<fifo>", F::Unknown, "the file cannot be read");
        row("missing", "<none>", F::Unknown, "the file does not exist");
    }
    void soundFiles()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("sound");
        if (content == "<dir>")
            QVERIFY(QDir().mkdir(path));
        else if (content == "<fifo>")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (QFile f(path); content != "<none>")
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(content) == content.size());
        if (!content.startsWith('<'))
            QTEST(int(td::soundFormat(content)), "format");
        QTEST(td::soundFileProblem(path), "problem");
    }

    void soundProblemsAreToldOnce()
    {
        QSignalSpy told(td::soundProblems(), &td::SoundProblems::changed);
        QTest::ignoreMessage(QtWarningMsg, "Tidra: cannot play /x.ogg: broken");
        td::reportSoundProblem("/x.ogg", "broken");
        td::reportSoundProblem("/x.ogg", "broken"); // rings again: nothing new to tell
        QCOMPARE(td::knownSoundProblem("/x.ogg"), QStringLiteral("broken"));
        td::reportSoundProblem("/x.ogg", QString());
        QCOMPARE(told.count(), 2);
        QVERIFY(td::knownSoundProblem("/x.ogg").isEmpty());
    }

    void alarmNotification_data()
    {
        QTest::addColumn<bool>("markup");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("body");
        QTest::addColumn<int>("expire");
        QTest::newRow("plain server") << false << 30 << "Milk & <b>eggs</b>" << 30000;
        QTest::newRow("markup server")
            << true << 10 << "Milk &amp; &lt;b&gt;eggs&lt;/b&gt;" << 10000;
        QTest::newRow("no display time: the server's") << false << 0 << "Milk & <b>eggs</b>" << -1;
    }
    void alarmNotification()
    {
        QFETCH(bool, markup);
        QFETCH(int, seconds);
        const td::AlarmNotification n =
            td::alarmNotification("Shop", "Milk & <b>eggs</b>", seconds, markup);
        QCOMPARE(QStringList({n.appName, n.appIcon, n.summary}),
                 QStringList({"Tidra", "org.morvane.Tidra", "Shop"}));
        QTEST(n.body, "body");
        QTEST(n.expireMs, "expire");
        QCOMPARE(n.actions,
                 QStringList({"remind-5-minutes", "Remind in 5 minutes", "edit", "Edit"}));
        QCOMPARE(n.hints.value("desktop-entry").toString(), QStringLiteral("org.morvane.Tidra"));
        // A byte, as the notification protocol wants it: 2 is critical.
        QCOMPARE(n.hints.value("urgency"), QVariant::fromValue(uchar(2)));
    }
};

TIDRA_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
