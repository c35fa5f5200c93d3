#include "DataFolder.h"

#include <QDir>
#include <QStandardPaths>

QString dataFolderFrom(const QString &base)
{
    // Either separator ends a path already; Windows paths may use both.
    QString folder = base;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    return folder + QStringLiteral("Kivora/");
}

QString DataFolder()
{
    // GenericDataLocation: %APPDATA% on Windows, $XDG_DATA_HOME or
    // ~/.local/share on Linux, Application Support on macOS.
#ifdef Q_OS_WIN
    // The roaming folder, as the program has always used on Windows.
    QString base = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (base.isEmpty())
        base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
#endif
    if (base.isEmpty())
        return QString();
    return dataFolderFrom(base);
}

QString DatabasePath()
{
    const QString folder = DataFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("kivora.mdb");
}
