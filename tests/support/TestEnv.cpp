#include "TestEnv.h"

#include "DataFolder.h"
#include "FrmSrcKanriU.h"
#include "Installer.h"
#include "KivoraApplication.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSqlError>
#include <QSqlQuery>
#include <ostream>

namespace {
ScriptedPrompter g_scripted;
}

ScriptedPrompter &scripted() { return g_scripted; }

void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

void commitText(QLineEdit *e, const QString &s)
{
    QInputMethodEvent ev;
    ev.setCommitString(s);
    QApplication::sendEvent(e, &ev);
}

void type(QLineEdit *e, const QString &s)
{
    e->clear();
    if (!s.isEmpty())
        commitText(e, s);
}

void type(QComboBox *c, const QString &s) { type(c->lineEdit(), s); }

QString fixture(const QString &name)
{
    return qEnvironmentVariable("KIVORA_TEST_FIXTURES") + QLatin1Char('/') + name;
}

void KivoraTest::SetUp()
{
    home = std::make_unique<QTemporaryDir>();
    ASSERT_TRUE(home->isValid());
    qputenv("XDG_DATA_HOME", home->path().toUtf8());
    g_scripted.clear();
    setPrompter(&g_scripted);
    setDmMAIN(&dm);
    TFrmSrcKanri::execHook = nullptr;
}

void KivoraTest::TearDown()
{
    dm.Close();
    setDmMAIN(nullptr);
    TFrmSrcKanri::execHook = nullptr;
}

QString KivoraTest::dataFolder() const { return DataFolder(); }

void KivoraTest::openFreshDatabase()
{
    QString message;
    ASSERT_EQ(installDataFolder(dataFolder(), &message), InstallResult::Created) << message.toStdString();
    QString error;
    ASSERT_TRUE(dm.OpenDatabase(DatabasePath(), &error)) << error.toStdString();
}

void KivoraTest::exec(const QString &sql)
{
    QSqlQuery q(dm.ADOCMDB());
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
}

QVariant KivoraTest::scalar(const QString &sql)
{
    QSqlQuery q(dm.ADOCMDB());
    if (!q.exec(sql)) {
        ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    // Point the data location at a throw-away folder before the application exists.
    QTemporaryDir startHome;
    qputenv("XDG_DATA_HOME", startHome.path().toUtf8());
    KivoraApplication app(argc, argv);
    setPrompter(&g_scripted);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
