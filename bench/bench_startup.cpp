// Start-up of the program to the shown main menu with an open database:
// application object, data module, opening kivora.mdb, building and showing
// the menu. Run with QT_QPA_PLATFORM=offscreen (set below when unset).
#include "BenchEnv.h"
#include "DataFolder.h"
#include "FrmMenuU.h"
#include "Installer.h"
#include "KivoraApplication.h"
#include "QtPrompter.h"
#include "UntDM.h"

#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>

static void BM_StartupToShownMenu(benchmark::State &state)
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    {
        int argc = 1;
        char name[] = "kivora";
        char *argv[] = {name, nullptr};
        KivoraApplication setupApp(argc, argv);
        installDataFolder(DataFolder(), nullptr);
    }
    for (auto _ : state) {
        int argc = 1;
        char name[] = "kivora";
        char *argv[] = {name, nullptr};
        KivoraApplication app(argc, argv);
        QtPrompter prompter;
        setPrompter(&prompter);
        TdmMAIN dm;
        setDmMAIN(&dm);
        {
            TFrmMenu menu;
            if (!menu.OpenDatabase()) {
                state.SkipWithError("database did not open");
                break;
            }
            menu.show();
            if (!QTest::qWaitForWindowExposed(&menu)) {
                state.SkipWithError("menu not shown");
                break;
            }
        }
        setDmMAIN(nullptr);
        setPrompter(nullptr);
    }
}
BENCHMARK(BM_StartupToShownMenu)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    bench::useOffscreenPlatform();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
