// The chart run from the database to the recorded page, on a fixed page frame:
// A4 landscape at 600 dpi with 100-dot margins (PaperW 2970, PaperH 2100,
// PrintW 2885, PrintH 2015, MarginB 42, OffX 42, OffY 42, PrintR 2927).
// Widths that depend on the font are measured with the font of the recorded
// operation, never taken from a constant.
#include "DrawChart.h"
#include "TestEnv.h"
#include "TplPrev.h"
#include "TplSetPrinter.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace {

const DeviceValues kA4Land600 = {600, 600, 7016, 4961, 6816, 4761, 100, 4861, 100, 6916};

// Centres on the fixed frame: x = p * 115 + 337, y of a single tier 1192.
int cx(int pos) { return pos * 115 + 337; }
constexpr int kY1 = 1192;

class ChartRun : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
        printer.setDeviceValuesOverride(kA4Land600);
        in.kanriNo = 1;
        in.takasago = QStringLiteral("高　　砂");
    }

    void insert(const QString &table, const QVariantMap &values)
    {
        QStringList names = values.keys();
        QStringList params;
        for (const QString &n : names)
            params << QLatin1Char(':') + n;
        QSqlQuery q(dm.ADOCMDB());
        ASSERT_TRUE(q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                  .arg(table, names.join(QLatin1Char(',')), params.join(QLatin1Char(',')))));
        for (const QString &n : names)
            q.bindValue(QLatin1Char(':') + n, values.value(n));
        ASSERT_TRUE(q.exec()) << q.lastError().text().toStdString();
    }

    // A reception with one tier of one table unless told otherwise.
    void reception(const QVariantMap &over = {})
    {
        QVariantMap v{
            {"KANRINO", 1},      {"KANRINM", "テスト"}, {"SINROSEI", "山田"}, {"SINPUSEI", "佐藤"},
            {"ENTITLE", "御結婚披露宴"}, {"HDATE", "2027-04-05"}, {"SEKIROW", 1}, {"SEKICOL1", 1},
            {"SEKICOL2", 0},     {"SEKICOL3", 0},     {"SEKICOL4", 0},     {"SEKICOL5", 0},
            {"TLONG", 0},        {"TBLPTN", 0},       {"PRNFONT", "ＭＳ Ｐ明朝"}, {"ENDSTR", "末尾の文"},
            {"OPT1", 0},         {"OPT2", 0},         {"DATEOUT", 0},      {"TBLSZ", 10},
        };
        for (auto it = over.begin(); it != over.end(); ++it)
            v[it.key()] = it.value();
        insert(QStringLiteral("D_HED"), v);
    }

    void table(int row, int col, int pos, const QString &name = QString())
    {
        insert(QStringLiteral("D_TABPOS"), {{"KANRINO", 1}, {"TBLROW", row}, {"TBLCOL", col}, {"TBLPOS", pos}});
        if (!name.isEmpty())
            insert(QStringLiteral("D_TABNM"), {{"KANRINO", 1}, {"TBLROW", row}, {"TBLCOL", col}, {"TBLNM", name}});
    }

    void guest(int row, int col, int rl, int sort, const QString &kata1, const QString &kata2, const QString &name,
               const QString &keisho)
    {
        insert(QStringLiteral("D_TABLE"), {{"KANRINO", 1}, {"KJNNO", nextKjn++}, {"TBLROW", row}, {"TBLCOL", col},
                                           {"TBLRL", rl}, {"SORTNO", sort}, {"KATA1", kata1}, {"KATA2", kata2},
                                           {"NAME", name}, {"KEISHO", keisho}});
    }

    void hina(const QVariantMap &over = {})
    {
        QVariantMap v{{"KANRINO", 1}, {"SINRONM", "山田 太郎"}, {"SINPUNM", "佐藤 花子"}};
        const char *extra[4][4] = {{"媒酌人", "会社 社長", "高木 正人", "様"},
                                   {"媒酌人夫人", " ", "高木 礼子", "様"},
                                   {"主賓", "病院 院長", "﨑山 誠", "様"},
                                   {"主賓夫人", " ", "﨑山 恵子", " "}};
        for (int n = 1; n <= 4; ++n) {
            const QString k = QString::number(n);
            v[QStringLiteral("KATA") + k + QLatin1Char('1')] = QString::fromUtf8(extra[n - 1][0]);
            v[QStringLiteral("KATA") + k + QLatin1Char('2')] = QString::fromUtf8(extra[n - 1][1]);
            v[QStringLiteral("NAME") + k] = QString::fromUtf8(extra[n - 1][2]);
            v[QStringLiteral("KEISHO") + k] = QString::fromUtf8(extra[n - 1][3]);
        }
        for (auto it = over.begin(); it != over.end(); ++it)
            v[it.key()] = it.value();
        insert(QStringLiteral("D_HINA"), v);
    }

    ChartResult draw() { return DrawChart(in, doc, printer, &wb); }

    QList<PrevOp> page() const { return doc.pageCount() > 0 ? doc.page(0) : QList<PrevOp>(); }

    QList<PrevOp> ops(const QString &name) const
    {
        QList<PrevOp> r;
        for (const PrevOp &op : page())
            if (op.op == name)
                r << op;
        return r;
    }

    QList<PrevOp> withText(const QString &text) const
    {
        QList<PrevOp> r;
        for (const PrevOp &op : page())
            if ((op.kind == PrevOp::Kind::Text || op.kind == PrevOp::Kind::TextInRect) && op.text == text)
                r << op;
        return r;
    }

    // The only text operation with this text.
    PrevOp one(const QString &text) const
    {
        const QList<PrevOp> r = withText(text);
        EXPECT_EQ(r.size(), 1) << text.toStdString();
        return r.isEmpty() ? PrevOp() : r.first();
    }

    static int width(const PrevFont &font, const QString &text, int style = -1)
    {
        TplPrev m;
        m.SetFontName(font.face);
        m.SetFontHeight(font.height);
        m.SetFontStyle(style < 0 ? font.style : style);
        return m.TextWidth(text);
    }

    static int height(const PrevFont &font, const QString &text = QStringLiteral("Hg"))
    {
        TplPrev m;
        m.SetFontName(font.face);
        m.SetFontHeight(font.height);
        return m.TextHeight(text);
    }

    TplPrev doc;
    TplSetPrinter printer;
    ChartInputs in;
    ChartWriteBack wb;
    int nextKjn = 1;
};

} // namespace

TEST_F(ChartRun, PageFrameFromDeviceValues)
{
    reception();
    table(1, 1, 9);
    ASSERT_TRUE(draw().ok());
    const PageFrame f = doc.frame();
    EXPECT_EQ(f.PaperW, 2970);
    EXPECT_EQ(f.PaperH, 2100);
    EXPECT_EQ(f.PrintW, 2885);
    EXPECT_EQ(f.PrintH, 2015);
    EXPECT_EQ(f.MarginB, 42);
    EXPECT_EQ(f.OffX, 42);
    EXPECT_EQ(f.OffY, 42);
    EXPECT_EQ(f.PrintR, 2927);

    // Printable area larger than the paper and negative offsets are clamped.
    printer.setDeviceValuesOverride(DeviceValues{600, 600, 7016, 4961, 8000, 6000, -60, 5000, -120, 9000});
    ASSERT_TRUE(draw().ok());
    const PageFrame c = doc.frame();
    EXPECT_EQ(c.PrintW, 2970);
    EXPECT_EQ(c.PrintH, 2100);
    EXPECT_EQ(c.MarginB, 0);
    EXPECT_EQ(c.OffX, 0);
    EXPECT_EQ(c.OffY, 0);
    EXPECT_EQ(c.PrintR, 2970);
}

TEST_F(ChartRun, TablesOfEveryTierCount)
{
    reception({{"SEKIROW", 5}, {"SEKICOL1", 1}, {"SEKICOL2", 2}, {"SEKICOL3", 3}, {"SEKICOL4", 4}, {"SEKICOL5", 5}});
    const std::vector<std::vector<int>> positions = {
        {9}, {6, 14}, {1, 10, 19}, {1, 7, 13, 19}, {1, 5, 10, 15, 19}};
    for (int t = 1; t <= 5; ++t)
        for (int c = 1; c <= t; ++c)
            table(t, c, positions[t - 1][c - 1], QStringLiteral("%1%2").arg(t).arg(c));
    ASSERT_TRUE(draw().ok());

    const QList<PrevOp> circles = ops(QStringLiteral("DrawCircle"));
    ASSERT_EQ(circles.size(), 15);
    int i = 0;
    for (int t = 1; t <= 5; ++t) {
        const int y = 324 * t - 162 + 380; // TierH = Trunc(1623 / 5)
        for (int c = 1; c <= t; ++c, ++i) {
            const int x = cx(positions[t - 1][c - 1]);
            EXPECT_EQ(circles[i].arg("CX"), x) << t << "," << c;
            EXPECT_EQ(circles[i].arg("CY"), y) << t << "," << c;
            EXPECT_EQ(circles[i].arg("D"), 100);
            const PrevOp name = one(QStringLiteral("%1%2").arg(t).arg(c));
            EXPECT_EQ(name.op, QStringLiteral("TextCenterMiddle"));
            EXPECT_EQ(name.arg("X"), x);
            EXPECT_EQ(name.arg("Y"), y);
            EXPECT_EQ(name.font.height, 50); // two-byte names
        }
    }
}

TEST_F(ChartRun, TableShapes)
{
    const QString pic = dataFolder() + QStringLiteral("table.png");
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    struct Case {
        const char *what;
        int tblptn, tlong, alltpos;
        QString path;
        QString op;
        std::vector<int> args; // in recorded order
    } cases[] = {
        {"circle", 0, 0, 0, {}, "DrawCircle", {cx(9), kY1, 100}},
        {"square", 1, 0, 0, {}, "DrawRect", {1322, 1422, 1142, 1242}},
        {"picture", 2, 0, 0, pic, "DrawPicture", {1322, 1422, 1142, 1242}},
        {"missing picture draws a circle", 2, 0, 0, pic + QStringLiteral(".gone"), "DrawCircle", {cx(9), kY1, 100}},
        {"no shape", 3, 0, 0, {}, "", {}},
        {"long table: a tall strip", 1, 1, 0, {}, "DrawRect", {1322, 1422, 430, 2008}},
        {"whole layout shifted", 0, 0, -20, {}, "DrawCircle", {cx(9) - 20, kY1, 100}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        exec(QStringLiteral("DELETE FROM D_TABNM"));
        ASSERT_TRUE(img.save(pic));
        reception({{"TBLPTN", c.tblptn}, {"TLONG", c.tlong}, {"TBLPATH", c.path}});
        table(1, 1, 9, QStringLiteral("松"));
        in.alltpos = c.alltpos;
        ASSERT_TRUE(draw().ok());
        int shapes = 0;
        for (const PrevOp &op : page()) {
            if (op.kind == PrevOp::Kind::Text || op.kind == PrevOp::Kind::TextInRect)
                continue;
            ++shapes;
            EXPECT_EQ(op.op, c.op);
            std::vector<int> got;
            for (const auto &a : op.args)
                got.push_back(a.second);
            EXPECT_EQ(got, c.args);
            if (op.kind == PrevOp::Kind::Picture) {
                EXPECT_TRUE(op.stretch);
                EXPECT_EQ(op.text, pic);
            }
        }
        EXPECT_EQ(shapes, c.op.isEmpty() ? 0 : 1);
        const PrevOp name = one(QStringLiteral("松"));
        EXPECT_EQ(name.arg("X"), cx(9) + c.alltpos);
        EXPECT_EQ(name.arg("Y"), kY1);
    }
}

TEST_F(ChartRun, NameBlocksAlignmentAndHonorifics)
{
    struct Case {
        int lpos, rpos, layout;
        bool kei;
        int leftTop, leftNext, rightTop;
    } cases[] = {
        // MaxSide 2: TierH 1623, Band 1428, Pitch 714; the band starts at 97 + 380.
        {0, 0, 0, false, 477, 1191, 477},
        {30, -10, 1, true, 574, 1288, 931}, // spread: + 97 for two, + 454 for one
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.layout);
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        exec(QStringLiteral("DELETE FROM D_TABLE"));
        reception({{"OPT1", c.layout}});
        table(1, 1, 9);
        guest(1, 1, 0, 1, QStringLiteral("部長"), QStringLiteral("株式会社キボラ"), QStringLiteral("山田 太郎"),
              QStringLiteral("様"));
        guest(1, 1, 0, 5, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("佐藤 一"), QStringLiteral("くん"));
        guest(1, 1, 1, 1, QStringLiteral("友人"), QStringLiteral(" "), QStringLiteral("鈴木 花子"),
              QStringLiteral("ちゃん"));
        in.lpos = c.lpos;
        in.rpos = c.rpos;
        in.kei = c.kei;
        ASSERT_TRUE(draw().ok());

        const PrevOp yamada = one(QStringLiteral("山田 太郎"));
        const PrevOp sato = one(QStringLiteral("佐藤 一"));
        const PrevOp suzuki = one(QStringLiteral("鈴木 花子"));
        ASSERT_EQ(yamada.font.height, 50);
        // The widest name followed by the widest honorific.
        const int w = width(yamada.font, QStringLiteral("山田 太郎ちゃん"));
        const int wk = width(yamada.font, QStringLiteral("ちゃん"));

        // Left block: from the sample's room left of the table to the table's edge.
        for (const PrevOp &op : {yamada, sato}) {
            EXPECT_EQ(op.op, QStringLiteral("TextInRectLeft"));
            EXPECT_EQ(op.arg("Left"), cx(9) - w - 70 + c.lpos);
            EXPECT_EQ(op.arg("Right"), cx(9) - 50);
        }
        EXPECT_EQ(suzuki.arg("Left"), cx(9) + 70 + c.rpos);
        EXPECT_EQ(suzuki.arg("Right"), cx(9) + 70 + c.rpos + w + 20);

        // Two title lines, then the name; empty titles keep their place.
        EXPECT_EQ(yamada.arg("Top"), c.leftTop + 62);
        EXPECT_EQ(yamada.arg("Bottom"), c.leftTop + 112);
        EXPECT_EQ(sato.arg("Top"), c.leftNext + 62);
        EXPECT_EQ(suzuki.arg("Top"), c.rightTop + 62);
        const PrevOp bucho = one(QStringLiteral("部長"));
        EXPECT_EQ(bucho.arg("Top"), c.leftTop);
        EXPECT_EQ(bucho.arg("Bottom"), c.leftTop + 25);
        EXPECT_EQ(bucho.font.height, 25);
        const PrevOp company = one(QStringLiteral("株式会社キボラ"));
        EXPECT_EQ(company.arg("Top"), c.leftTop + 31);
        EXPECT_EQ(company.arg("Bottom"), c.leftTop + 56);
        EXPECT_EQ(withText(QStringLiteral(" ")).size(), 3); // sato's two titles, suzuki's second

        // Honorifics start 0.3 mm after the widest name's room.
        const int x1Left = cx(9) - w - 70 + c.lpos;
        const PrevOp sama = one(QStringLiteral("様"));
        EXPECT_EQ(sama.op, QStringLiteral("TextLeftTop"));
        EXPECT_EQ(sama.arg("X"), x1Left + w - wk + 3);
        EXPECT_EQ(sama.arg("Y"), c.leftTop + 62);
        EXPECT_EQ(sama.font.height, 50);
        const PrevOp kun = one(QStringLiteral("くん"));
        EXPECT_EQ(kun.arg("X"), x1Left + w - wk + 3);
        EXPECT_EQ(kun.arg("Y"), c.leftNext + 62 + (c.kei ? 13 : 0));
        EXPECT_EQ(kun.font.height, c.kei ? 25 : 50);
        const PrevOp chan = one(QStringLiteral("ちゃん"));
        EXPECT_EQ(chan.arg("X"), cx(9) + 70 + c.rpos + w - wk + 3);
        EXPECT_EQ(chan.arg("Y"), c.rightTop + 62 + (c.kei ? 13 : 0));
        EXPECT_EQ(chan.font.height, c.kei ? 25 : 50);
    }
}

TEST_F(ChartRun, LongTablesStackAttendees)
{
    for (int layout : {0, 1}) {
        SCOPED_TRACE(layout);
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        exec(QStringLiteral("DELETE FROM D_TABLE"));
        reception({{"TLONG", 1}, {"SEKICOL1", 2}, {"OPT1", layout}});
        table(1, 1, 5);
        table(1, 2, 14);
        guest(1, 1, 0, 1, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("山田 太郎"), QStringLiteral("様"));
        guest(1, 1, 0, 2, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("佐藤 一"), QStringLiteral("様"));
        ASSERT_TRUE(draw().ok());
        const QList<PrevOp> rects = ops(QStringLiteral("DrawRect"));
        ASSERT_EQ(rects.size(), 2);
        EXPECT_EQ(rects[1].arg("Left"), cx(14) - 50);
        EXPECT_EQ(rects[1].arg("Top"), 430);
        EXPECT_EQ(rects[1].arg("Bottom"), 2008);
        const PrevOp first = one(QStringLiteral("山田 太郎"));
        const PrevOp second = one(QStringLiteral("佐藤 一"));
        ASSERT_EQ(first.font.height, 50);
        if (layout == 0) {
            EXPECT_EQ(first.arg("Top"), 430 + 62);
            EXPECT_EQ(second.arg("Top"), 430 + 162 + 62); // block height + 50
        } else {
            EXPECT_EQ(first.arg("Top"), 527 + 62); // + Trunc((1623 - 2 * 714) / 2)
            EXPECT_EQ(second.arg("Top"), 527 + 714 + 62);
        }
    }
}

TEST_F(ChartRun, NamesShrinkToTheNarrowestRoomAndSizeTheHeadTable)
{
    // Five tables four cells apart: half gap (460 - 100) div 2 = 180, NameSpace 160.
    reception({{"SEKICOL1", 5}});
    const int pos[] = {1, 5, 9, 13, 17};
    for (int c = 1; c <= 5; ++c)
        table(1, c, pos[c - 1]);
    guest(1, 3, 1, 1, QStringLiteral("友人"), QStringLiteral(" "), QStringLiteral("長谷川 健太郎"), QStringLiteral("様"));
    in.sekisz = -2;
    in.katasz = 1;
    in.hinasz = 0;
    ASSERT_TRUE(draw().ok());

    const PrevOp name = one(QStringLiteral("長谷川 健太郎"));
    const PrevOp title = one(QStringLiteral("友人"));
    const int shrunk = name.font.height + 2; // before SEKISZ
    PrevFont f = name.font;
    f.height = shrunk;
    const QString sample = QStringLiteral("長谷川 健太郎様");
    EXPECT_LE(width(f, sample) + 10, 160);
    f.height = shrunk + 1;
    EXPECT_GT(width(f, sample) + 10, 160);
    EXPECT_LT(shrunk, 50);
    EXPECT_EQ(title.font.height, int(shrunk * 0.6) + 1);
    const int gap = int(shrunk * 0.1);
    EXPECT_EQ(name.arg("Top") - title.arg("Top"), 2 * (title.font.height + gap));

    // Caption and end text follow the small names below their caps.
    EXPECT_EQ(one(QStringLiteral("高　　砂")).font.height, std::min(name.font.height, 35));
    EXPECT_EQ(one(QStringLiteral("末尾の文")).font.height, int(name.font.height * 0.85));
}

TEST_F(ChartRun, TitleBlockWithBlankFamilyName)
{
    struct Case {
        QString sinro, sinpu;
    } cases[] = {{QStringLiteral("山田"), QStringLiteral("佐藤")}, {QStringLiteral(" "), QStringLiteral("佐藤")}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.sinro.toStdString());
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        reception({{"SINROSEI", c.sinro}, {"SINPUSEI", c.sinpu}});
        table(1, 1, 9);
        in.ensz = -3;
        ASSERT_TRUE(draw().ok());

        const PrevOp sinpu = one(c.sinpu);
        EXPECT_EQ(sinpu.font.height, 58 - 3); // Trunc(50 * 1.17) + ENSZ
        const int h = height(sinpu.font);
        const int wf = std::max(width(sinpu.font, c.sinro), width(sinpu.font, c.sinpu));
        const int y1 = 75 + h + 6;
        EXPECT_EQ(sinpu.arg("X"), 100);
        EXPECT_EQ(sinpu.arg("Y"), y1);

        const QList<PrevOp> ie = withText(QStringLiteral("家"));
        const bool blank = c.sinro.trimmed().isEmpty();
        ASSERT_EQ(ie.size(), blank ? 1 : 2);
        EXPECT_EQ(ie.last().arg("X"), 100 + wf + 15);
        EXPECT_EQ(ie.last().arg("Y"), y1);
        if (!blank) {
            EXPECT_EQ(ie.first().arg("X"), 100 + wf + 15);
            EXPECT_EQ(ie.first().arg("Y"), 75);
        }

        const PrevOp title = one(QStringLiteral("御結婚披露宴"));
        EXPECT_EQ(title.op, QStringLiteral("TextLeftMiddle"));
        EXPECT_EQ(title.arg("X"), 100 + wf + width(sinpu.font, QStringLiteral("家")) + 35);
        EXPECT_EQ(title.arg("Y"), y1 - 3);
    }
}

TEST_F(ChartRun, DateAndVenueLines)
{
    struct Case {
        const char *what;
        int dateOut;
        QString v1, v2;
        std::vector<QString> lines; // expected, top to bottom
    } cases[] = {
        {"date and both lines", 0, QStringLiteral("ホテル"), QStringLiteral("鳳凰の間"),
         {QStringLiteral("2027年4月5日"), QStringLiteral("ホテル"), QStringLiteral("鳳凰の間")}},
        {"no date: the first line takes its place", 1, QStringLiteral("ホテル"), QStringLiteral("鳳凰の間"),
         {QStringLiteral("ホテル"), QStringLiteral("鳳凰の間")}},
        {"stored blank line leaves no gap", 0, QStringLiteral(" "), QStringLiteral("鳳凰の間"),
         {QStringLiteral("2027年4月5日"), QStringLiteral("鳳凰の間")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        reception({{"DATEOUT", c.dateOut}});
        table(1, 1, 9);
        in.sikijo1 = c.v1;
        in.sikijo2 = c.v2;
        in.sikisz = 4;
        ASSERT_TRUE(draw().ok());
        const QList<PrevOp> right = ops(QStringLiteral("TextRightTop"));
        ASSERT_EQ(right.size(), int(c.lines.size()));
        int y = 75;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(right[i].text, c.lines[i]);
            EXPECT_EQ(right[i].arg("X"), 2870);
            EXPECT_EQ(right[i].arg("Y"), y);
            EXPECT_EQ(right[i].font.height, 42 + 4);
            y += height(right[i].font, c.lines[i]) + 5;
        }
    }
}

TEST_F(ChartRun, HeadTable)
{
    struct Case {
        const char *what;
        bool outerEmpty;
        bool ssPrint;
        int rectL, rectR;
    } cases[] = {
        {"wide outline with 新郎 and 新婦", false, false, 594, 2376},
        {"narrow outline when persons 1 and 4 are empty", true, false, 923, 2047},
        {"no 新郎 / 新婦", false, true, 594, 2376},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_HINA"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        reception();
        table(1, 1, 9);
        if (c.outerEmpty)
            hina({{"KATA11", " "}, {"KATA12", " "}, {"NAME1", " "}, {"KATA41", " "}, {"KATA42", " "}, {"NAME4", " "}});
        else
            hina();
        in.ssPrint = c.ssPrint;
        ASSERT_TRUE(draw().ok());

        QList<PrevOp> band;
        for (const PrevOp &op : ops(QStringLiteral("DrawRect")))
            if (op.arg("Top") == 290 && op.arg("Bottom") == 340)
                band << op;
        ASSERT_EQ(band.size(), 1);
        EXPECT_EQ(band[0].arg("Left"), c.rectL);
        EXPECT_EQ(band[0].arg("Right"), c.rectR);

        const PrevOp caption = one(QStringLiteral("高　　砂"));
        EXPECT_EQ(caption.op, QStringLiteral("TextInRectMiddle"));
        EXPECT_EQ(caption.arg("Left"), 594);
        EXPECT_EQ(caption.arg("Right"), 2376);
        EXPECT_EQ(caption.font.height, 35); // NameFont 50, capped

        // The couple: bold, centred by their regular width; 新郎/新婦 on the second title line.
        const struct {
            QString name, role;
            int col;
        } couple[] = {{QStringLiteral("山田 太郎"), QStringLiteral("新郎"), 1252},
                      {QStringLiteral("佐藤 花子"), QStringLiteral("新婦"), 1474}};
        for (const auto &p : couple) {
            const PrevOp n = one(p.name);
            EXPECT_TRUE(n.font.bold());
            EXPECT_EQ(n.font.height, 50);
            const int x = p.col + (222 - width(n.font, p.name, 0)) / 2;
            EXPECT_EQ(n.arg("X"), x);
            EXPECT_EQ(n.arg("Y"), 204);
            const QList<PrevOp> role = withText(p.role);
            if (c.ssPrint) {
                EXPECT_TRUE(role.isEmpty());
            } else {
                ASSERT_EQ(role.size(), 1);
                EXPECT_EQ(role[0].arg("X"), x);
                EXPECT_EQ(role[0].arg("Y"), 167);
                EXPECT_EQ(role[0].font.height, 25);
                EXPECT_FALSE(role[0].font.bold());
            }
        }
        if (c.outerEmpty)
            continue;
        // Person 1 is centred by the name alone, person 2 with the honorific.
        const PrevOp p1 = one(QStringLiteral("高木 正人 様"));
        EXPECT_EQ(p1.arg("X"), 594 + (329 - width(p1.font, QStringLiteral("高木 正人"))) / 2);
        EXPECT_EQ(p1.arg("Y"), 204);
        EXPECT_FALSE(p1.font.bold());
        const PrevOp kata11 = one(QStringLiteral("媒酌人"));
        EXPECT_EQ(kata11.arg("X"), p1.arg("X"));
        EXPECT_EQ(kata11.arg("Y"), 130);
        const PrevOp p2 = one(QStringLiteral("高木 礼子 様"));
        EXPECT_EQ(p2.arg("X"), 923 + (329 - width(p2.font, p2.text)) / 2);
        // A blank honorific adds nothing.
        const PrevOp p4 = one(QStringLiteral("﨑山 恵子"));
        EXPECT_EQ(p4.arg("X"), 2025 + (329 - width(p4.font, p4.text)) / 2);

        const PrevOp end = one(QStringLiteral("末尾の文"));
        EXPECT_EQ(end.op, QStringLiteral("TextRightBottom"));
        EXPECT_EQ(end.arg("X"), 42 + 2885 - 5);
        EXPECT_EQ(end.arg("Y"), 2100 - 42 - 5);
        EXPECT_EQ(end.font.height, 30);
    }
}

TEST_F(ChartRun, WithoutHeadTableRowOrCaption)
{
    reception();
    table(1, 1, 9);
    ASSERT_TRUE(draw().ok());
    EXPECT_EQ(withText(QStringLiteral("高　　砂")).size(), 1);
    for (const PrevOp &op : ops(QStringLiteral("DrawRect")))
        EXPECT_NE(op.arg("Top"), 290);
    EXPECT_TRUE(withText(QStringLiteral("新郎")).isEmpty());
    EXPECT_EQ(withText(QStringLiteral("末尾の文")).size(), 1);

    in.takasago = QStringLiteral("  ");
    ASSERT_TRUE(draw().ok());
    EXPECT_TRUE(ops(QStringLiteral("TextInRectMiddle")).isEmpty());
}

TEST_F(ChartRun, StopsBeforeTheDocument)
{
    // No reception.
    ChartResult r = draw();
    EXPECT_EQ(r.status, ChartStatus::NoReception);
    EXPECT_EQ(r.message, QStringLiteral("データ不整合が発生しました。\r\n処理を終了します。"));
    EXPECT_FALSE(wb.valid);
    EXPECT_EQ(doc.pageCount(), 0);

    // Tier counts outside 1..5.
    for (int rows : {0, 6, -1}) {
        exec(QStringLiteral("DELETE FROM D_HED"));
        reception({{"SEKIROW", rows}});
        r = draw();
        EXPECT_EQ(r.status, ChartStatus::Stopped) << rows;
        EXPECT_TRUE(r.message.contains(QStringLiteral("段数"))) << r.message.toStdString();
        EXPECT_EQ(doc.pageCount(), 0);
    }

    // A printer without device values.
    exec(QStringLiteral("DELETE FROM D_HED"));
    reception();
    printer.setDeviceValuesOverride(DeviceValues{});
    r = draw();
    EXPECT_EQ(r.status, ChartStatus::Stopped);
    EXPECT_TRUE(r.message.contains(QStringLiteral("プリンタ")));
    EXPECT_EQ(doc.pageCount(), 0);

    // A database that cannot be read.
    printer.setDeviceValuesOverride(kA4Land600);
    dm.Close();
    r = draw();
    EXPECT_EQ(r.status, ChartStatus::Failed);
    EXPECT_FALSE(r.message.isEmpty());
    EXPECT_EQ(doc.pageCount(), 0);
}

TEST_F(ChartRun, PrintChartMessagesAndPreview)
{
    int previews = 0;
    QString caption;
    scripted().onPreview = [&](TplPrev &, TplSetPrinter *, const QString &c) {
        ++previews;
        caption = c;
    };
    ChartResult r = PrintChart(in, doc, printer, &wb);
    EXPECT_EQ(r.status, ChartStatus::NoReception);
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")),
              QStringList{QStringLiteral("データ不整合が発生しました。\r\n処理を終了します。")});
    EXPECT_EQ(previews, 0);

    // An unreadable table picture: the document is closed, the error shown, no preview.
    const QString bad = dataFolder() + QStringLiteral("broken.png");
    QFile f(bad);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("not a picture");
    f.close();
    reception({{"TBLPTN", 2}, {"TBLPATH", bad}});
    table(1, 1, 9);
    scripted().clear();
    scripted().onPreview = [&](TplPrev &, TplSetPrinter *, const QString &) { ++previews; };
    r = PrintChart(in, doc, printer, &wb);
    EXPECT_EQ(r.status, ChartStatus::Failed);
    EXPECT_FALSE(doc.inDocument());
    EXPECT_EQ(doc.pageCount(), 1);
    EXPECT_EQ(scripted().texts(QStringLiteral("error")), QStringList{r.message});
    EXPECT_EQ(previews, 0);

    // Readable again: the preview opens with its caption.
    exec(QStringLiteral("UPDATE D_HED SET TBLPTN = 0"));
    scripted().clear();
    scripted().onPreview = [&](TplPrev &, TplSetPrinter *, const QString &c) {
        ++previews;
        caption = c;
    };
    r = PrintChart(in, doc, printer, &wb);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(previews, 1);
    EXPECT_EQ(caption, QStringLiteral("席辞表印刷"));
    EXPECT_TRUE(scripted().texts(QStringLiteral("error")).isEmpty());
}

TEST_F(ChartRun, BackgroundPicture)
{
    const QString bk = dataFolder() + QStringLiteral("back.png");
    QImage img(16, 16, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(bk));
    struct Case {
        int opt2;
        std::vector<int> args;
    } cases[] = {{0, {42, 2927, 42, 2057}}, {1, {0, 2970, 0, 2100}}};
    for (const Case &c : cases) {
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        reception({{"BKPATH", bk}, {"OPT2", c.opt2}});
        table(1, 1, 9);
        in.pict = 1 - c.opt2; // the stored fit wins
        ASSERT_TRUE(draw().ok());
        ASSERT_FALSE(page().isEmpty());
        const PrevOp first = page().first(); // drawn first, under everything
        ASSERT_EQ(first.op, QStringLiteral("DrawPicture"));
        std::vector<int> got;
        for (const auto &a : first.args)
            got.push_back(a.second);
        EXPECT_EQ(got, c.args);
        EXPECT_EQ(ops(QStringLiteral("DrawPicture")).size(), 1);
    }

    // Deleted after registration: no background, no message.
    ASSERT_TRUE(QFile::remove(bk));
    ASSERT_TRUE(draw().ok());
    EXPECT_TRUE(ops(QStringLiteral("DrawPicture")).isEmpty());
    EXPECT_TRUE(scripted().all().isEmpty());
}

TEST_F(ChartRun, StoredOptionsAreWrittenBackAndUsed)
{
    reception({{"OPT1", 1}, {"OPT2", 1}, {"ENDSTR", "ご来場ありがとうございました"}});
    table(1, 1, 9);
    guest(1, 1, 0, 1, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("山田 太郎"), QStringLiteral("様"));
    in.layout = 0;
    in.pict = 0;
    in.endStr = QStringLiteral("入力中の文");
    ASSERT_TRUE(draw().ok());
    EXPECT_TRUE(wb.valid);
    EXPECT_EQ(wb.opt1, 1);
    EXPECT_EQ(wb.opt2, 1);
    EXPECT_EQ(wb.endStr, QStringLiteral("ご来場ありがとうございました"));
    EXPECT_EQ(withText(QStringLiteral("ご来場ありがとうございました")).size(), 1);
    EXPECT_TRUE(withText(QStringLiteral("入力中の文")).isEmpty());
    // Spread: one attendee, pitch 1428: 477 + Trunc((1623 - 1428) / 2).
    EXPECT_EQ(one(QStringLiteral("山田 太郎")).arg("Top"), 477 + 97 + 62);
}

TEST_F(ChartRun, SlotIndexesOutsideTheArrayAreIgnored)
{
    reception({{"OPT1", 1}});
    table(1, 1, 9, QStringLiteral("松"));
    insert(QStringLiteral("D_TABPOS"), {{"KANRINO", 1}, {"TBLROW", 1}, {"TBLCOL", 9}, {"TBLPOS", 3}});
    insert(QStringLiteral("D_TABPOS"), {{"KANRINO", 1}, {"TBLROW", 6}, {"TBLCOL", 1}, {"TBLPOS", 3}});
    insert(QStringLiteral("D_TABNM"), {{"KANRINO", 1}, {"TBLROW", 0}, {"TBLCOL", 1}, {"TBLNM", "ながいなまえ"}});
    insert(QStringLiteral("D_TABNM"), {{"KANRINO", 1}, {"TBLROW", 1}, {"TBLCOL", 6}, {"TBLNM", "範囲外"}});
    guest(1, 1, 0, 1, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("山田 太郎"), QStringLiteral("様"));
    for (int i = 0; i < 10; ++i)
        guest(6, 1, 0, i + 1, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("段外"), QStringLiteral("様"));
    guest(1, 7, 1, 1, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("列外"), QStringLiteral("様"));
    guest(1, 1, 2, 1, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("側外"), QStringLiteral("様"));
    guest(1, -1, 0, 1, QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("負数"), QStringLiteral("様"));

    ASSERT_TRUE(draw().ok());
    EXPECT_EQ(ops(QStringLiteral("DrawCircle")).size(), 1);
    EXPECT_EQ(one(QStringLiteral("松")).font.height, 50); // the long names outside were not samples
    for (const char *outside : {"段外", "列外", "側外", "負数", "範囲外", "ながいなまえ"})
        EXPECT_TRUE(withText(QString::fromUtf8(outside)).isEmpty()) << outside;
    // MaxSide stayed 1, so the one attendee is spread by the full band.
    EXPECT_EQ(one(QStringLiteral("山田 太郎")).arg("Top"), 477 + 97 + 62);
}

TEST_F(ChartRun, TableNameFontFollowsTheLongestName)
{
    struct Case {
        std::vector<QString> names;
        int tblfsz, height;
    } cases[] = {
        {{QStringLiteral("A"), QStringLiteral("B")}, 0, 50}, // sample stays " "
        {{QStringLiteral("松竹"), QStringLiteral("梅")}, 0, 40},
        {{QStringLiteral("松竹梅"), QStringLiteral("A")}, 0, 30},
        {{QStringLiteral("ABCDEFG"), QStringLiteral("梅")}, 0, 24},
        {{QStringLiteral("梅"), QStringLiteral("桜")}, -24, 26},
    };
    for (const Case &c : cases) {
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        exec(QStringLiteral("DELETE FROM D_TABNM"));
        reception({{"SEKICOL1", 2}});
        table(1, 1, 5, c.names[0]);
        table(1, 2, 14, c.names[1]);
        in.tblfsz = c.tblfsz;
        ASSERT_TRUE(draw().ok());
        const QList<PrevOp> names = ops(QStringLiteral("TextCenterMiddle"));
        ASSERT_EQ(names.size(), 2);
        for (const PrevOp &op : names)
            EXPECT_EQ(op.font.height, c.height) << op.text.toStdString();
    }
}

TEST_F(ChartRun, NamesAreDrawnAsStored)
{
    reception({{"SEKICOL1", 1}});
    table(1, 1, 9);
    const QStringList names = {QStringLiteral("𠮷田 健一"), QStringLiteral("髙橋 﨑子"), QStringLiteral("John O'Brien"),
                               QStringLiteral(" 山田 一 ")};
    int sort = 1;
    for (const QString &n : names)
        guest(1, 1, 0, sort++, QStringLiteral("  株式会社"), QStringLiteral("部長 "), n, QStringLiteral("様"));
    ASSERT_TRUE(draw().ok());
    for (const QString &n : names)
        EXPECT_EQ(one(n).op, QStringLiteral("TextInRectLeft")) << n.toStdString();
    EXPECT_EQ(withText(QStringLiteral("  株式会社")).size(), 4);
    EXPECT_EQ(withText(QStringLiteral("部長 ")).size(), 4);

    // 𠮷 prints as itself, not as 吉 and not as an empty cell.
    auto render = [](const QString &text) {
        TplPrev d;
        d.setPageFrame(PageFrame{200, 100, 200, 100, 0, 0, 0, 200});
        d.BeginDoc();
        d.SetFontName(QStringLiteral("ＭＳ Ｐ明朝"));
        d.SetFontHeight(80);
        d.TextLeftTop(10, 10, text);
        d.EndDoc();
        return d.renderImage(0, 300);
    };
    const QImage tsuchi = render(QStringLiteral("𠮷"));
    const QImage samurai = render(QStringLiteral("吉"));
    const QImage empty = render(QString());
    ASSERT_FALSE(tsuchi.isNull());
    EXPECT_NE(tsuchi, samurai);
    EXPECT_NE(tsuchi, empty);
}
