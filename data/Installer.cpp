#include "Installer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

namespace {

bool isSqliteFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return false;
    return f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// Splits the schema text into statements at semicolons outside quotes and
// comments.
QStringList statements(const QString &sql)
{
    QStringList out;
    QString cur;
    bool inQuote = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql.at(i);
        if (!inQuote && c == QLatin1Char('-') && i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < sql.size() && sql.at(i) != QLatin1Char('\n'))
                ++i;
            cur += QLatin1Char('\n');
            continue;
        }
        if (c == QLatin1Char('\''))
            inQuote = !inQuote;
        if (c == QLatin1Char(';') && !inQuote) {
            if (!cur.trimmed().isEmpty())
                out << cur.trimmed();
            cur.clear();
            continue;
        }
        cur += c;
    }
    if (!cur.trimmed().isEmpty())
        out << cur.trimmed();
    return out;
}

QString buildDatabase(const QString &path)
{
    const QString conn = QStringLiteral("kivora-install-") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), conn);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            if (!db.transaction())
                error = db.lastError().text();
            for (const QString &st : statements(QString::fromUtf8(kSchemaSql))) {
                if (!error.isEmpty())
                    break;
                if (!q.exec(st))
                    error = q.lastError().text();
            }
            if (error.isEmpty() && !db.commit())
                error = db.lastError().text();
            q.finish();
            db.close();
        }
    }
    QSqlDatabase::removeDatabase(conn);
    return error;
}

} // namespace

InstallResult installDataFolder(const QString &folder, QString *message)
{
    auto say = [&](const QString &m) {
        if (message)
            *message = m;
    };
    const QString dir = QDir::cleanPath(folder);
    const QString target = dir + QStringLiteral("/kivora.mdb");
    const QFileInfo info(target);
    if (info.exists()) {
        if (info.isFile() && isSqliteFile(target)) {
            say(QStringLiteral("データベースは既にあります。何も変更しませんでした: ") + target);
            return InstallResult::AlreadyPresent;
        }
        say(QStringLiteral("データベースではないファイルがあります。作成できません: ") + target);
        return InstallResult::Failed;
    }
    if (!QDir().mkpath(dir)) {
        say(QStringLiteral("データフォルダを作成できません: ") + dir);
        return InstallResult::Failed;
    }
    const QString temp = dir + QStringLiteral("/kivora.mdb.") + QUuid::createUuid().toString(QUuid::Id128) + QStringLiteral(".tmp");
    const QString error = buildDatabase(temp);
    if (!error.isEmpty() || !QFileInfo::exists(temp)) {
        QFile::remove(temp);
        QFile::remove(temp + QStringLiteral("-journal"));
        say(QStringLiteral("データベースを作成できません (") + dir + QStringLiteral("): ") + error);
        return InstallResult::Failed;
    }
    if (!QFile::rename(temp, target)) {
        QFile::remove(temp);
        say(QStringLiteral("データベースを作成できません: ") + target);
        return InstallResult::Failed;
    }
    say(QStringLiteral("データベースを作成しました: ") + target);
    return InstallResult::Created;
}
