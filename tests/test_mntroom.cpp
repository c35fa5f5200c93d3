// Reception registration: new and existing receptions, layout trimming,
// pictures, printer settings, delete, and writes that fail half-way.
#include "TestEnv.h"

#include "FrmMntRoomU.h"
#include "FrmSrcKanriU.h"
#include "TFontNameComboBox.h"
#include "TNumberEdit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <set>

namespace {

const QString AskUpdate = QStringLiteral("更新します。\n\rよろしいですか？");
const QString AskDelete = QStringLiteral("削除します。\n\rよろしいですか？");
const QString AskBlankName = QStringLiteral("管理名称が入力されていません。\n\rよろしいですか？");
const QString CloseInput = QStringLiteral("現在更新中のデータは保存されません。\r\n終了しますか？");
const QString DoneNew = QStringLiteral("正常に更新されました。");
const QString DoneExisting = QStringLiteral(
    "正常に更新されました。\r\n段数、列数を変更した場合は必ずテーブル位置設定の更新を行ってください。");

class MntRoomTest : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
    }

    std::unique_ptr<TFrmMntRoom> openForm()
    {
        auto form = std::make_unique<TFrmMntRoom>();
        form->show();
        return form;
    }

    // Types the number (and the name), presses " 設 定 ".
    void setNumber(TFrmMntRoom &form, int n, const QString &name = QString())
    {
        form.nedtKanriNo->setValue(n);
        form.nedtKanriNoExit();
        if (!name.isNull())
            form.edtKanriNm->setText(name);
        QTest::mouseClick(form.bbtnSet, Qt::LeftButton);
    }

    void pressUpdate(TFrmMntRoom &form)
    {
        scripted().answers.push_back(true);
        QTest::mouseClick(form.bbtnExecute, Qt::LeftButton);
    }

    // An existing reception with `tiers` tiers of the given table counts;
    // every slot of the layout has two attendees, a name and a position.
    void seedReception(int n, const std::vector<int> &cols, bool fill = true)
    {
        QStringList c;
        for (int t = 0; t < 5; ++t)
            c << QString::number(t < int(cols.size()) ? cols[size_t(t)] : 0);
        exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM, SINROSEI, SINPUSEI, ENTITLE, HDATE, SEKIROW,"
                            " SEKICOL1, SEKICOL2, SEKICOL3, SEKICOL4, SEKICOL5, TLONG, BKPATH, TBLPTN, TBLPATH,"
                            " PRNFONT, ENDSTR, OPT1, OPT2, DATEOUT, SIKIJO1, SIKIJO2, ENSZ, HINASZ, SEKISZ, KATASZ,"
                            " LPOS, RPOS, ALLTPOS, TBLSZ, TBLFSZ, KEISZ, SIKISZ) VALUES (%1, ' 佐藤家 ', ' 佐藤 ',"
                            " '鈴木', '御結婚披露宴', '2027-05-03', %2, %3, 0, NULL, 0, NULL, 'IPAPMincho', '末尾', 1, 1, 0,"
                            " '式場', ' ', 3, 2, 1, -1, 5, -5, 7, 12, 4, 1, -3)")
                 .arg(n)
                 .arg(cols.size())
                 .arg(c.join(QLatin1Char(','))));
        exec(QStringLiteral("INSERT INTO D_HINA (KANRINO, SINRONM, SINPUNM) VALUES (%1, '太郎', '花子')").arg(n));
        if (!fill)
            return;
        int kjn = 1;
        for (int t = 1; t <= int(cols.size()); ++t) {
            for (int col = 1; col <= cols[size_t(t - 1)]; ++col) {
                for (int side = 0; side < 2; ++side)
                    exec(QStringLiteral("INSERT INTO D_TABLE VALUES (%1, %2, %3, %4, %5, 1, ' ', ' ', '客%2', '様')")
                             .arg(n).arg(kjn++).arg(t).arg(col).arg(side));
                exec(QStringLiteral("INSERT INTO D_TABNM VALUES (%1, %2, %3, 'T%2%3')").arg(n).arg(t).arg(col));
                exec(QStringLiteral("INSERT INTO D_TABPOS VALUES (%1, %2, %3, %4)").arg(n).arg(t).arg(col).arg(col * 3));
            }
        }
    }

    // Slots "row-col" of a table's rows for reception n, in order.
    QString slotList(const QString &table, int n, const QString &extra = QString())
    {
        return scalar(QStringLiteral("SELECT group_concat(s, ' ') FROM (SELECT DISTINCT TBLROW || '-' || TBLCOL AS s"
                                     " FROM %1 WHERE KANRINO = %2 %3 ORDER BY s)")
                          .arg(table)
                          .arg(n)
                          .arg(extra))
            .toString();
    }

    QVariant hed(int n, const QString &column)
    {
        return scalar(QStringLiteral("SELECT %1 FROM D_HED WHERE KANRINO = %2").arg(column).arg(n));
    }

    int rows(const QString &table, int n)
    {
        return scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE KANRINO = %2").arg(table).arg(n)).toInt();
    }
};

std::vector<int> tableCounts(const TFrmMntRoom &form)
{
    std::vector<int> v;
    for (int t = 0; t < 5; ++t)
        v.push_back(form.cmbCol[size_t(t)]->currentIndex() + 1);
    return v;
}

std::vector<bool> tiersShown(const TFrmMntRoom &form)
{
    std::vector<bool> v;
    for (int t = 0; t < 5; ++t)
        v.push_back(!form.cmbCol[size_t(t)]->isHidden() && !form.lblDan[size_t(t)]->isHidden());
    return v;
}

} // namespace

TEST_F(MntRoomTest, NewReceptionStartsFromDefaultsAndInsertsEveryColumn)
{
    exec(QStringLiteral("UPDATE M_SYSTEM SET NUM1 = 7, NUM2 = 2, STR1 = '本日はありがとうございました',"
                        " STR2 = '/pics/table.png', STR3 = '/pics/back.jpg' WHERE CD = 1"));
    auto form = openForm();
    EXPECT_EQ(form->statusTitle(), QStringLiteral("席次表基本設定"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("キボラ"));
    EXPECT_TRUE(form->bbtnSet->isVisible());
    EXPECT_FALSE(form->bbtnDelete->isVisible());
    EXPECT_FALSE(form->pnlUpdKbn->isVisible());
    EXPECT_EQ(form->closeQuestion(), QStringLiteral("終了しますか？"));

    setNumber(*form, 12, QStringLiteral("山田・佐藤家"));
    ASSERT_FALSE(form->isHeaderState());
    EXPECT_TRUE(form->pnlUpdKbn->isVisible());
    EXPECT_EQ(form->pnlUpdKbn->text(), QStringLiteral("登録"));
    EXPECT_TRUE(form->IsNewReception);
    EXPECT_EQ(form->cmbRow->currentIndex(), 2);
    EXPECT_EQ(tableCounts(*form), (std::vector<int>{4, 3, 4, 0, 0}));
    EXPECT_EQ(tiersShown(*form), (std::vector<bool>{true, true, true, false, false}));
    EXPECT_EQ(form->edtTitle->text(), QStringLiteral("御結婚披露宴"));
    EXPECT_TRUE(form->edtSinro->text().isEmpty());
    EXPECT_TRUE(form->chkDateOut->isChecked());
    EXPECT_EQ(form->tableShape(), 2);
    EXPECT_TRUE(form->spbTable->isEnabled());
    EXPECT_EQ(form->lblTable->text(), QStringLiteral("/pics/table.png"));
    EXPECT_EQ(form->lblWPaper->text(), QStringLiteral("/pics/back.jpg"));
    EXPECT_EQ(form->cmbFont->fontName(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_EQ(form->dtpHDate->date(), QDate::currentDate());
    EXPECT_TRUE(form->bbtnDelete->isVisible());
    EXPECT_FALSE(form->bbtnSet->isVisible());
    EXPECT_EQ(form->focusWidget(), form->edtSinro);
    EXPECT_EQ(form->closeQuestion(), CloseInput);

    form->dtpHDate->setDate(QDate(2027, 11, 3));
    pressUpdate(*form);
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{AskUpdate});
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList{DoneNew});

    EXPECT_EQ(hed(12, QStringLiteral("KANRINM")).toString(), QStringLiteral("山田・佐藤家"));
    EXPECT_TRUE(hed(12, QStringLiteral("SINROSEI")).isNull());
    EXPECT_TRUE(hed(12, QStringLiteral("SINPUSEI")).isNull());
    EXPECT_EQ(hed(12, QStringLiteral("ENTITLE")).toString(), QStringLiteral("御結婚披露宴"));
    EXPECT_EQ(hed(12, QStringLiteral("HDATE")).toString(), QStringLiteral("2027-11-03"));
    EXPECT_EQ(hed(12, QStringLiteral("SEKIROW || ',' || SEKICOL1 || SEKICOL2 || SEKICOL3 || SEKICOL4 || SEKICOL5"))
                  .toString(),
              QStringLiteral("3,43400"));
    EXPECT_EQ(hed(12, QStringLiteral("TLONG")).toInt(), 0);
    EXPECT_EQ(hed(12, QStringLiteral("DATEOUT")).toInt(), 1);
    EXPECT_EQ(hed(12, QStringLiteral("TBLPTN")).toInt(), 2);
    EXPECT_EQ(hed(12, QStringLiteral("TBLPATH")).toString(), QStringLiteral("/pics/table.png"));
    EXPECT_EQ(hed(12, QStringLiteral("BKPATH")).toString(), QStringLiteral("/pics/back.jpg"));
    EXPECT_TRUE(hed(12, QStringLiteral("PLPATH")).isNull());
    EXPECT_EQ(hed(12, QStringLiteral("PRNFONT")).toString(), QStringLiteral("ＭＳ Ｐ明朝"));
    EXPECT_EQ(hed(12, QStringLiteral("ENDSTR")).toString(), QStringLiteral("本日はありがとうございました"));
    EXPECT_TRUE(hed(12, QStringLiteral("SIKIJO1")).isNull());
    EXPECT_TRUE(hed(12, QStringLiteral("SIKIJO2")).isNull());
    EXPECT_EQ(hed(12, QStringLiteral("TBLSZ")).toInt(), 10);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_HED WHERE KANRINO = 12 AND OPT1 = 0 AND OPT2 = 0"
                                    " AND ENSZ = 0 AND HINASZ = 0 AND SEKISZ = 0 AND KATASZ = 0 AND LPOS = 0"
                                    " AND RPOS = 0 AND ALLTPOS = 0 AND TBLFSZ = 0 AND KEISZ = 0 AND SIKISZ = 0"))
                  .toInt(),
              1);
    // Registration creates no other row.
    EXPECT_EQ(rows(QStringLiteral("D_HINA"), 12), 0);
    EXPECT_TRUE(QFile::exists(dataFolder() + QStringLiteral("PlPrint12.plv")));

    // Back in the header state with the number cleared.
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(form->nedtKanriNo->value(), 0);
    EXPECT_TRUE(form->edtKanriNm->text().isEmpty());
    EXPECT_FALSE(form->pnlUpdKbn->isVisible());
    EXPECT_TRUE(form->lblTable->text().isEmpty());
    EXPECT_EQ(form->cmbRow->currentIndex(), -1);
}

TEST_F(MntRoomTest, BlankNameAsksAndStoresNullWithEmptyClosingText)
{
    seedReception(3, {2}, false);
    auto form = openForm();
    // A registered number fills the name; an unregistered one leaves it.
    form->nedtKanriNo->setValue(3);
    form->nedtKanriNoExit();
    EXPECT_EQ(form->edtKanriNm->text(), QStringLiteral("佐藤家"));
    form->nedtKanriNo->setValue(4);
    form->nedtKanriNoExit();
    EXPECT_EQ(form->edtKanriNm->text(), QStringLiteral("佐藤家"));

    // Number 0 is refused.
    form->nedtKanriNo->setValue(0);
    QTest::mouseClick(form->bbtnSet, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")), QStringList{QStringLiteral("管理番号が入力されていません。")});
    EXPECT_TRUE(form->isHeaderState());

    scripted().clear();
    scripted().answers = {false};
    setNumber(*form, 8, QStringLiteral("  \t "));
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{AskBlankName});
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(form->focusWidget(), form->edtKanriNm);

    scripted().answers = {true};
    QTest::mouseClick(form->bbtnSet, Qt::LeftButton);
    ASSERT_FALSE(form->isHeaderState());

    // Cancel keeps number and name.
    scripted().answers = {true};
    QTest::mouseClick(form->bbtnCancel, Qt::LeftButton);
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(form->nedtKanriNo->value(), 8);
    EXPECT_EQ(form->edtKanriNm->text(), QStringLiteral("  \t "));

    scripted().answers = {true};
    QTest::mouseClick(form->bbtnSet, Qt::LeftButton);
    pressUpdate(*form);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_HED WHERE KANRINO = 8 AND KANRINM IS NULL")).toInt(), 1);
    // M_SYSTEM has no closing text: the new reception gets an empty one, not NULL.
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_HED WHERE KANRINO = 8 AND ENDSTR = ''")).toInt(), 1);
}

TEST(LayoutTrimRule, DropsWhatFallsOutsideTheNewLayout)
{
    using Counts = std::array<int, 5>;
    using Slots = std::set<std::pair<int, int>>;
    struct Case
    {
        const char *name;
        Counts loaded; // tables per tier when loaded, 0 beyond the tier count
        int tiers;
        Counts now;
        Slots seats;     // unseated attendees and deleted names
        Slots positions; // deleted positions
    };
    const auto tier = [](int row, int from, int to) {
        Slots s;
        for (int c = from; c <= to; ++c)
            s.insert({row, c});
        return s;
    };
    const auto join = [](std::initializer_list<Slots> parts) {
        Slots s;
        for (const Slots &p : parts)
            s.insert(p.begin(), p.end());
        return s;
    };
    const Case cases[] = {
        {"unchanged", {4, 3, 4, 0, 0}, 3, {4, 3, 4, 0, 0}, {}, {}},
        {"fewer tiers", {4, 3, 4, 0, 0}, 2, {4, 3, 4, 0, 0}, tier(3, 1, 4), tier(3, 1, 4)},
        {"fewer tables", {4, 4, 4, 0, 0}, 3, {4, 2, 4, 0, 0}, tier(2, 3, 4), tier(2, 3, 4)},
        {"more tables keep only table 1's position", {3, 3, 0, 0, 0}, 2, {4, 3, 0, 0, 0}, {}, tier(1, 2, 4)},
        {"long tables trim tiers 2 and 3", {4, 3, 4, 0, 0}, 1, {4, 3, 4, 0, 0},
         join({tier(2, 1, 3), tier(3, 1, 4)}), join({tier(2, 1, 3), tier(3, 1, 4)})},
        {"a new tier keeps only its first position", {4, 3, 0, 0, 0}, 3, {4, 3, 3, 0, 0}, {}, tier(3, 2, 3)},
        {"fewer tiers and tables, more tables in tier 1", {2, 5, 5, 5, 5}, 2, {5, 1, 5, 5, 5},
         join({tier(2, 2, 5), tier(3, 1, 5), tier(4, 1, 5), tier(5, 1, 5)}),
         join({tier(1, 2, 5), tier(2, 2, 5), tier(3, 1, 5), tier(4, 1, 5), tier(5, 1, 5)})},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const LayoutTrim trim = layoutTrim(c.loaded, c.tiers, c.now);
        // Every slot of the old or the new layout.
        Slots seats, positions;
        for (int row = 1; row <= 5; ++row) {
            const int last = std::max(c.loaded[size_t(row - 1)], row <= c.tiers ? c.now[size_t(row - 1)] : 0);
            for (int col = 1; col <= last; ++col) {
                if (trim.dropsSeat(row, col))
                    seats.insert({row, col});
                if (trim.dropsPosition(row, col))
                    positions.insert({row, col});
            }
        }
        EXPECT_EQ(seats, c.seats);
        EXPECT_EQ(positions, c.positions);
        // Attendees who are not seated are never touched.
        EXPECT_FALSE(trim.dropsSeat(0, 0));
    }
}

TEST_F(MntRoomTest, LayoutChangeUnseatsAndDropsNamesAndPositionsOutsideIt)
{
    seedReception(5, {4, 3, 4});
    seedReception(6, {4, 3, 4});
    auto form = openForm();
    setNumber(*form, 5);
    ASSERT_FALSE(form->isHeaderState());
    EXPECT_EQ(form->pnlUpdKbn->text(), QStringLiteral("修正"));
    EXPECT_EQ(form->edtKanriNm->text(), QStringLiteral("佐藤家"));
    EXPECT_EQ(form->edtSinro->text(), QStringLiteral("佐藤"));
    EXPECT_EQ(form->dtpHDate->date(), QDate(2027, 5, 3));
    EXPECT_EQ(form->cmbFont->fontName(), QStringLiteral("IPAPMincho"));
    EXPECT_EQ(tableCounts(*form), (std::vector<int>{4, 3, 4, 0, 0}));
    EXPECT_EQ(form->LoadedTableCounts, (std::array<int, 5>{3, 2, 3, -1, -1}));

    // A hidden tier keeps its choice for when it comes back.
    form->cmbRow->setCurrentIndex(1);
    EXPECT_EQ(tiersShown(*form), (std::vector<bool>{true, true, false, false, false}));
    form->cmbRow->setCurrentIndex(2);
    EXPECT_EQ(tableCounts(*form), (std::vector<int>{4, 3, 4, 0, 0}));

    // Two tiers; tier 1 gains a table, tier 2 loses one.
    form->cmbRow->setCurrentIndex(1);
    form->cmbCol[0]->setCurrentIndex(4);
    form->cmbCol[1]->setCurrentIndex(1);
    pressUpdate(*form);
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList{DoneExisting});

    EXPECT_EQ(slotList(QStringLiteral("D_TABLE"), 5, QStringLiteral("AND TBLROW > 0")),
              QStringLiteral("1-1 1-2 1-3 1-4 2-1 2-2"));
    // Unseated attendees are fully cleared.
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_TABLE WHERE KANRINO = 5 AND TBLROW = 0 AND TBLCOL = 0"
                                    " AND TBLRL = 0 AND SORTNO = 0"))
                  .toInt(),
              2 * (1 + 4));
    EXPECT_EQ(slotList(QStringLiteral("D_TABNM"), 5), QStringLiteral("1-1 1-2 1-3 1-4 2-1 2-2"));
    EXPECT_EQ(slotList(QStringLiteral("D_TABPOS"), 5), QStringLiteral("1-1 2-1 2-2"));
    // Columns of the print form keep their values.
    EXPECT_EQ(hed(5, QStringLiteral("TBLSZ")).toInt(), 12);
    EXPECT_EQ(hed(5, QStringLiteral("SIKIJO1")).toString(), QStringLiteral("式場"));
    EXPECT_EQ(hed(5, QStringLiteral("SEKIROW || ',' || SEKICOL1 || SEKICOL2 || SEKICOL3")).toString(),
              QStringLiteral("2,524"));
    // The other reception is untouched.
    EXPECT_EQ(slotList(QStringLiteral("D_TABPOS"), 6), QStringLiteral("1-1 1-2 1-3 1-4 2-1 2-2 2-3 3-1 3-2 3-3 3-4"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_TABLE WHERE KANRINO = 6 AND TBLROW = 0")).toInt(), 0);

}

TEST_F(MntRoomTest, LongTablesLockOneTierAndTrimTheOthers)
{
    seedReception(7, {4, 3, 4});
    auto form = openForm();
    setNumber(*form, 7);
    QTest::mouseClick(form->chkLong, Qt::LeftButton);
    EXPECT_TRUE(form->chkLong->isChecked());
    EXPECT_EQ(form->cmbRow->currentIndex(), 0);
    EXPECT_FALSE(form->cmbRow->isEnabled());
    EXPECT_EQ(tiersShown(*form), (std::vector<bool>{true, false, false, false, false}));
    QTest::mouseClick(form->chkLong, Qt::LeftButton);
    EXPECT_TRUE(form->cmbRow->isEnabled());
    EXPECT_EQ(form->cmbRow->currentIndex(), 0);
    QTest::mouseClick(form->chkLong, Qt::LeftButton);
    pressUpdate(*form);

    EXPECT_EQ(hed(7, QStringLiteral("TLONG")).toInt(), 1);
    EXPECT_EQ(hed(7, QStringLiteral("SEKIROW")).toInt(), 1);
    EXPECT_EQ(slotList(QStringLiteral("D_TABLE"), 7, QStringLiteral("AND TBLROW > 0")), QStringLiteral("1-1 1-2 1-3 1-4"));
    EXPECT_EQ(slotList(QStringLiteral("D_TABNM"), 7), QStringLiteral("1-1 1-2 1-3 1-4"));
    EXPECT_EQ(slotList(QStringLiteral("D_TABPOS"), 7), QStringLiteral("1-1 1-2 1-3 1-4"));

    // Opening it again shows the box checked and the tier list locked.
    setNumber(*form, 7);
    EXPECT_TRUE(form->chkLong->isChecked());
    EXPECT_FALSE(form->cmbRow->isEnabled());
    EXPECT_EQ(form->cmbRow->currentIndex(), 0);
}

TEST_F(MntRoomTest, PicturesAndTheirShapeRule)
{
    exec(QStringLiteral("UPDATE M_SYSTEM SET NUM2 = 0, STR2 = '/pics/ignored.png' WHERE CD = 1"));
    auto form = openForm();
    setNumber(*form, 9, QStringLiteral("画像"));
    // Table picture default only applies to the picture shape.
    EXPECT_EQ(form->tableShape(), 0);
    EXPECT_TRUE(form->lblTable->text().isEmpty());
    EXPECT_FALSE(form->spbTable->isEnabled());

    QTest::mouseClick(form->rdgTableItems[2], Qt::LeftButton);
    EXPECT_TRUE(form->spbTable->isEnabled());
    scripted().files = {QStringLiteral("/pics/round table.png"), QStringLiteral("/pics/back.bmp")};
    QTest::mouseClick(form->spbTable, Qt::LeftButton);
    QTest::mouseClick(form->spbWPaper, Qt::LeftButton);
    EXPECT_EQ(form->lblTable->text(), QStringLiteral("/pics/round table.png"));
    EXPECT_EQ(form->lblWPaper->text(), QStringLiteral("/pics/back.bmp"));
    const QStringList opened = scripted().texts(QStringLiteral("open"));
    ASSERT_EQ(opened.size(), 2);
    for (const char *kind : {"*.jpg", "*.bmp", "*.ico", "*.png", "*.gif"})
        EXPECT_TRUE(opened[0].contains(QLatin1String(kind))) << kind;
    // A cancelled dialog keeps the picture.
    QTest::mouseClick(form->spbWPaper, Qt::LeftButton);
    EXPECT_EQ(form->lblWPaper->text(), QStringLiteral("/pics/back.bmp"));

    // Square: the table picture goes, and does not come back with "画像".
    QTest::mouseClick(form->rdgTableItems[1], Qt::LeftButton);
    EXPECT_TRUE(form->lblTable->text().isEmpty());
    EXPECT_FALSE(form->spbTable->isEnabled());
    pressUpdate(*form);
    EXPECT_EQ(hed(9, QStringLiteral("TBLPTN")).toInt(), 1);
    EXPECT_TRUE(hed(9, QStringLiteral("TBLPATH")).isNull());
    EXPECT_EQ(hed(9, QStringLiteral("BKPATH")).toString(), QStringLiteral("/pics/back.bmp"));

    // Clearing the background stores NULL.
    setNumber(*form, 9);
    EXPECT_EQ(form->lblWPaper->text(), QStringLiteral("/pics/back.bmp"));
    QTest::mouseClick(form->spbClear, Qt::LeftButton);
    EXPECT_TRUE(form->lblWPaper->text().isEmpty());
    EXPECT_TRUE(form->wallPaperFile().isEmpty());
    pressUpdate(*form);
    EXPECT_TRUE(hed(9, QStringLiteral("BKPATH")).isNull());
}

TEST_F(MntRoomTest, PaperSizeFromDeviceValues)
{
    struct Case
    {
        const char *name;
        DeviceValues values;
        QString height, width;
    };
    const Case cases[] = {
        {"A4 600 dpi portrait", fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Portrait, 600),
         QStringLiteral("297"), QStringLiteral("210")},
        {"A4 600 dpi landscape", fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Landscape, 600),
         QStringLiteral("210"), QStringLiteral("297")},
        {"B4 300 dpi portrait", fullSheetDeviceValues(QPageSize(QPageSize::JisB4), QPageLayout::Portrait, 300),
         QStringLiteral("364"), QStringLiteral("257")},
        {"no printer", DeviceValues{}, QString(), QString()},
    };
    auto form = openForm();
    setNumber(*form, 1, QStringLiteral("用紙"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        form->plSetPrinter.setDeviceValuesOverride(c.values);
        form->ShowPaperSize();
        EXPECT_EQ(form->lblPHeight->text(), c.height);
        EXPECT_EQ(form->lblPWidth->text(), c.width);
    }
}

TEST_F(MntRoomTest, PrinterSettingsAreSavedAndRestored)
{
    auto form = openForm();
    setNumber(*form, 12, QStringLiteral("用紙"));
    // No settings file yet: landscape on the default paper.
    EXPECT_TRUE(form->plSetPrinter.IsLandscape());

    scripted().onPrinterSetup = [](PrinterSetupChoice &c) {
        c.paperName = QPageSize::name(QPageSize::A3);
        c.landscape = true;
        return true;
    };
    QTest::mouseClick(form->bbtnPaper, Qt::LeftButton);
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("297"));
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("420"));
    pressUpdate(*form);
    ASSERT_TRUE(QFile::exists(dataFolder() + QStringLiteral("PlPrint12.plv")));

    // A cancelled setup changes nothing.
    scripted().onPrinterSetup = [](PrinterSetupChoice &c) {
        c.paperName = QPageSize::name(QPageSize::A5);
        return false;
    };
    form->plSetPrinter.setPaperName(QPageSize::name(QPageSize::A4));
    setNumber(*form, 12);
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("297"));
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("420"));
    QTest::mouseClick(form->bbtnPaper, Qt::LeftButton);
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("420"));

    // Portrait A5 saved: reopening keeps paper and orientation.
    scripted().onPrinterSetup = [](PrinterSetupChoice &c) {
        c.paperName = QPageSize::name(QPageSize::A5);
        c.landscape = false;
        return true;
    };
    QTest::mouseClick(form->bbtnPaper, Qt::LeftButton);
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("210"));
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("148"));
    pressUpdate(*form);
    form->plSetPrinter.setPaperName(QPageSize::name(QPageSize::A4));
    setNumber(*form, 12);
    EXPECT_EQ(form->plSetPrinter.GetPaperName(), QPageSize::name(QPageSize::A5));
    EXPECT_FALSE(form->plSetPrinter.IsLandscape());
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("210"));
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("148"));

    // A settings file that cannot be written is reported; the reception
    // itself is saved all the same.
    ASSERT_TRUE(QDir().mkpath(dataFolder() + QStringLiteral("PlPrint14.plv")));
    scripted().answers = {true};
    form->bbtnCancel->click();
    scripted().clear();
    setNumber(*form, 14, QStringLiteral("書けない設定"));
    pressUpdate(*form);
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")),
              QStringList{QStringLiteral("用紙設定を保存できませんでした。\r\n")
                          + QDir::toNativeSeparators(dataFolder() + QStringLiteral("PlPrint14.plv"))});
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList{DoneNew});
    EXPECT_EQ(rows(QStringLiteral("D_HED"), 14), 1);
}

TEST_F(MntRoomTest, QuotesAreStoredAndShownAsTyped)
{
    auto form = openForm();
    form->nedtKanriNo->setValue(31);
    form->edtKanriNm->clear();
    QTest::keyClicks(form->edtKanriNm, QStringLiteral("O'Brien"));
    form->edtKanriNm->insert(QStringLiteral("家"));
    QTest::mouseClick(form->bbtnSet, Qt::LeftButton);
    ASSERT_FALSE(form->isHeaderState());
    QTest::keyClicks(form->edtSinro, QStringLiteral("'"));
    QTest::keyClicks(form->edtSinpu, QStringLiteral("d'Arc"));
    form->edtTitle->clear();
    QTest::keyClicks(form->edtTitle, QStringLiteral("'; DROP TABLE D_HED; --"));
    QTest::mouseClick(form->rdgTableItems[2], Qt::LeftButton);
    scripted().files = {QStringLiteral("/pics/it's/table.png"), QStringLiteral("/pics/o'k/back.jpg")};
    QTest::mouseClick(form->spbTable, Qt::LeftButton);
    QTest::mouseClick(form->spbWPaper, Qt::LeftButton);
    // A face that is not installed here is kept as it is.
    form->cmbFont->setFontName(QStringLiteral("Font'Not Installed"));
    pressUpdate(*form);
    ASSERT_EQ(scripted().texts(QStringLiteral("error")), QStringList());

    const auto check = [&] {
        EXPECT_EQ(hed(31, QStringLiteral("KANRINM")).toString(), QStringLiteral("O'Brien家"));
        EXPECT_EQ(hed(31, QStringLiteral("SINROSEI")).toString(), QStringLiteral("'"));
        EXPECT_EQ(hed(31, QStringLiteral("SINPUSEI")).toString(), QStringLiteral("d'Arc"));
        EXPECT_EQ(hed(31, QStringLiteral("ENTITLE")).toString(), QStringLiteral("'; DROP TABLE D_HED; --"));
        EXPECT_EQ(hed(31, QStringLiteral("TBLPATH")).toString(), QStringLiteral("/pics/it's/table.png"));
        EXPECT_EQ(hed(31, QStringLiteral("BKPATH")).toString(), QStringLiteral("/pics/o'k/back.jpg"));
        EXPECT_EQ(hed(31, QStringLiteral("PRNFONT")).toString(), QStringLiteral("Font'Not Installed"));
    };
    check();

    // Shown again exactly, and an update of the existing row keeps them.
    setNumber(*form, 31);
    EXPECT_EQ(form->edtKanriNm->text(), QStringLiteral("O'Brien家"));
    EXPECT_EQ(form->edtSinro->text(), QStringLiteral("'"));
    EXPECT_EQ(form->edtSinpu->text(), QStringLiteral("d'Arc"));
    EXPECT_EQ(form->edtTitle->text(), QStringLiteral("'; DROP TABLE D_HED; --"));
    EXPECT_EQ(form->lblTable->text(), QStringLiteral("/pics/it's/table.png"));
    EXPECT_EQ(form->lblWPaper->text(), QStringLiteral("/pics/o'k/back.jpg"));
    EXPECT_EQ(form->cmbFont->fontName(), QStringLiteral("Font'Not Installed"));
    pressUpdate(*form);
    check();
}

TEST_F(MntRoomTest, DeleteRemovesAllRowsAndKeepsThePrinterSettingsFile)
{
    seedReception(12, {4, 3, 4});
    seedReception(13, {2});
    QFile plv(dataFolder() + QStringLiteral("PlPrint12.plv"));
    auto form = openForm();
    setNumber(*form, 12);
    pressUpdate(*form); // writes the settings file
    ASSERT_TRUE(plv.exists());

    setNumber(*form, 12);
    scripted().clear();
    scripted().answers = {false};
    QTest::mouseClick(form->bbtnDelete, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{AskDelete});
    EXPECT_EQ(rows(QStringLiteral("D_HED"), 12), 1);

    scripted().answers = {true};
    QTest::mouseClick(form->bbtnDelete, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList{QStringLiteral("削除しました。")});
    for (const char *table : {"D_HED", "D_HINA", "D_TABLE", "D_TABPOS", "D_TABNM"}) {
        EXPECT_EQ(rows(QString::fromLatin1(table), 12), 0) << table;
        EXPECT_GT(rows(QString::fromLatin1(table), 13), 0) << table;
    }
    EXPECT_TRUE(plv.exists());
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(form->nedtKanriNo->value(), 0);

    // A number that is not registered cannot be deleted.
    scripted().clear();
    scripted().answers = {true};
    setNumber(*form, 44);
    QTest::mouseClick(form->bbtnDelete, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")),
              QStringList{QStringLiteral("この管理番号では登録されていません。")});
    EXPECT_FALSE(form->isHeaderState());
}

// Failing writes: a trigger makes one statement of the sequence fail; the
// database must be exactly as before and the form's own message shown.
TEST_F(MntRoomTest, FailedUpdateChangesNothing)
{
    seedReception(5, {4, 3, 4});
    exec(QStringLiteral("CREATE TRIGGER fail_hed BEFORE UPDATE ON D_HED BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    auto form = openForm();
    setNumber(*form, 5);
    form->edtTitle->setText(QStringLiteral("変更"));
    scripted().clear();
    scripted().answers = {true, false}; // update: yes; close: no
    QTest::mouseClick(form->bbtnExecute, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("error")), QStringList{QStringLiteral("書き込みエラー")});
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), (QStringList{AskUpdate, CloseInput}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isHeaderState());
    EXPECT_EQ(form->edtTitle->text(), QStringLiteral("変更"));
    EXPECT_EQ(hed(5, QStringLiteral("ENTITLE")).toString(), QStringLiteral("御結婚披露宴"));
    EXPECT_FALSE(QFile::exists(dataFolder() + QStringLiteral("PlPrint5.plv")));

    // A reception deleted behind the form's back: nothing is updated, so
    // nothing is reported as saved and no seat is touched.
    exec(QStringLiteral("DROP TRIGGER fail_hed"));
    exec(QStringLiteral("DELETE FROM D_HED WHERE KANRINO = 5"));
    form->cmbRow->setCurrentIndex(0);
    scripted().clear();
    scripted().answers = {true, false};
    QTest::mouseClick(form->bbtnExecute, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("error")), QStringList{QStringLiteral("書き込みエラー")});
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList());
    EXPECT_FALSE(form->isHeaderState());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_TABLE WHERE KANRINO = 5 AND TBLROW = 0")).toInt(), 0);
}

TEST_F(MntRoomTest, FailedTrimmingRollsBackTheWholeUpdate)
{
    seedReception(5, {4, 3, 4});
    exec(QStringLiteral("CREATE TRIGGER fail_pos BEFORE DELETE ON D_TABPOS BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    auto form = openForm();
    setNumber(*form, 5);
    form->cmbRow->setCurrentIndex(1);
    form->edtTitle->setText(QStringLiteral("変更"));
    scripted().clear();
    scripted().answers = {true, true}; // update: yes; close: yes
    QTest::mouseClick(form->bbtnExecute, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("error")), QStringList{QStringLiteral("席次表テーブル情報調整エラー")});
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), (QStringList{AskUpdate, CloseInput}));
    EXPECT_FALSE(form->isVisible());
    // Header row, seats and names as before.
    EXPECT_EQ(hed(5, QStringLiteral("SEKIROW")).toInt(), 3);
    EXPECT_EQ(hed(5, QStringLiteral("ENTITLE")).toString(), QStringLiteral("御結婚披露宴"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_TABLE WHERE KANRINO = 5 AND TBLROW = 3")).toInt(), 8);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_TABNM WHERE KANRINO = 5 AND TBLROW = 3")).toInt(), 4);
    EXPECT_FALSE(QFile::exists(dataFolder() + QStringLiteral("PlPrint5.plv")));
}

TEST_F(MntRoomTest, FailedDeleteKeepsEveryRow)
{
    seedReception(5, {4, 3, 4});
    exec(QStringLiteral("CREATE TRIGGER fail_nm BEFORE DELETE ON D_TABNM BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    auto form = openForm();
    setNumber(*form, 5);
    scripted().clear();
    scripted().answers = {true};
    QTest::mouseClick(form->bbtnDelete, Qt::LeftButton);
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")), QStringList{QStringLiteral("削除に失敗しました。")});
    EXPECT_FALSE(form->isHeaderState());
    EXPECT_EQ(rows(QStringLiteral("D_HED"), 5), 1);
    EXPECT_EQ(rows(QStringLiteral("D_HINA"), 5), 1);
    EXPECT_EQ(rows(QStringLiteral("D_TABLE"), 5), 22);
    EXPECT_EQ(rows(QStringLiteral("D_TABPOS"), 5), 11);
    EXPECT_EQ(rows(QStringLiteral("D_TABNM"), 5), 11);
}

// A new user's first reception, from registration to deletion.
TEST_F(MntRoomTest, NewUserRegistersChangesReopensAndDeletes)
{
    auto form = openForm();
    form->nedtKanriNo->setValue(12);
    form->edtKanriNm->clear();
    QTest::keyClicks(form->edtKanriNm, QStringLiteral("O'Neil"));
    form->edtKanriNm->insert(QStringLiteral("・田中"));
    QTest::mouseClick(form->bbtnSet, Qt::LeftButton);
    ASSERT_EQ(form->pnlUpdKbn->text(), QStringLiteral("登録"));
    form->edtSinro->insert(QStringLiteral("田中"));
    QTest::keyClicks(form->edtSinpu, QStringLiteral("O'Neil"));
    form->dtpHDate->setDate(QDate(2028, 2, 29));
    pressUpdate(*form);

    // Change the layout and the paper.
    setNumber(*form, 12);
    ASSERT_EQ(form->pnlUpdKbn->text(), QStringLiteral("修正"));
    form->cmbRow->setCurrentIndex(3);
    EXPECT_EQ(tableCounts(*form), (std::vector<int>{4, 3, 4, 3, 0}));
    form->cmbCol[3]->setCurrentIndex(1);
    QTest::mouseClick(form->chkDateOut, Qt::LeftButton);
    QTest::mouseClick(form->rdgTableItems[1], Qt::LeftButton);
    scripted().onPrinterSetup = [](PrinterSetupChoice &c) {
        c.paperName = QPageSize::name(QPageSize::A3);
        c.landscape = true;
        return true;
    };
    QTest::mouseClick(form->bbtnPaper, Qt::LeftButton);
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("297"));
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("420"));
    pressUpdate(*form);
    EXPECT_EQ(scripted().texts(QStringLiteral("information")).last(), DoneExisting);

    // Open it again: everything as saved.
    form->plSetPrinter.setPaperName(QPageSize::name(QPageSize::A4));
    setNumber(*form, 12);
    EXPECT_EQ(form->edtKanriNm->text(), QStringLiteral("O'Neil・田中"));
    EXPECT_EQ(form->edtSinro->text(), QStringLiteral("田中"));
    EXPECT_EQ(form->edtSinpu->text(), QStringLiteral("O'Neil"));
    EXPECT_EQ(form->edtTitle->text(), QStringLiteral("御結婚披露宴"));
    EXPECT_EQ(form->dtpHDate->date(), QDate(2028, 2, 29));
    EXPECT_EQ(form->cmbRow->currentIndex(), 3);
    EXPECT_EQ(tableCounts(*form), (std::vector<int>{4, 3, 4, 2, 0}));
    EXPECT_EQ(tiersShown(*form), (std::vector<bool>{true, true, true, true, false}));
    EXPECT_TRUE(form->chkDateOut->isChecked());
    EXPECT_EQ(form->tableShape(), 1);
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("297"));
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("420"));

    // The search dialog lists it until it is deleted.
    {
        TFrmSrcKanri dlg;
        dlg.loadRows();
        EXPECT_EQ(dlg.rowCount(), 1);
    }
    scripted().answers = {true};
    QTest::mouseClick(form->bbtnDelete, Qt::LeftButton);
    TFrmSrcKanri dlg;
    dlg.loadRows();
    EXPECT_EQ(dlg.rowCount(), 0);
    EXPECT_TRUE(QFile::exists(dataFolder() + QStringLiteral("PlPrint12.plv")));

    // Registering 12 again starts from its printer settings.
    form->plSetPrinter.setPaperName(QPageSize::name(QPageSize::A4));
    setNumber(*form, 12, QStringLiteral("再登録"));
    EXPECT_EQ(form->pnlUpdKbn->text(), QStringLiteral("登録"));
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("297"));
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("420"));
}

TEST(FontNameBox, ListsInstalledFamiliesInTheirOwnFaceAndKeepsUnknownNames)
{
    TFontNameComboBox box;
    EXPECT_EQ(box.fontName(), QStringLiteral("ＭＳ Ｐ明朝"));
    const QStringList families = QFontDatabase::families();
    ASSERT_FALSE(families.isEmpty());
    const QString installed = families.first();
    const int before = box.count();
    box.setFontName(installed);
    EXPECT_EQ(box.fontName(), installed);
    EXPECT_EQ(box.count(), before);
    const int i = box.currentIndex();
    EXPECT_EQ(box.itemData(i, Qt::FontRole).value<QFont>().family(), installed);

    box.setFontName(QStringLiteral("No Such Face"));
    box.setFontName(installed);
    box.setFontName(QStringLiteral("No Such Face"));
    EXPECT_EQ(box.fontName(), QStringLiteral("No Such Face"));
    EXPECT_EQ(box.count(), before + 1);
}

TEST_F(MntRoomTest, OlderSettingsPlaceStandsInOnlyForAMissingFile)
{
    seedReception(41, {2}, false);
    // Settings left by an older installation, in "Print" next to the program.
    const QString olderDir = QCoreApplication::applicationDirPath() + QStringLiteral("/Print");
    ASSERT_TRUE(QDir().mkpath(olderDir));
    const QString older = olderDir + QStringLiteral("/PlPrint41");
    {
        TplSetPrinter p;
        p.setPaperName(QPageSize::name(QPageSize::B5));
        p.SetLandscape(false);
        ASSERT_TRUE(p.SaveSettings(older));
    }
    auto form = openForm();
    setNumber(*form, 41);
    EXPECT_EQ(form->plSetPrinter.GetPaperName(), QPageSize::name(QPageSize::B5));
    EXPECT_FALSE(form->plSetPrinter.IsLandscape());

    // Once the reception has a file of its own, that file wins.
    scripted().answers.push_back(true);
    form->bbtnCancel->click();
    {
        TplSetPrinter p;
        p.setPaperName(QPageSize::name(QPageSize::A3));
        p.SetLandscape(true);
        ASSERT_TRUE(p.SaveSettings(dataFolder() + QStringLiteral("PlPrint41.plv")));
    }
    setNumber(*form, 41);
    EXPECT_EQ(form->plSetPrinter.GetPaperName(), QPageSize::name(QPageSize::A3));
    EXPECT_TRUE(form->plSetPrinter.IsLandscape());
    QDir(olderDir).removeRecursively();
}

TEST_F(MntRoomTest, KeyboardOnlyRegistrationAndEscape)
{
    auto form = openForm();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    const auto focusName = [] {
        QWidget *w = QApplication::focusWidget();
        return w ? w->objectName() : QStringLiteral("(none)");
    };
    // Header: Enter walks number and name, then presses " 設 定 ".
    QStringList visited;
    QTest::keyClicks(form->nedtKanriNo, QStringLiteral("15"));
    for (int i = 0; i < 3; ++i) {
        visited << focusName();
        if (QApplication::focusWidget() == form->edtKanriNm)
            QTest::keyClicks(form->edtKanriNm, QStringLiteral("Key"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    EXPECT_EQ(visited, QStringList({"nedtKanriNo", "edtKanriNm", "bbtnSet"}));
    ASSERT_FALSE(form->isHeaderState());

    // Input: Enter moves from input to input and passes the picture buttons
    // by; it stops on "　用紙設定", the first button.
    visited.clear();
    for (int i = 0; i < 20 && !qobject_cast<QPushButton *>(QApplication::focusWidget()); ++i) {
        visited << focusName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    visited << focusName();
    EXPECT_EQ(visited, QStringList({"edtSinro", "edtSinpu", "edtTitle", "dtpHDate", "chkDateOut", "cmbRow", "chkLong",
                                    "cmbCol1", "cmbCol2", "cmbCol3", "cmbFont", "rdgTable0", "bbtnPaper"}));
    EXPECT_TRUE(scripted().asked.isEmpty());

    // Esc asks the input-state question; No keeps what was typed.
    QTest::keyClicks(form->edtSinro, QStringLiteral("Tanaka"));
    scripted().answers = {false};
    QTest::keyClick(form->edtSinro, Qt::Key_Escape);
    EXPECT_EQ(scripted().all(), QStringList({QStringLiteral("question: ") + CloseInput}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->edtSinro->text(), QStringLiteral("Tanaka"));
    EXPECT_FALSE(form->isHeaderState());
}

// A paper setup belongs to one reception: what was chosen for another one,
// or chosen and then cancelled, does not reach a reception without a file.
TEST_F(MntRoomTest, PaperSetupDoesNotCarryOverToAReceptionWithoutAFile)
{
    const TplSetPrinter fresh;
    {
        TplSetPrinter p;
        p.setPaperName(QPageSize::name(QPageSize::B5));
        p.SetLandscape(false);
        ASSERT_TRUE(p.SaveSettings(dataFolder() + QStringLiteral("PlPrint3.plv")));
    }
    QFile broken(dataFolder() + QStringLiteral("PlPrint4.plv"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a settings file");
    broken.close();

    auto form = openForm();
    const auto backToHeader = [&] {
        scripted().answers.push_back(true);
        form->bbtnCancel->click();
        ASSERT_TRUE(form->isHeaderState());
    };
    setNumber(*form, 3, QStringLiteral("B5"));
    ASSERT_EQ(form->plSetPrinter.GetPaperName(), QPageSize::name(QPageSize::B5));
    backToHeader();

    // Another reception's settings stay with it.
    setNumber(*form, 20, QStringLiteral("新規"));
    EXPECT_EQ(form->plSetPrinter.GetPaperName(), fresh.GetPaperName());
    EXPECT_TRUE(form->plSetPrinter.IsLandscape());

    // A confirmed but unsaved setup is dropped by cancelling.
    scripted().onPrinterSetup = [](PrinterSetupChoice &c) {
        c.paperName = QPageSize::name(QPageSize::A3);
        c.landscape = false;
        return true;
    };
    form->bbtnPaper->click();
    ASSERT_EQ(form->plSetPrinter.GetPaperName(), QPageSize::name(QPageSize::A3));
    backToHeader();
    setNumber(*form, 20);
    EXPECT_EQ(form->plSetPrinter.GetPaperName(), fresh.GetPaperName());
    EXPECT_TRUE(form->plSetPrinter.IsLandscape());
    EXPECT_EQ(form->lblPWidth->text(), paperSizeText(form->plSetPrinter.GetDeviceValue(3),
                                                     form->plSetPrinter.GetDeviceValue(1)));
    backToHeader();

    // A file that cannot be read counts as missing.
    setNumber(*form, 3);
    backToHeader();
    setNumber(*form, 4, QStringLiteral("壊れた設定"));
    EXPECT_EQ(form->plSetPrinter.GetPaperName(), fresh.GetPaperName());
    EXPECT_TRUE(form->plSetPrinter.IsLandscape());
}
