// Installer, opening the database at start-up, and the main menu.
#include "DataFolder.h"
#include "FrmMenuU.h"
#include "FrmVerU.h"
#include "Installer.h"
#include "TestEnv.h"

#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QProcess>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

namespace {
QStringList entries(const QString &dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
}
} // namespace

class Installer : public KivoraTest {};

TEST_F(Installer, FreshFolderGetsEveryTableAndTheSystemRow)
{
    const QString folder = home->path() + QStringLiteral("/nested/Kivora");
    QString message;
    ASSERT_EQ(installDataFolder(folder, &message), InstallResult::Created) << message.toStdString();
    EXPECT_EQ(entries(folder), QStringList{QStringLiteral("kivora.mdb")}); // no temporary left over

    ASSERT_TRUE(dm.OpenDatabase(folder + QStringLiteral("/kivora.mdb")));
    for (const char *table : {"M_SYSTEM", "D_HED", "D_HINA", "D_TABLE", "D_TABNM", "D_TABPOS"})
        EXPECT_TRUE(scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table))).isValid()) << table;
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM M_SYSTEM")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT NUM1 || '/' || NUM2 || '/' || (STR1 IS NULL) || (STR2 IS NULL) || (STR3 IS NULL) FROM M_SYSTEM WHERE CD = 1")).toString(),
              QStringLiteral("0/0/111"));
    // Seat columns default to 0 for rows that name only the person.
    exec(QStringLiteral("INSERT INTO D_TABLE (KANRINO, KJNNO, NAME) VALUES (1, 1, 'x')"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT TBLROW + TBLCOL + TBLRL + SORTNO FROM D_TABLE")).toInt(), 0);
    // Keys hold.
    QSqlQuery q(dm.ADOCMDB());
    EXPECT_FALSE(q.exec(QStringLiteral("INSERT INTO D_TABLE (KANRINO, KJNNO) VALUES (1, 1)")));
    EXPECT_FALSE(q.exec(QStringLiteral("INSERT INTO D_TABPOS (KANRINO, TBLROW, TBLCOL, TBLPOS) VALUES (1,1,1,1),(1,1,1,2)")));
}

TEST_F(Installer, ExistingDatabaseIsNeverTouched)
{
    openFreshDatabase();
    exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM) VALUES (7, 'keep')"));
    dm.Close();
    QString message;
    EXPECT_EQ(installDataFolder(dataFolder(), &message), InstallResult::AlreadyPresent);
    ASSERT_TRUE(dm.OpenDatabase(DatabasePath()));
    EXPECT_EQ(scalar(QStringLiteral("SELECT KANRINM FROM D_HED WHERE KANRINO = 7")).toString(), QStringLiteral("keep"));
}

TEST_F(Installer, FailuresLeaveNothingBehind)
{
    // A file that is not a database in the way.
    QDir().mkpath(dataFolder());
    QFile junk(dataFolder() + QStringLiteral("kivora.mdb"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a database at all");
    junk.close();
    QString message;
    EXPECT_EQ(installDataFolder(dataFolder(), &message), InstallResult::Failed);
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(entries(dataFolder()), QStringList{QStringLiteral("kivora.mdb")});
    QFile check(dataFolder() + QStringLiteral("kivora.mdb"));
    ASSERT_TRUE(check.open(QIODevice::ReadOnly));
    EXPECT_EQ(check.readAll(), QByteArray("not a database at all"));

    // A folder that cannot be made (a file stands where a parent folder should be).
    const QString blocked = home->path() + QStringLiteral("/plainfile");
    QFile f(blocked);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(installDataFolder(blocked + QStringLiteral("/Kivora"), &message), InstallResult::Failed);
}

TEST_F(Installer, ToolReportsOneLineAndExitCode)
{
    const QString tool = qEnvironmentVariable("KIVORA_TOOL");
    ASSERT_FALSE(tool.isEmpty());
    const QString folder = home->path() + QStringLiteral("/tooldata");
    QProcess p;
    p.start(tool, {QStringLiteral("init"), QStringLiteral("--data-folder"), folder});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/kivora.mdb")));

    p.start(tool, {QStringLiteral("init"), QStringLiteral("--data-folder"), folder});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0); // already there: said so, nothing changed

    // A folder that cannot be made, and a folder option without its value.
    const QString blocked = folder + QStringLiteral("/kivora.mdb/sub");
    for (const QStringList &args : {QStringList{QStringLiteral("init"), QStringLiteral("--data-folder"), blocked},
                                    QStringList{QStringLiteral("init"), QStringLiteral("--data-folder")}}) {
        SCOPED_TRACE(args.join(QLatin1Char(' ')).toStdString());
        p.start(tool, args);
        ASSERT_TRUE(p.waitForFinished(30000));
        EXPECT_NE(p.exitCode(), 0);
        const QString err = QString::fromUtf8(p.readAllStandardError()).trimmed();
        EXPECT_FALSE(err.isEmpty());
        EXPECT_EQ(err.count(QLatin1Char('\n')), 0) << err.toStdString();
    }
}

class StartUp : public KivoraTest {};

// The program itself, started with each kind of data folder: it must end
// without a window and leave the folder as it was.
TEST_F(StartUp, ProgramEndsWhenTheDatabaseCannotBeOpened)
{
    const QString app = qEnvironmentVariable("KIVORA_APP");
    ASSERT_FALSE(app.isEmpty());
    auto runApp = [&] {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home->path());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(app, {});
        EXPECT_TRUE(p.waitForFinished(30000));
        return p.exitCode();
    };

    // No folder at all.
    EXPECT_NE(runApp(), 0);
    EXPECT_FALSE(QFileInfo::exists(dataFolder()));

    // Folder without the database.
    QDir().mkpath(dataFolder());
    EXPECT_NE(runApp(), 0);
    EXPECT_TRUE(entries(dataFolder()).isEmpty());

    // A damaged file and a database without M_SYSTEM.
    QFile damaged(dataFolder() + QStringLiteral("kivora.mdb"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, '\x5a'));
    damaged.close();
    EXPECT_NE(runApp(), 0);
    EXPECT_EQ(entries(dataFolder()), QStringList{QStringLiteral("kivora.mdb")});
    EXPECT_EQ(QFileInfo(dataFolder() + QStringLiteral("kivora.mdb")).size(), 4096);
}

TEST_F(StartUp, OpenDatabaseRefusesWhatIsNotOurs)
{
    QString error;
    EXPECT_FALSE(dm.OpenDatabase(DatabasePath(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(DatabasePath()));

    // An SQLite file without the system table.
    QDir().mkpath(dataFolder());
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        db.setDatabaseName(DatabasePath());
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE X (A INTEGER)"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    // The refused connection is really let go: Qt warns when a connection is
    // removed while its handle or a query still holds the file.
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &m) { warnings << m; });
    EXPECT_FALSE(dm.OpenDatabase(DatabasePath(), &error));
    qInstallMessageHandler(previous);
    EXPECT_TRUE(warnings.filter(QStringLiteral("still in use")).isEmpty()) << warnings.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(dm.isOpen());
    EXPECT_EQ(entries(dataFolder()), QStringList{QStringLiteral("kivora.mdb")});

    QFile::remove(DatabasePath());
    openFreshDatabase();
    EXPECT_TRUE(dm.isOpen());
}

class MainMenu : public KivoraTest {};

TEST_F(MainMenu, ElementsHintsAndStatus)
{
    openFreshDatabase();
    TFrmMenu menu;
    ASSERT_TRUE(menu.OpenDatabase());
    menu.show();
    EXPECT_EQ(menu.windowTitle(), QStringLiteral("キボラ"));
    EXPECT_EQ(menu.statusTitle(), QStringLiteral("メニュー"));
    EXPECT_EQ(menu.stb()->panel(2)->width(), 110);
    EXPECT_EQ(menu.sizeHint(), menu.size());
    EXPECT_EQ(menu.minimumSize(), menu.maximumSize()); // fixed size

    const struct {
        const char *caption, *tip, *status;
    } expected[] = {
        {"初期登録", "初期登録", "まず最初に行います。"},
        {"出席者入力", "出席者入力", "出席予定の方を登録します。"},
        {"テーブル割付", "テーブル割付", "出席する方々を各テーブルに割り付けます。"},
        {"テーブル位置設定", "テーブル位置設定", "必要であればテーブルの位置を変えます。"},
        {"雛壇設定", "雛壇設定", "雛壇設定"},
        {"席次表印刷", "席次表印刷", "席次表の印刷を行います。"},
        {"出席者CSV取込", "出席者ＣＳＶ取り込み", "ＣＳＶファイルから出席者を一括取り込みします。"},
        {"出席者一覧リスト", "出席者の一覧を出力します。", "出席者の一覧を出力します。"},
        {"初期値設定処理", "席次表作成時の初期値を設定します。", "席次表作成時の初期値を設定します。"},
    };
    for (int i = 0; i < 9; ++i) {
        QPushButton *b = menu.findChild<QPushButton *>(QStringLiteral("BitBtn%1").arg(i + 1));
        ASSERT_NE(b, nullptr) << i;
        EXPECT_EQ(b->text(), QString::fromUtf8(expected[i].caption));
        EXPECT_EQ(b->toolTip(), QString::fromUtf8(expected[i].tip));
        EXPECT_EQ(b->statusTip(), QString::fromUtf8(expected[i].status));
        EXPECT_EQ(b->isEnabled(), bool(menuFormFactory(i + 1)));
    }
    auto *close = menu.findChild<QPushButton *>(QStringLiteral("bbtnClose"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("閉じる"));
    EXPECT_EQ(close->statusTip(), QStringLiteral("処理を終了します。"));

    QStringList items;
    for (QAction *a : menu.menuBar->actions().first()->menu()->actions())
        items << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(menu.menuBar->actions().first()->text(), QStringLiteral("ヘルプ"));
    EXPECT_EQ(items, (QStringList{QStringLiteral("ヘルプ"), QStringLiteral("-"), QStringLiteral("バージョン情報")}));
}

TEST_F(MainMenu, EscEndsWithoutQuestionAndHelpProblemsAreWarnings)
{
    openFreshDatabase();
    TFrmMenu menu;
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QTest::keyClick(menu.findChild<QPushButton *>(QStringLiteral("BitBtn1")), Qt::Key_Escape);
    EXPECT_FALSE(menu.isVisible());
    EXPECT_TRUE(scripted().asked.isEmpty()); // no question

    // Help: a missing file, and a desktop without a viewer, are warnings.
    int opened = 0;
    TFrmMenu::openDocument = [&](const QString &) { ++opened; return false; };
    menu.showHelp();
    ASSERT_EQ(scripted().texts(QStringLiteral("warning")).size(), 1);
    EXPECT_TRUE(scripted().texts(QStringLiteral("warning"))[0].contains(QStringLiteral("キボラ.chm")));
    QFile chm(TFrmMenu::helpFilePath());
    ASSERT_TRUE(chm.open(QIODevice::WriteOnly));
    chm.close();
    menu.showHelp();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")).size(), 2);
    QFile::remove(TFrmMenu::helpFilePath());
}

TEST(AboutBox, ShowsTheBuildVersion)
{
    TFrmVer ver;
    ver.setProductName(QStringLiteral("キボラ"));
    EXPECT_EQ(ver.windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_TRUE(ver.lblProduct->font().bold());
    EXPECT_EQ(ver.lblVersion->text(), QStringLiteral("Version " KIVORA_VERSION));
}

namespace {
// A working form that fails while it is shown, then closes.
class FailingForm : public QDialog
{
public:
    using QDialog::QDialog;

protected:
    void showEvent(QShowEvent *e) override
    {
        QDialog::showEvent(e);
        QTimer::singleShot(0, this, [] { throw DbError(QStringLiteral("disk I/O error")); });
        QTimer::singleShot(10, this, [this] { reject(); });
    }
};
} // namespace

TEST_F(MainMenu, ButtonsOpenFreshFormsAndReleaseThemAlsoAfterFailures)
{
    openFreshDatabase();
    int created = 0, destroyed = 0;
    TFrmMenu::factories = [&](int button) -> FormFactory {
        if (button == 1)
            return [&](QWidget *owner) {
                auto *f = new FailingForm(owner);
                ++created;
                QObject::connect(f, &QObject::destroyed, [&] { ++destroyed; });
                return f;
            };
        if (button == 2)
            return [](QWidget *) -> QDialog * { throw DbError(QStringLiteral("no such table: D_TABLE")); };
        return {};
    };
    TFrmMenu menu;
    menu.show();
    EXPECT_TRUE(menu.buttons[0]->isEnabled());
    EXPECT_FALSE(menu.buttons[2]->isEnabled());
    menu.buttons[0]->click();
    menu.buttons[0]->click();
    EXPECT_EQ(created, 2);
    EXPECT_EQ(destroyed, 2);
    menu.buttons[1]->click();
    EXPECT_EQ(scripted().texts(QStringLiteral("error")),
              (QStringList{QStringLiteral("disk I/O error"), QStringLiteral("disk I/O error"), QStringLiteral("no such table: D_TABLE")}));
    EXPECT_TRUE(menu.isVisible());
    TFrmMenu::factories = menuFormFactory;
}
