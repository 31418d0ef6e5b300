// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace td::bench {

/// Offscreen unless told otherwise, and the user's files in a scratch home
/// that goes with it: the main window reads and writes them.
class ScratchHome
{
public:
    ScratchHome()
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"})
            qputenv(var, m_home.path().toLocal8Bit());
    }

private:
    QTemporaryDir m_home;
};

/// The application of a benchmark of the windows (the home is set up first).
class BenchApp : private ScratchHome, public QApplication
{
public:
    BenchApp(int& argc, char** argv) : QApplication(argc, argv)
    {
        setOrganizationName("Morvane");
        setApplicationName("Tidra");
    }
};

/// Runs the registered benchmarks, as the command line selects them.
inline int runBenchmarks(int& argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace td::bench
