// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/SoundFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace td {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("td", text); // lupdate's context for tr() here
}

/// An MPEG audio frame header: eleven set sync bits, a known version and layer.
bool mpegFrame(const QByteArray& h)
{
    if (h.size() < 2)
        return false;
    const auto b0 = uchar(h[0]);
    const auto b1 = uchar(h[1]);
    return b0 == 0xFF && (b1 & 0xE0) == 0xE0 && (b1 & 0x18) != 0x08 && (b1 & 0x06) != 0;
}

} // namespace

SoundFormat soundFormat(const QByteArray& head)
{
    if (head.size() >= 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE")
        return SoundFormat::Wav;
    if (head.startsWith("OggS"))
        return SoundFormat::Ogg;
    if (head.startsWith("fLaC"))
        return SoundFormat::Flac;
    if (head.startsWith("ID3") || mpegFrame(head))
        return SoundFormat::Mp3;
    return SoundFormat::Unknown;
}

QString soundFileProblem(const QString& fullPath, bool look)
{
    const QFileInfo info(fullPath);
    if (!info.exists())
        return tr("the file does not exist");
    if (info.isDir())
        return tr("it is a folder");
    if (!info.isFile() || !info.isReadable())
        return tr("the file cannot be read");
    if (info.size() == 0)
        return tr("the file is empty");
    if (!look)
        return QString();
    QFile file(fullPath);
    // Unbuffered and a dozen bytes only: the file may be huge.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return tr("the file cannot be read");
    if (soundFormat(file.read(12)) == SoundFormat::Unknown)
        return tr("it is not a WAV, OGG, MP3 or FLAC sound");
    return QString();
}

QString soundFileFilter()
{
    return tr("Sounds (*.wav *.ogg *.oga *.mp3 *.flac);;All files (*)");
}

} // namespace td
