// SPDX-License-Identifier: GPL-3.0-or-later
// What one timer tick costs to draw: compose a Full-format time from a
// skin's pictures and scale it for display, for every skin we ship.
#include "timers/DigitRenderer.h"
#include "timers/FontPluginInterface.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

td::TimeParts fullFormat(qint64 seconds, bool captions)
{
    td::TimeParts p;
    p.weeks = 1;
    p.days = 3;
    p.hours = 12;
    p.minutes = 34;
    p.seconds = seconds % 60;
    p.captions = captions;
    return p;
}

void renderForDisplay(benchmark::State& state, const QList<QObject*>& plugins, const QString& skin,
                      int fontSize, qreal ratio, bool captions)
{
    qint64 tick = 0;
    for (auto _ : state) {
        // A new second each time, as the tick sees it.
        QImage image =
            td::renderForDisplay(plugins, skin, fullFormat(tick++, captions), fontSize, ratio);
        benchmark::DoNotOptimize(image);
    }
}

void renderTime(benchmark::State& state, const QList<QObject*>& plugins, const QString& skin)
{
    qint64 tick = 0;
    for (auto _ : state) {
        QImage image = td::renderTime(plugins, skin, fullFormat(tick++, true));
        benchmark::DoNotOptimize(image);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    // The benchmark lives in <build>/bench; the skins in <build>/skins.
    const QList<QObject*> plugins =
        td::loadFontPlugins(QDir(QCoreApplication::applicationDirPath() + "/..").absolutePath());
    for (QObject* plugin : plugins) {
        td::FontPluginInterface* font = td::fontInterface(plugin);
        if (!font)
            continue;
        const QString skin = font->name();
        const std::string name = skin.toStdString();
        benchmark::RegisterBenchmark(("compose/" + name).c_str(), renderTime, plugins, skin);
        for (int fontSize : {0, 1, 2}) {
            for (qreal ratio : {1.0, 2.0}) {
                const std::string label = "display/" + name + "/size" + std::to_string(fontSize) +
                                          "/dpr" + std::to_string(int(ratio));
                benchmark::RegisterBenchmark((label + "/captions").c_str(), renderForDisplay,
                                             plugins, skin, fontSize, ratio, true);
                benchmark::RegisterBenchmark(label.c_str(), renderForDisplay, plugins, skin,
                                             fontSize, ratio, false);
            }
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
