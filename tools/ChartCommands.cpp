#include "ChartCommands.h"

#include "DataFolder.h"
#include "DrawChart.h"
#include "Installer.h"
#include "TextRules.h"
#include "TplPrev.h"
#include "TplSetPrinter.h"
#include "UntDM.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextStream>

#include <algorithm>
#include <cstring>

namespace {

void err(const QString &line) { QTextStream(stderr) << line << Qt::endl; }
void out(const QString &line) { QTextStream(stdout) << line << Qt::endl; }

QString folderWithSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    return folder;
}

// Opens the database of a data folder as the shared connection.
bool openDatabase(TdmMAIN &dm, const QString &folder)
{
    QString error;
    if (!dm.OpenDatabase(folder + QStringLiteral("kivora.mdb"), &error)) {
        err(error);
        return false;
    }
    setDmMAIN(&dm);
    return true;
}

struct Guest
{
    const char *kata1;
    const char *kata2;
    const char *name;
    const char *keisho;
};

// Sixty guests in seat order; the tables below take them side by side.
constexpr Guest kGuests[] = {
    {"新郎上司", "株式会社キボラ 営業部長", "髙橋 正和", "様"},
    {"新郎上司", "株式会社キボラ 課長", "中村 浩二", "様"},
    {"新郎先輩", "株式会社キボラ", "小林 健太", "様"},
    {"新郎同僚", "株式会社キボラ", "加藤 翔", "様"},
    {"新郎同僚", "株式会社キボラ", "吉村 大輔", "様"},
    {"新郎同僚", "", "John O'Brien", "様"},
    {"新婦上司", "さくら総合病院 看護部長", "伊藤 恵美", "様"},
    {"新婦上司", "さくら総合病院 主任", "渡辺 由美子", "様"},
    {"新婦先輩", "さくら総合病院", "山本 舞", "様"},
    {"新婦同僚", "さくら総合病院", "松本 彩", "様"},
    {"新婦同僚", "さくら総合病院", "井上 愛", "様"},
    {"新婦同僚", "さくら総合病院", "木村 千尋", "様"},
    {"新郎恩師", "東京工科大学 教授", "林 誠一", "様"},
    {"新郎恩師夫人", "", "林 和子", "様"},
    {"新郎友人", "東京工科大学 同窓", "清水 拓也", "様"},
    {"新郎友人", "東京工科大学 同窓", "山口 悠", "様"},
    {"新郎友人", "", "森 大樹", "様"},
    {"新郎友人", "", "池田 亮", "様"},
    {"新婦恩師", "桜丘高等学校 教諭", "橋本 洋子", "様"},
    {"新婦友人", "桜丘高等学校 同窓", "阿部 美咲", "様"},
    {"新婦友人", "", "石川 さやか", "様"},
    {"新婦友人", "", "前田 遥", "様"},
    {"新婦友人", "", "藤田 奈々", "様"},
    {"新婦友人", "", "岡田 真由", "様"},
    {"新郎友人", "", "𠮷田 健一", "様"},
    {"新郎友人", "", "後藤 直樹", "様"},
    {"新郎友人", "", "長谷川 聡", "様"},
    {"新郎友人", "", "村上 達也", "様"},
    {"新郎友人", "", "近藤 優斗", "様"},
    {"新婦友人", "", "石井 美穂", "様"},
    {"新婦友人", "", "坂本 明日香", "様"},
    {"新婦友人", "", "遠藤 麻衣", "様"},
    {"新婦友人", "", "青木 友美", "様"},
    {"新婦友人", "", "藤井 結衣", "様"},
    {"新郎叔父", "", "山田 健二", "様"},
    {"新郎叔母", "", "山田 幸子", "様"},
    {"新郎従兄", "", "山田 大翔", "くん"},
    {"新郎叔父", "", "西村 和夫", "様"},
    {"新郎叔母", "", "西村 京子", "様"},
    {"新郎従妹", "", "西村 さくら", "ちゃん"},
    {"新婦叔父", "", "佐藤 隆", "様"},
    {"新婦叔母", "", "佐藤 典子", "様"},
    {"新婦従弟", "", "佐藤 蓮", "くん"},
    {"新婦叔父", "", "福田 茂", "様"},
    {"新婦叔母", "", "福田 節子", "様"},
    {"新婦姪", "", "福田 陽菜", "ちゃん"},
    {"新郎祖母", "", "山田 トメ", "様"},
    {"新郎兄", "", "山田 一郎", "様"},
    {"新郎義姉", "", "山田 美和", "様"},
    {"新郎父", "", "山田 茂雄", ""},
    {"新郎母", "", "山田 恵子", ""},
    {"新婦祖父", "", "佐藤 勝", "様"},
    {"新婦祖母", "", "佐藤 キヨ", "様"},
    {"新婦姉", "", "﨑田 優子", "様"},
    {"新婦義兄", "", "﨑田 剛", "様"},
    {"新婦父", "", "佐藤 浩", ""},
    {"新婦母", "", "佐藤 由紀", ""},
    {"新郎友人", "", "竹内 誠", "様"},
    {"新郎友人", "", "原田 光", "様"},
    {"新婦友人", "", "小野 静香", "様"},
};

struct DemoTable
{
    int row, col, pos, left, right;
    const char *name;
};

// Three tiers of 4, 3 and 4 tables; 60 seats in all.
constexpr DemoTable kTables[] = {
    {1, 1, 2, 3, 3, "松"}, {1, 2, 7, 3, 3, "竹"}, {1, 3, 13, 3, 3, "梅"}, {1, 4, 18, 3, 3, "桜"},
    {2, 1, 4, 3, 3, "鶴"}, {2, 2, 10, 3, 3, "亀"}, {2, 3, 16, 3, 3, "藤"},
    {3, 1, 2, 2, 3, "菊"}, {3, 2, 7, 2, 2, "蘭"}, {3, 3, 13, 3, 2, "椿"}, {3, 4, 18, 2, 2, "楓"},
};

QString u(const char *s) { return QString::fromUtf8(s); }

void writeDemo(int kanriNo)
{
    TTransaction tx;
    TQuery q;
    for (const char *table : {"D_HED", "D_HINA", "D_TABLE", "D_TABPOS", "D_TABNM"}) {
        q.Close();
        q << QStringLiteral("DELETE FROM %1 WHERE KANRINO = :KANRINO").arg(u(table));
        q.SetParam(QStringLiteral("KANRINO"), kanriNo);
        q.ExecSQL();
    }

    q.Close();
    q << QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM, SINROSEI, SINPUSEI, ENTITLE, HDATE,")
      << QStringLiteral("  SEKIROW, SEKICOL1, SEKICOL2, SEKICOL3, SEKICOL4, SEKICOL5, TLONG, BKPATH, TBLPTN,")
      << QStringLiteral("  TBLPATH, PLPATH, PRNFONT, ENDSTR, OPT1, OPT2, DATEOUT, SIKIJO1, SIKIJO2, ENSZ, HINASZ,")
      << QStringLiteral("  SEKISZ, KATASZ, LPOS, RPOS, ALLTPOS, TBLSZ, TBLFSZ, KEISZ, SIKISZ)")
      << QStringLiteral(" VALUES (:KANRINO, :KANRINM, :SINROSEI, :SINPUSEI, :ENTITLE, :HDATE,")
      << QStringLiteral("  3, 4, 3, 4, 0, 0, 0, NULL, 0,")
      << QStringLiteral("  NULL, NULL, :PRNFONT, :ENDSTR, 0, 0, 0, :SIKIJO1, :SIKIJO2, 0, 0,")
      << QStringLiteral("  0, 0, 0, 0, 0, 10, 0, 1, 0)");
    q.SetParam(QStringLiteral("KANRINO"), kanriNo);
    q.SetParam(QStringLiteral("KANRINM"), QStringLiteral("山田家・佐藤家 披露宴（デモ）"));
    q.SetParam(QStringLiteral("SINROSEI"), QStringLiteral("山田"));
    q.SetParam(QStringLiteral("SINPUSEI"), QStringLiteral("佐藤"));
    q.SetParam(QStringLiteral("ENTITLE"), QStringLiteral("御結婚披露宴"));
    q.SetParam(QStringLiteral("HDATE"), QStringLiteral("2027-04-10"));
    q.SetParam(QStringLiteral("PRNFONT"), QStringLiteral("ＭＳ Ｐ明朝"));
    q.SetParam(QStringLiteral("ENDSTR"), QStringLiteral("本日はご多用の中ご臨席を賜り誠にありがとうございます"));
    q.SetParam(QStringLiteral("SIKIJO1"), QStringLiteral("ホテル・キボラ東京"));
    q.SetParam(QStringLiteral("SIKIJO2"), QStringLiteral("鳳凰の間"));
    q.ExecSQL();

    q.Close();
    q << QStringLiteral("INSERT INTO D_HINA (KANRINO, SINRONM, SINPUNM,")
      << QStringLiteral("  KATA11, KATA12, NAME1, KEISHO1, KATA21, KATA22, NAME2, KEISHO2,")
      << QStringLiteral("  KATA31, KATA32, NAME3, KEISHO3, KATA41, KATA42, NAME4, KEISHO4)")
      << QStringLiteral(" VALUES (:KANRINO, :SINRONM, :SINPUNM,")
      << QStringLiteral("  :KATA11, :KATA12, :NAME1, :KEISHO1, :KATA21, :KATA22, :NAME2, :KEISHO2,")
      << QStringLiteral("  :KATA31, :KATA32, :NAME3, :KEISHO3, :KATA41, :KATA42, :NAME4, :KEISHO4)");
    q.SetParam(QStringLiteral("KANRINO"), kanriNo);
    q.SetParam(QStringLiteral("SINRONM"), QStringLiteral("山田 太郎"));
    q.SetParam(QStringLiteral("SINPUNM"), QStringLiteral("佐藤 花子"));
    const char *const head[4][4] = {
        {"媒酌人", "株式会社キボラ 代表取締役", "高木 正人", "様"},
        {"媒酌人夫人", " ", "高木 礼子", "様"},
        {"主賓", "さくら総合病院 院長", "﨑山 誠", "様"},
        {"主賓夫人", " ", "﨑山 恵子", "様"},
    };
    for (int n = 0; n < 4; ++n) {
        q.SetParam(QStringLiteral("KATA%1").arg(n + 1) + QLatin1Char('1'), u(head[n][0]));
        q.SetParam(QStringLiteral("KATA%1").arg(n + 1) + QLatin1Char('2'), u(head[n][1]));
        q.SetParam(QStringLiteral("NAME%1").arg(n + 1), u(head[n][2]));
        q.SetParam(QStringLiteral("KEISHO%1").arg(n + 1), u(head[n][3]));
    }
    q.ExecSQL();

    q.Close();
    q << QStringLiteral("INSERT INTO D_TABPOS (KANRINO, TBLROW, TBLCOL, TBLPOS) VALUES (:KANRINO, :TBLROW, :TBLCOL, :TBLPOS)");
    for (const DemoTable &t : kTables) {
        q.SetParam(QStringLiteral("KANRINO"), kanriNo);
        q.SetParam(QStringLiteral("TBLROW"), t.row);
        q.SetParam(QStringLiteral("TBLCOL"), t.col);
        q.SetParam(QStringLiteral("TBLPOS"), t.pos);
        q.ExecSQL();
    }
    q.Close();
    q << QStringLiteral("INSERT INTO D_TABNM (KANRINO, TBLROW, TBLCOL, TBLNM) VALUES (:KANRINO, :TBLROW, :TBLCOL, :TBLNM)");
    for (const DemoTable &t : kTables) {
        q.SetParam(QStringLiteral("KANRINO"), kanriNo);
        q.SetParam(QStringLiteral("TBLROW"), t.row);
        q.SetParam(QStringLiteral("TBLCOL"), t.col);
        q.SetParam(QStringLiteral("TBLNM"), u(t.name));
        q.ExecSQL();
    }

    q.Close();
    q << QStringLiteral("INSERT INTO D_TABLE (KANRINO, KJNNO, TBLROW, TBLCOL, TBLRL, SORTNO, KATA1, KATA2, NAME, KEISHO)")
      << QStringLiteral(" VALUES (:KANRINO, :KJNNO, :TBLROW, :TBLCOL, :TBLRL, :SORTNO, :KATA1, :KATA2, :NAME, :KEISHO)");
    int g = 0;
    for (const DemoTable &t : kTables) {
        for (int side = 0; side <= 1; ++side) {
            const int count = side == 0 ? t.left : t.right;
            for (int s = 1; s <= count; ++s, ++g) {
                const Guest &guest = kGuests[g];
                auto blankAsSpace = [](const char *v) { return *v ? u(v) : QStringLiteral(" "); };
                q.SetParam(QStringLiteral("KANRINO"), kanriNo);
                q.SetParam(QStringLiteral("KJNNO"), g + 1);
                q.SetParam(QStringLiteral("TBLROW"), t.row);
                q.SetParam(QStringLiteral("TBLCOL"), t.col);
                q.SetParam(QStringLiteral("TBLRL"), side);
                q.SetParam(QStringLiteral("SORTNO"), s);
                q.SetParam(QStringLiteral("KATA1"), blankAsSpace(guest.kata1));
                q.SetParam(QStringLiteral("KATA2"), blankAsSpace(guest.kata2));
                q.SetParam(QStringLiteral("NAME"), u(guest.name));
                q.SetParam(QStringLiteral("KEISHO"), blankAsSpace(guest.keisho));
                q.ExecSQL();
            }
        }
    }
    tx.Commit();
}

int demoUsage()
{
    err(QStringLiteral("使い方: kivora-tool demo [--data-folder DIR] [--replace]"));
    return 2;
}

int chartUsage()
{
    err(QStringLiteral("使い方: kivora-tool chart 管理番号 [--out ファイル.png|.pdf|.json] [--dpi N] [--data-folder DIR]"));
    return 2;
}

int clampTo(int v, int lo, int hi) { return std::clamp(v, lo, hi); }

} // namespace

static_assert(sizeof(kGuests) / sizeof(kGuests[0]) == 60);
static_assert([] {
    int seats = 0;
    for (const DemoTable &t : kTables)
        seats += t.left + t.right;
    return seats;
}() == 60);

bool commandNeedsGui(const char *command)
{
    return command && (std::strcmp(command, "demo") == 0 || std::strcmp(command, "chart") == 0);
}

void chooseHeadlessPlatform()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

int cmdDemo(const QStringList &args)
{
    QString folder;
    bool replace = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data-folder") && i + 1 < args.size())
            folder = args[++i];
        else if (args[i] == QLatin1String("--replace"))
            replace = true;
        else
            return demoUsage();
    }
    if (folder.isEmpty())
        folder = DataFolder();
    if (folder.isEmpty()) {
        err(QStringLiteral("データフォルダの場所が分かりません。--data-folder で指定してください。"));
        return 1;
    }
    folder = folderWithSeparator(folder);
    if (!QFileInfo::exists(folder + QStringLiteral("kivora.mdb"))) {
        QString message;
        if (installDataFolder(folder, &message) == InstallResult::Failed) {
            err(message);
            return 1;
        }
        out(message);
    }
    TdmMAIN dm;
    if (!openDatabase(dm, folder))
        return 1;
    constexpr int kanriNo = 1;
    try {
        TQuery q;
        q << QStringLiteral("SELECT KANRINM FROM D_HED WHERE KANRINO = :KANRINO");
        q.SetParam(QStringLiteral("KANRINO"), kanriNo);
        q.Open();
        const bool exists = !q.Eof();
        q.Close();
        if (exists && !replace) {
            err(QStringLiteral("管理番号 1 は既に登録されています。置き換えるときは --replace を付けてください。"));
            setDmMAIN(nullptr);
            return 1;
        }
        writeDemo(kanriNo);
    } catch (const DbError &e) {
        err(e.message());
        setDmMAIN(nullptr);
        return 1;
    }
    setDmMAIN(nullptr);

    // A3 landscape, the usual sheet for a chart of this size.
    TplSetPrinter printer;
    printer.setPaperName(QStringLiteral("A3"));
    printer.SetLandscape(true);
    if (!printer.SaveSettings(folder + QStringLiteral("PlPrint%1.plv").arg(kanriNo)))
        err(QStringLiteral("プリンタ設定ファイルを書き込めませんでした。"));
    out(QStringLiteral("デモの披露宴を管理番号 1 に登録しました（出席者 60 名）。"));
    return 0;
}

int cmdChart(const QStringList &args)
{
    if (args.isEmpty())
        return chartUsage();
    bool ok = false;
    const int kanriNo = args[0].toInt(&ok);
    if (!ok || kanriNo < 1 || kanriNo > 99999999)
        return chartUsage();
    QString folder;
    QString outPath;
    int dpi = 200;
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--data-folder") && i + 1 < args.size()) {
            folder = args[++i];
        } else if (args[i] == QLatin1String("--out") && i + 1 < args.size()) {
            outPath = args[++i];
        } else if (args[i] == QLatin1String("--dpi") && i + 1 < args.size()) {
            dpi = args[++i].toInt(&ok);
            if (!ok || dpi < 10 || dpi > 1200)
                return chartUsage();
        } else {
            return chartUsage();
        }
    }
    if (folder.isEmpty())
        folder = DataFolder();
    folder = folderWithSeparator(folder);
    if (outPath.isEmpty())
        outPath = QStringLiteral("chart%1.png").arg(kanriNo);
    const QString ext = QFileInfo(outPath).suffix().toLower();
    if (ext != QLatin1String("png") && ext != QLatin1String("pdf") && ext != QLatin1String("json"))
        return chartUsage();

    TdmMAIN dm;
    if (!openDatabase(dm, folder))
        return 1;

    // The options as the print form would load them for this reception.
    ChartInputs in;
    in.kanriNo = kanriNo;
    in.dataFolder = folder;
    in.takasago = QStringLiteral("高　　砂");
    try {
        TQuery q;
        q << QStringLiteral("SELECT * FROM D_HED WHERE KANRINO = :KANRINO");
        q.SetParam(QStringLiteral("KANRINO"), kanriNo);
        q.Open();
        if (!q.Eof()) {
            // The form loads the venue lines without trailing blanks; kept, they
            // would push the right-aligned lines off their edge.
            in.sikijo1 = text::trimRight(q.AsString(QStringLiteral("SIKIJO1")));
            in.sikijo2 = text::trimRight(q.AsString(QStringLiteral("SIKIJO2")));
            in.ensz = clampTo(q.AsInteger(QStringLiteral("ENSZ")), -10, 10);
            in.hinasz = clampTo(q.AsInteger(QStringLiteral("HINASZ")), -10, 10);
            in.sekisz = clampTo(q.AsInteger(QStringLiteral("SEKISZ")), -10, 10);
            in.katasz = clampTo(q.AsInteger(QStringLiteral("KATASZ")), -10, 10);
            in.lpos = clampTo(q.AsInteger(QStringLiteral("LPOS")), -50, 50);
            in.rpos = clampTo(q.AsInteger(QStringLiteral("RPOS")), -50, 50);
            in.alltpos = clampTo(q.AsInteger(QStringLiteral("ALLTPOS")), -50, 50);
            in.tblsz = clampTo(q.AsInteger(QStringLiteral("TBLSZ")), 2, 20);
            in.tblfsz = clampTo(q.AsInteger(QStringLiteral("TBLFSZ")), -24, 24);
            in.sikisz = clampTo(q.AsInteger(QStringLiteral("SIKISZ")), -24, 24);
            in.kei = q.AsInteger(QStringLiteral("KEISZ")) != 0;
        }
        q.Close();
    } catch (const DbError &e) {
        err(e.message());
        setDmMAIN(nullptr);
        return 1;
    }

    TplPrev doc;
    TplSetPrinter printer;
    const ChartResult r = DrawChart(in, doc, printer);
    setDmMAIN(nullptr);
    if (!r.ok()) {
        err(r.message);
        return 1;
    }

    QString error;
    bool written = false;
    if (ext == QLatin1String("png")) {
        written = doc.savePng(outPath, 0, dpi, &error);
    } else if (ext == QLatin1String("pdf")) {
        written = doc.savePdf(outPath, &error);
    } else {
        QSaveFile file(outPath);
        written = file.open(QIODevice::WriteOnly)
                  && file.write(QJsonDocument(doc.toJson()).toJson(QJsonDocument::Indented)) >= 0 && file.commit();
        if (!written)
            error = QStringLiteral("ファイルを書き込めません。\n%1").arg(outPath);
    }
    if (!written) {
        err(error);
        return 1;
    }
    out(outPath);
    return 0;
}
