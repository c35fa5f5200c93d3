#include "FrmPrnMenberU.h"
#include "TNumberEdit.h"
#include "TestEnv.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
QString asked(const char *kind, const QString &text) { return QLatin1String(kind) + QStringLiteral(": ") + text; }

DeviceValues a4at600() { return fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Portrait, 600); }

// One attendee line as drawn: the seven cells' texts, and the line's top.
struct Line
{
    QStringList cells;
    int top = 0;
};

// Groups the TextInRectLeft cells of a page into lines by their top edge.
QList<Line> linesOf(const QList<PrevOp> &page)
{
    QList<Line> lines;
    for (const PrevOp &op : page) {
        if (op.op != QStringLiteral("TextInRectLeft"))
            continue;
        if (lines.isEmpty() || lines.last().top != op.arg(QStringLiteral("Top")))
            lines.append(Line{{}, op.arg(QStringLiteral("Top"))});
        lines.last().cells.append(QString::number(op.arg(QStringLiteral("Left"))) + QLatin1Char('=') + op.text);
    }
    return lines;
}

QStringList headerTexts(const QList<PrevOp> &page)
{
    QStringList texts;
    for (const PrevOp &op : page)
        if (op.op == QStringLiteral("TextLeftTop") || op.op == QStringLiteral("TextLeftBottom"))
            texts.append(op.text);
    return texts;
}
} // namespace

class PrnMenberTest : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
        form = std::make_unique<TFrmPrnMenber>();
        form->plSetPrinter1.setDeviceValuesOverride(a4at600());
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM, SEKIROW, SEKICOL1, SEKICOL2) VALUES (12, '田中家・高橋家', 2, 2, 1)"));
    }
    void TearDown() override
    {
        form.reset();
        KivoraTest::TearDown();
    }

    void addAttendee(int no, int row, int col, int rl, int sort, const QString &name, const QString &kata1 = QStringLiteral(" "))
    {
        exec(QStringLiteral("INSERT INTO D_TABLE (KANRINO, KJNNO, TBLROW, TBLCOL, TBLRL, SORTNO, KATA1, KATA2, NAME, KEISHO)"
                            " VALUES (12, %1, %2, %3, %4, %5, '%6', '二行目', '%7', '様')")
                 .arg(no).arg(row).arg(col).arg(rl).arg(sort).arg(kata1, name));
    }

    void set(int n)
    {
        form->nedtKanriNo->setValue(n);
        QTest::mouseClick(form->bbtnSet, Qt::LeftButton);
    }

    std::unique_ptr<TFrmPrnMenber> form;
};

TEST_F(PrnMenberTest, ReceptionWithoutAttendeesIsRefused)
{
    set(12);
    EXPECT_EQ(scripted().all(), QStringList{asked("warning", QStringLiteral("出席者が登録されていません。"))});
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(QApplication::focusWidget(), form->nedtKanriNo);
}

TEST_F(PrnMenberTest, ListsUnseatedFirstThenBySeatWithoutHonorifics)
{
    exec(QStringLiteral("INSERT INTO D_TABNM (KANRINO, TBLROW, TBLCOL, TBLNM) VALUES (12, 1, 1, '松')"));
    addAttendee(1, 1, 1, 1, 1, QStringLiteral("右の人"));
    addAttendee(2, 1, 1, 0, 2, QStringLiteral("左の二番"), QStringLiteral("上司"));
    addAttendee(3, 0, 0, 0, 0, QStringLiteral("未着席"));
    addAttendee(4, 1, 1, 0, 1, QStringLiteral("左の一番"));
    addAttendee(5, 2, 1, 0, 1, QStringLiteral("名無し卓"));
    // Imported rows carry no seat at all and count as unseated.
    exec(QStringLiteral("INSERT INTO D_TABLE (KANRINO, KJNNO, KATA1, KATA2, NAME, KEISHO) VALUES (12, 6, ' ', ' ', '取込', '様')"));
    set(12);
    ASSERT_FALSE(form->isHeaderState());
    EXPECT_EQ(QApplication::focusWidget(), form->bbtnExecute); // Enter prints next

    int pages = -1;
    QList<PrevOp> page;
    QString caption;
    scripted().onPreview = [&](TplPrev &doc, TplSetPrinter *, const QString &c) {
        pages = doc.pageCount();
        page = doc.page(0);
        caption = c;
    };
    scripted().answers = {true};
    QTest::mouseClick(form->bbtnExecute, Qt::LeftButton);

    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{QStringLiteral("印刷します。\r\nよろしいですか？")});
    EXPECT_EQ(caption, QStringLiteral("出席者一覧表"));
    ASSERT_EQ(pages, 1);
    EXPECT_EQ(headerTexts(page), (QStringList{QStringLiteral("[12] 田中家・高橋家"), QStringLiteral("テーブル"), QStringLiteral("段"),
                                              QStringLiteral("列"), QStringLiteral("名　前"), QStringLiteral("肩書き1"),
                                              QStringLiteral("肩書き2")}));
    const QList<Line> lines = linesOf(page);
    ASSERT_EQ(lines.size(), 6);
    // The two unseated rows come first, in the database's order.
    QStringList unseatedNames{lines[0].cells.value(1), lines[1].cells.value(1)};
    unseatedNames.sort();
    EXPECT_EQ(unseatedNames, (QStringList{QStringLiteral("650=取込"), QStringLiteral("650=未着席")}));
    EXPECT_EQ(lines[0].cells.value(0), QStringLiteral("150=未割"));
    EXPECT_EQ(lines[0].cells.size(), 4); // no tier, column or side
    EXPECT_EQ(lines[2].cells, (QStringList{QStringLiteral("150=松"), QStringLiteral("350=1"), QStringLiteral("450=1"), QStringLiteral("550=左"),
                                           QStringLiteral("650=左の一番"), QStringLiteral("1150= "), QStringLiteral("1550=二行目")}));
    EXPECT_EQ(lines[3].cells.value(4), QStringLiteral("650=左の二番"));
    EXPECT_EQ(lines[3].cells.value(5), QStringLiteral("1150=上司"));
    EXPECT_EQ(lines[4].cells.value(3), QStringLiteral("550=右"));
    EXPECT_EQ(lines[5].cells.mid(0, 5), (QStringList{QStringLiteral("150="), QStringLiteral("350=2"), QStringLiteral("450=1"),
                                                    QStringLiteral("550=左"), QStringLiteral("650=名無し卓")}));
    EXPECT_EQ(lines[0].top, 255);
    EXPECT_EQ(lines[5].top, 255 + 5 * 45);
    for (const PrevOp &op : page)
        EXPECT_FALSE(op.text.contains(QStringLiteral("様"))) << op.op.toStdString();

    // Back to the header after the preview.
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(QApplication::focusWidget(), form->nedtKanriNo);
}

TEST_F(PrnMenberTest, FiftySevenLinesFillAnA4Page)
{
    for (int count : {57, 58}) {
        SCOPED_TRACE(count);
        exec(QStringLiteral("DELETE FROM D_TABLE"));
        for (int i = 1; i <= count; ++i)
            addAttendee(i, 1, 1, 0, i, QStringLiteral("出席者%1").arg(i));
        set(12);
        QList<QList<PrevOp>> pages;
        scripted().onPreview = [&](TplPrev &doc, TplSetPrinter *, const QString &) {
            for (int p = 0; p < doc.pageCount(); ++p)
                pages.append(doc.page(p));
        };
        scripted().answers = {true};
        QTest::mouseClick(form->bbtnExecute, Qt::LeftButton);
        ASSERT_EQ(pages.size(), count == 57 ? 1 : 2);
        const QList<Line> first = linesOf(pages[0]);
        ASSERT_EQ(first.size(), 57);
        EXPECT_EQ(first.last().top, 2775);
        if (count == 58) {
            EXPECT_EQ(headerTexts(pages[1]), headerTexts(pages[0])); // title and headings repeat
            const QList<Line> second = linesOf(pages[1]);
            ASSERT_EQ(second.size(), 1);
            EXPECT_EQ(second[0].top, 255);
            EXPECT_EQ(second[0].cells.value(4), QStringLiteral("650=出席者58"));
        }
    }
}

TEST(PrnMenberRules, PageBreakHonoursPrintableAreaAndPaperEdge)
{
    // A4 at 600 dpi, printable to the edge: paper 2970, so lines end by 2820.
    DeviceValues dv{600, 600, 4961, 7016, 4961, 7016, 0, 7016, 0, 4961};
    EXPECT_FALSE(TFrmPrnMenber::needsNewPage(2775, dv));
    EXPECT_TRUE(TFrmPrnMenber::needsNewPage(2776, dv));
    dv[7] = 6000; // printable area ends at 254.0 mm
    EXPECT_FALSE(TFrmPrnMenber::needsNewPage(2540 - 45, dv));
    EXPECT_TRUE(TFrmPrnMenber::needsNewPage(2540 - 44, dv));
}

TEST_F(PrnMenberTest, NoToThePrintQuestionShowsNothing)
{
    addAttendee(1, 0, 0, 0, 0, QStringLiteral("一人"));
    set(12);
    bool previewed = false;
    scripted().onPreview = [&](TplPrev &, TplSetPrinter *, const QString &) { previewed = true; };
    scripted().answers = {false};
    QTest::mouseClick(form->bbtnExecute, Qt::LeftButton);
    EXPECT_FALSE(previewed);
    EXPECT_FALSE(form->isHeaderState());
}

TEST_F(PrnMenberTest, CloseQuestionDependsOnTheState)
{
    addAttendee(1, 0, 0, 0, 0, QStringLiteral("一人"));
    scripted().answers = {false};
    QTest::mouseClick(form->bbtnClose, Qt::LeftButton);
    set(12);
    scripted().answers = {false};
    QTest::mouseClick(form->bbtnClose, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("question")),
              (QStringList{QStringLiteral("終了しますか？"), QStringLiteral("印刷されていません。\r\n終了しますか？")}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("出席者一覧表"));
    EXPECT_EQ(form->statusTitle(), QStringLiteral("出席者一覧"));
    EXPECT_EQ(form->pnlSeki()->objectName(), QStringLiteral("pnlSeki"));
}
