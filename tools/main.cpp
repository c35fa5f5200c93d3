// kivora-tool: installing the data folder and working without a window.
#include "Installer.h"
#include "DataFolder.h"
#include "ChartCommands.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <memory>

namespace {

void err(const QString &line)
{
    QTextStream(stderr) << line << Qt::endl;
}

void usage()
{
    err(QStringLiteral("使い方: kivora-tool init [--data-folder DIR]"));
    err(QStringLiteral("        kivora-tool demo [--data-folder DIR] [--replace]"));
    err(QStringLiteral("        kivora-tool chart 管理番号 [--out ファイル.png|.pdf|.json] [--dpi N] [--data-folder DIR]"));
}

int cmdInit(const QStringList &args)
{
    QString folder;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data-folder") && i + 1 < args.size()) {
            folder = args[++i];
        } else {
            // One line, like every other failure of init.
            err(QStringLiteral("使い方: kivora-tool init [--data-folder DIR]"));
            return 2;
        }
    }
    if (folder.isEmpty())
        folder = DataFolder();
    if (folder.isEmpty()) {
        err(QStringLiteral("データフォルダの場所が分かりません。--data-folder で指定してください。"));
        return 1;
    }
    QString message;
    const InstallResult r = installDataFolder(folder, &message);
    if (r == InstallResult::Failed) {
        err(message);
        return 1;
    }
    QTextStream(stdout) << message << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Charts measure text, which needs fonts and so a GUI application.
    const bool gui = argc > 1 && commandNeedsGui(argv[1]);
    if (gui)
        chooseHeadlessPlatform();
    std::unique_ptr<QCoreApplication> app = gui ? std::make_unique<QGuiApplication>(argc, argv)
                                                : std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty()) {
        usage();
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("init"))
        return cmdInit(args);
    if (command == QLatin1String("demo"))
        return cmdDemo(args);
    if (command == QLatin1String("chart"))
        return cmdChart(args);
    usage();
    return 2;
}
