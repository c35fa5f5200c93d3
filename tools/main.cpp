// kivora-tool: installing the data folder and working without a window.
#include "Installer.h"
#include "DataFolder.h"

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
}

int cmdInit(const QStringList &args)
{
    QString folder;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data-folder") && i + 1 < args.size()) {
            folder = args[++i];
        } else {
            usage();
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
    std::unique_ptr<QCoreApplication> app = std::make_unique<QCoreApplication>(argc, argv);
    QStringList args = app->arguments().mid(1);
    if (args.isEmpty()) {
        usage();
        return 2;
    }
    const QString command = args.takeFirst();
    if (command == QLatin1String("init"))
        return cmdInit(args);
    usage();
    return 2;
}
