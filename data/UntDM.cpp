#include "UntDM.h"

#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QUrl>

DbError::DbError(const QString &message)
    : std::runtime_error(message.toStdString()), m_message(message)
{
}

namespace {
TdmMAIN *g_dm = nullptr;

QString errorText(const QSqlError &e)
{
    QString t = e.databaseText();
    if (t.isEmpty())
        t = e.text();
    return t;
}
} // namespace

TdmMAIN *dmMAIN() { return g_dm; }
void setDmMAIN(TdmMAIN *dm) { g_dm = dm; }

TdmMAIN::TdmMAIN() = default;

TdmMAIN::~TdmMAIN() { Close(); }

QSqlDatabase TdmMAIN::ADOCMDB() const { return QSqlDatabase::database(ConnectionName, false); }

bool TdmMAIN::isOpen() const { return m_added && ADOCMDB().isOpen(); }

void TdmMAIN::Close()
{
    if (!m_added)
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(ConnectionName, false);
        if (db.isOpen())
            db.close();
    }
    QSqlDatabase::removeDatabase(ConnectionName);
    m_added = false;
}

bool TdmMAIN::OpenDatabase(const QString &path, QString *error)
{
    auto fail = [&](const QString &why) {
        if (error)
            *error = why;
        Close();
        return false;
    };
    Close();
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        return fail(QStringLiteral("データベースがありません: ") + path);

    QString why;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), ConnectionName);
        m_added = true;
        // mode=rw: SQLite must never create the file.
        QUrl url = QUrl::fromLocalFile(info.absoluteFilePath());
        url.setQuery(QStringLiteral("mode=rw"));
        db.setDatabaseName(url.toString(QUrl::FullyEncoded));
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=2000"));
        if (!db.open()) {
            why = errorText(db.lastError());
        } else {
            QSqlQuery probe(db);
            ok = probe.exec(QStringLiteral("SELECT CD FROM M_SYSTEM"));
            if (!ok)
                why = errorText(probe.lastError());
        }
    }
    // Failing only here, once the probe and the handle are gone, lets the
    // connection be removed without leaking the open file.
    if (!ok)
        return fail(why);
    return true;
}

TQuery::TQuery() : TQuery(QSqlDatabase::database(TdmMAIN::ConnectionName, false)) {}

TQuery::TQuery(const QSqlDatabase &db) : m_db(db), m_query(db) {}

void TQuery::Close()
{
    m_query.finish();
    m_query.clear();
    m_query = QSqlQuery(m_db);
    m_lines.clear();
    m_params.clear();
    m_eof = true;
}

TQuery &TQuery::Add(const QString &line)
{
    m_lines << line;
    return *this;
}

void TQuery::SetParam(const QString &name, const QVariant &value)
{
    const QString key = name.startsWith(QLatin1Char(':')) ? name : QLatin1Char(':') + name;
    for (auto &p : m_params) {
        if (p.first == key) {
            p.second = value;
            return;
        }
    }
    m_params.append({key, value});
}

void TQuery::run(bool select)
{
    if (!m_db.isOpen())
        throw DbError(QStringLiteral("データベースに接続されていません。"));
    m_query.finish();
    m_query.setForwardOnly(true);
    if (!m_query.prepare(text()))
        throw DbError(errorText(m_query.lastError()));
    for (const auto &p : m_params)
        m_query.bindValue(p.first, p.second);
    if (!m_query.exec())
        throw DbError(errorText(m_query.lastError()));
    m_eof = true;
    if (select)
        m_eof = !m_query.next();
}

void TQuery::Open() { run(true); }

int TQuery::ExecSQL()
{
    run(false);
    const int n = m_query.numRowsAffected();
    m_query.finish();
    return n;
}

bool TQuery::Eof() const { return m_eof; }

void TQuery::Next()
{
    if (!m_eof)
        m_eof = !m_query.next();
}

QVariant TQuery::Field(const QString &name) const
{
    if (m_eof)
        throw DbError(QStringLiteral("現在のレコードがありません。"));
    const int i = m_query.record().indexOf(name);
    if (i < 0)
        throw DbError(QStringLiteral("項目が見つかりません: ") + name);
    return m_query.value(i);
}

bool TQuery::IsNull(const QString &name) const { return Field(name).isNull(); }

int TQuery::AsInteger(const QString &name) const
{
    const QVariant v = Field(name);
    return v.isNull() ? 0 : v.toInt();
}

QString TQuery::AsString(const QString &name) const
{
    const QVariant v = Field(name);
    return v.isNull() ? QString() : v.toString();
}

TTransaction::TTransaction() : TTransaction(QSqlDatabase::database(TdmMAIN::ConnectionName, false)) {}

TTransaction::TTransaction(const QSqlDatabase &db) : m_db(db)
{
    if (!m_db.transaction())
        throw DbError(errorText(m_db.lastError()));
}

TTransaction::~TTransaction()
{
    if (!m_done)
        m_db.rollback();
}

void TTransaction::Commit()
{
    if (!m_db.commit()) {
        const QString why = errorText(m_db.lastError());
        m_db.rollback();
        m_done = true;
        throw DbError(why);
    }
    m_done = true;
}
