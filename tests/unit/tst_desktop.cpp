// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/DesktopNotifier.h"
#include "app/SoundFile.h"
#include "tests/common/TestSupport.h"

#include <sys/stat.h>

Q_DECLARE_METATYPE(td::SoundFormat)

// What Tidra tells the desktop: which sound files it can play, and what its
// alarm notifications say.
class TestDesktop : public QObject
{
    Q_OBJECT
private slots:
    void soundFiles_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<dir>", "<fifo>", "<none>" or the bytes
        QTest::addColumn<td::SoundFormat>("format");
        QTest::addColumn<QString>("problem");
        using F = td::SoundFormat;
        const QByteArray wav = QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16);
        QTest::newRow("wav") << wav << F::Wav << "";
        QTest::newRow("ogg, oga") << QByteArray("OggS\0\x02", 6) << F::Ogg << "";
        QTest::newRow("flac") << QByteArray("fLaC\0\0\0\x22") << F::Flac << "";
        QTest::newRow("mp3 with a tag") << QByteArray("ID3\x04\0\0") << F::Mp3 << "";
        QTest::newRow("mp3 frame") << QByteArray("\xff\xfb\x90\x64") << F::Mp3 << "";
        QTest::newRow("mpeg 2.5 frame") << QByteArray("\xff\xe3\x18\xc4") << F::Mp3 << "";
        QTest::newRow("reserved mpeg version") << QByteArray("\xff\xeb\x90\x64") << F::Unknown
                                               << "it is not a WAV, OGG, MP3 or FLAC sound";
        QTest::newRow("riff, not wave") << QByteArray("RIFF\x24\0\0\0AVI LIST", 16) << F::Unknown
                                        << "it is not a WAV, OGG, MP3 or FLAC sound";
        QTest::newRow("riff cut short")
            << QByteArray("RIFF\x24\0") << F::Unknown << "it is not a WAV, OGG, MP3 or FLAC sound";
        QTest::newRow("text") << QByteArray("hello world\n") << F::Unknown
                              << "it is not a WAV, OGG, MP3 or FLAC sound";
        QTest::newRow("empty") << QByteArray() << F::Unknown << "the file is empty";
        QTest::newRow("folder") << QByteArray("<dir>") << F::Unknown << "it is a folder";
        QTest::newRow("pipe: not read")
            << QByteArray("<fifo>") << F::Unknown << "the file cannot be read";
        QTest::newRow("missing") << QByteArray("<none>") << F::Unknown << "the file does not exist";
    }
    void soundFiles()
    {
        QFETCH(QByteArray, content);
        QFETCH(td::SoundFormat, format);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = dir.filePath("sound");
        if (content == "<dir>") {
            QVERIFY(QDir().mkdir(path));
        } else if (content == "<fifo>") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (content != "<none>") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
            QCOMPARE(td::soundFormat(content), format);
        }
        QCOMPARE(td::soundFileProblem(path), problem);
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
        QCOMPARE(n.appName, QStringLiteral("Tidra"));
        QCOMPARE(n.appIcon, QStringLiteral("org.morvane.Tidra"));
        QCOMPARE(n.summary, QStringLiteral("Shop"));
        QTEST(n.body, "body");
        QTEST(n.expireMs, "expire");
        QCOMPARE(n.actions,
                 (QStringList{"remind-5-minutes", "Remind in 5 minutes", "edit", "Edit"}));
        QCOMPARE(n.hints.value("desktop-entry").toString(), QStringLiteral("org.morvane.Tidra"));
        // A byte, as the notification protocol wants it: 2 is critical.
        QCOMPARE(n.hints.value("urgency").typeId(), int(QMetaType::UChar));
        QCOMPARE(n.hints.value("urgency").value<uchar>(), uchar(2));
    }
};

TIDRA_TEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
