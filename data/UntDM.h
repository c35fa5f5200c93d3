#pragma once
// The data module: the one shared database connection and the query object
// every form uses on it.
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QList>
#include <QPair>
#include <stdexcept>

// A database error nobody caught inside a form: it ends the current action
// and the application shows the database's text in an error box.
class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &message);
    QString message() const { return m_message; }

private:
    QString m_message;
};

class TdmMAIN
{
public:
    static constexpr const char *ConnectionName = "ADOCMDB";

    TdmMAIN();
    ~TdmMAIN();
    TdmMAIN(const TdmMAIN &) = delete;
    TdmMAIN &operator=(const TdmMAIN &) = delete;

    // Opens an existing database file read-write; never creates it. Proves
    // the file usable with one read of M_SYSTEM. On failure the connection is
    // closed, *error says why, and the folder is left as it was.
    bool OpenDatabase(const QString &path, QString *error = nullptr);
    void Close();
    bool isOpen() const;

    QSqlDatabase ADOCMDB() const;

private:
    bool m_added = false;
};

// The shared data module; set while the program (or a test) runs.
TdmMAIN *dmMAIN();
void setDmMAIN(TdmMAIN *dm);

// A query object bound to the shared connection. Statements are built line by
// line and sent joined by "\n"; values go in as named parameters only.
class TQuery
{
public:
    TQuery();
    explicit TQuery(const QSqlDatabase &db);

    // Closes the result and clears the statement text and parameters.
    void Close();
    TQuery &Add(const QString &line);
    TQuery &operator<<(const QString &line) { return Add(line); }
    void SetParam(const QString &name, const QVariant &value);
    QString text() const { return m_lines.join(QLatin1Char('\n')); }

    // Runs a statement that returns rows and stands on the first one.
    void Open();
    // Runs a statement that returns no rows. Returns the rows affected.
    int ExecSQL();

    bool Eof() const;
    void Next();

    QVariant Field(const QString &name) const;
    bool IsNull(const QString &name) const;
    // NULL reads as 0 and as an empty text.
    int AsInteger(const QString &name) const;
    QString AsString(const QString &name) const;

private:
    void run(bool select);

    QSqlDatabase m_db;
    QSqlQuery m_query;
    QStringList m_lines;
    QList<QPair<QString, QVariant>> m_params;
    bool m_eof = true;
};

// One write sequence: everything between construction and Commit() happens
// whole or not at all. Rolled back on destruction unless committed.
class TTransaction
{
public:
    TTransaction();
    explicit TTransaction(const QSqlDatabase &db);
    ~TTransaction();
    void Commit();

private:
    QSqlDatabase m_db;
    bool m_done = false;
};
