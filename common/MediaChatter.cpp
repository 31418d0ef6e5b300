// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/MediaChatter.h"

#include <QLoggingCategory>
#include <QString>
#include <cstdarg>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <dlfcn.h>
#endif

Q_LOGGING_CATEGORY(lcSound, "tidra.sound", QtInfoMsg)

namespace td {

namespace {

QtMessageHandler previous = nullptr;

/// What Qt 6.4's FFmpeg back end and its audio output say on their own, in
/// the default category: its debug lines, and warnings the program reports
/// itself in its own words (no audio output).
bool fromBackend(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (qstrcmp(context.category, "default") != 0)
        return false;
    return type == QtDebugMsg || message.startsWith(QLatin1String("PulseAudioService:")) ||
           message == QLatin1String("No audio device detected");
}

void filter(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!fromBackend(type, context, message)) {
        previous(type, context, message);
    } else if (lcSound().isDebugEnabled()) {
        QMessageLogContext sound(context.file, context.line, context.function, "tidra.sound");
        previous(QtDebugMsg, sound, message);
    }
}

#ifdef Q_OS_UNIX
/// FFmpeg's av_log callback (libavutil/log.h), declared here so that no
/// FFmpeg headers are needed: the library is the one the back end loaded.
using AvLogCallback = void (*)(void*, int, const char*, va_list);
using AvLogSetCallback = void (*)(AvLogCallback);
constexpr int avLogQuiet = -8;

void avLog(void*, int level, const char* format, va_list args)
{
    if (level <= avLogQuiet || !lcSound().isDebugEnabled())
        return;
    char line[1024];
    std::vsnprintf(line, sizeof line, format, args);
    qCDebug(lcSound, "ffmpeg: %s", QByteArray(line).trimmed().constData());
}

bool quietFfmpeg()
{
    // Only a library already loaded: Tidra itself never loads FFmpeg.
    bool found = false;
    for (const char* name :
         {"libavutil.so.57", "libavutil.so.58", "libavutil.so.59", "libavutil.so.56"}) {
        if (void* lib = dlopen(name, RTLD_NOW | RTLD_NOLOAD)) {
            if (auto set = reinterpret_cast<AvLogSetCallback>(dlsym(lib, "av_log_set_callback"))) {
                set(avLog);
                found = true;
            }
            dlclose(lib);
        }
    }
    return found;
}
#endif

} // namespace

void quietMediaBackend()
{
    if (!previous)
        previous = qInstallMessageHandler(filter);
#ifdef Q_OS_UNIX
    static bool ffmpegQuiet = false;
    ffmpegQuiet = ffmpegQuiet || quietFfmpeg();
#endif
}

} // namespace td
