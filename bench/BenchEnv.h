#pragma once
// Set-up shared by the benchmark programs: the offscreen platform, a data
// folder of their own, and the installed database on the shared connection.
#include "DataFolder.h"
#include "Installer.h"
#include "UntDM.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace bench {

// Windows would otherwise open on the developer's screen.
inline void useOffscreenPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// A temporary XDG_DATA_HOME, so a run never touches the real data folder.
// Create it before the application object, which reads the variable.
class TempDataHome
{
public:
    TempDataHome()
    {
        useOffscreenPlatform();
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
    }

private:
    QTemporaryDir home;
};

// Runs the registered benchmarks; 1 when the command line has options
// Google Benchmark does not know.
inline int runBenchmarks(int &argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    int rc = 0;
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        rc = 1;
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return rc;
}

// Installs the data folder, opens the database as the shared connection,
// lets seed fill it, then runs the benchmarks against it.
template <typename Seed>
int runWithFreshDatabase(int &argc, char **argv, Seed seed)
{
    QString message;
    if (installDataFolder(DataFolder(), &message) != InstallResult::Created) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        return 1;
    }
    TdmMAIN dm;
    setDmMAIN(&dm);
    if (!dm.OpenDatabase(DatabasePath(), &message)) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        setDmMAIN(nullptr);
        return 1;
    }
    seed(dm.ADOCMDB());
    const int rc = runBenchmarks(argc, argv);
    dm.Close();
    setDmMAIN(nullptr);
    return rc;
}

} // namespace bench
