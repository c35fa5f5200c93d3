#include "ByteLimit.h"
#include "FrmPrintU.h"
#include "TNumberEdit.h"
#include "TestEnv.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

#include <memory>

namespace {
// Prompts as ScriptedPrompter::all() lists them.
QString asked(const char *kind, const QString &text) { return QLatin1String(kind) + QStringLiteral(": ") + text; }

const QString kPositionRefusal =
    QStringLiteral("テーブル位置の確認が済んでいません。\r\nテーブル位置設定で位置を確認・更新後印刷してください。");
const QString kPrintQuestion = QStringLiteral("印刷します。\r\nよろしいですか？");
const QString kCloseQuestion = QStringLiteral("終了しますか？");

// 600 dpi across, 300 dpi down, so a swapped resolution shows; the dot counts
// sit just below whole millimetres, so a missing half-up rounding shows too.
DeviceValues oddDevice()
{
    // dpiX, dpiY, paper w, paper h, printable w, printable h, top, top+h, left, left+w
    return {600, 300, 4960, 3507, 4800, 3400, 50, 3450, 80, 4880};
}
} // namespace

class PrintFormTest : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
        form = std::make_unique<TFrmPrint>();
        form->plSetPrinter.setDeviceValuesOverride(
            fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Portrait, 600));
        showAndActivate();
    }
    void showAndActivate()
    {
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override
    {
        form.reset();
        KivoraTest::TearDown();
    }

    // A one-tier, two-table reception with stored positions and one seated guest.
    void addReception(int n, bool positions = true)
    {
        exec(QStringLiteral(
                 "INSERT INTO D_HED (KANRINO, KANRINM, SINROSEI, SINPUSEI, ENTITLE, HDATE, SEKIROW,"
                 " SEKICOL1, SEKICOL2, SEKICOL3, SEKICOL4, SEKICOL5, TLONG, TBLPTN, PRNFONT, ENDSTR,"
                 " OPT1, OPT2, DATEOUT, SIKIJO1, SIKIJO2, ENSZ, HINASZ, SEKISZ, KATASZ, LPOS, RPOS,"
                 " ALLTPOS, TBLSZ, TBLFSZ, KEISZ, SIKISZ) VALUES (%1, '披露宴%1', '山田', '佐藤',"
                 " '御結婚披露宴', '2026-06-01', 1, 2, 0, 0, 0, 0, 0, 0, 'ＭＳ 明朝', '本日はありがとうございました',"
                 " 0, 0, 0, NULL, NULL, 0, 0, 0, 0, 0, 0, 0, 10, 0, 0, 0)")
                 .arg(n));
        exec(QStringLiteral("INSERT INTO D_TABLE (KANRINO, KJNNO, TBLROW, TBLCOL, TBLRL, SORTNO, KATA1, KATA2, NAME, KEISHO)"
                            " VALUES (%1, 1, 1, 1, 0, 1, '友人', ' ', '鈴木一郎', '様')")
                 .arg(n));
        if (positions)
            exec(QStringLiteral("INSERT INTO D_TABPOS (KANRINO, TBLROW, TBLCOL, TBLPOS) VALUES (%1, 1, 1, 3), (%1, 1, 2, 13)")
                     .arg(n));
    }

    void setReception(int n)
    {
        form->nedtKanriNo->setValue(n);
        QTest::mouseClick(form->bbtnSet, Qt::LeftButton);
        ASSERT_FALSE(form->isHeaderState()) << scripted().all().join(QLatin1Char('/')).toStdString();
    }

    void clickPrint() { QTest::mouseClick(form->bbtnExecute, Qt::LeftButton); }

    QVariant col(int n, const QString &column)
    {
        return scalar(QStringLiteral("SELECT %1 FROM D_HED WHERE KANRINO = %2").arg(column).arg(n));
    }

    std::unique_ptr<TFrmPrint> form;
};

TEST_F(PrintFormTest, LoadsTheReceptionIntoEveryControl)
{
    addReception(7);
    exec(QStringLiteral(
        "UPDATE D_HED SET SINROSEI = '山田  ', ENTITLE = '  御結婚披露宴 ', ENDSTR = '末尾  ', SIKIJO1 = ' ',"
        " SIKIJO2 = 'ホテル  ', OPT1 = 1, OPT2 = 1, ENSZ = -3, HINASZ = 4, SEKISZ = -10, KATASZ = 10, LPOS = -50,"
        " RPOS = 17, ALLTPOS = 50, TBLSZ = 0, TBLFSZ = -24, KEISZ = 5, SIKISZ = 9 WHERE KANRINO = 7"));
    form->plSetPrinter.setDeviceValuesOverride(oddDevice());
    form->edtTakasago->setText(QStringLiteral("前の名称"));

    setReception(7);

    EXPECT_EQ(form->lblSinroSei->text(), QStringLiteral("山田"));
    EXPECT_EQ(form->lblSinpuSei->text(), QStringLiteral("佐藤"));
    EXPECT_EQ(form->lblEnTitle->text(), QStringLiteral("  御結婚披露宴")); // only trailing blanks go
    EXPECT_EQ(form->edtEndStr->text(), QStringLiteral("末尾"));
    EXPECT_EQ(form->edtSikijo1->text(), QString()); // stored " " shows empty
    EXPECT_EQ(form->edtSikijo2->text(), QStringLiteral("ホテル"));
    EXPECT_EQ(form->edtTakasago->text(), QStringLiteral("高　　砂"));
    EXPECT_EQ(form->rdgLayout->itemIndex(), 1);
    EXPECT_EQ(form->rdgPict->itemIndex(), 1);
    EXPECT_TRUE(form->chkKei->isChecked());

    const struct {
        QSlider *trk;
        int expected;
    } sliders[] = {
        {form->trkEn, -3}, {form->trkHina, 4},  {form->trkSeki, -10}, {form->trkKata, 10}, {form->trkLNm, -50},
        {form->trkRNm, 17}, {form->trkTbl, 50}, {form->trkTblS, 2},   {form->trkTblN, -24}, {form->trkSiki, 9},
    };
    for (const auto &s : sliders)
        EXPECT_EQ(s.trk->value(), s.expected) << s.trk->objectName().toStdString();

    // 4960 dots at 600 dpi = 209.97 mm, 3507 dots at 300 dpi = 296.93 mm.
    EXPECT_EQ(form->lblPWidth->text(), QStringLiteral("210"));
    EXPECT_EQ(form->lblPHeight->text(), QStringLiteral("297"));
    EXPECT_EQ(form->lblPName->text(), form->plSetPrinter.GetPaperName());
    EXPECT_EQ(form->lblPMuki->text(), form->plSetPrinter.IsLandscape() ? QStringLiteral("横") : QStringLiteral("縦"));

    EXPECT_EQ(QApplication::focusWidget(), form->rdgLayout->focusTarget());
    EXPECT_EQ(TFrmEditBase::inputColor(form->edtSikijo1), TFrmEditBase::White);
    EXPECT_EQ(TFrmEditBase::inputColor(form->nedtKanriNo), TFrmEditBase::Silver);
    EXPECT_TRUE(scripted().asked.isEmpty());
}

TEST_F(PrintFormTest, TrackBarsClampStoredValues)
{
    const struct {
        const char *column;
        int stored;
        const char *slider;
        int expected;
    } cases[] = {
        {"TBLSZ", 0, "trkTblS", 2},    {"TBLSZ", 25, "trkTblS", 20}, {"ENSZ", 99, "trkEn", 10},
        {"HINASZ", -11, "trkHina", -10}, {"LPOS", -80, "trkLNm", -50}, {"RPOS", 51, "trkRNm", 50},
        {"TBLFSZ", 30, "trkTblN", 24},  {"SIKISZ", -25, "trkSiki", -24},
        // The radio groups read an odd value as the chart does; never "none".
        {"OPT1", 2, "rdgLayout", 1},   {"OPT1", -1, "rdgLayout", 0}, {"OPT2", 7, "rdgPict", 1},
        {"OPT2", -3, "rdgPict", 0},
    };
    addReception(3);
    for (const auto &c : cases) {
        exec(QStringLiteral("UPDATE D_HED SET %1 = %2 WHERE KANRINO = 3").arg(QLatin1String(c.column)).arg(c.stored));
        setReception(3);
        if (auto *rdg = form->findChild<TPrintRadioGroup *>(QLatin1String(c.slider))) {
            EXPECT_EQ(rdg->itemIndex(), c.expected) << c.column << " " << c.stored;
        } else {
            auto *trk = form->findChild<QSlider *>(QLatin1String(c.slider));
            ASSERT_NE(trk, nullptr);
            EXPECT_EQ(trk->value(), c.expected) << c.column << " " << c.stored;
        }
        scripted().answers = {true};
        QTest::mouseClick(form->bbtnCancel, Qt::LeftButton);
        ASSERT_TRUE(form->isHeaderState());
    }
}

TEST_F(PrintFormTest, RefusesAReceptionWithoutTablePositions)
{
    addReception(4, /*positions=*/false);
    setReception(4);
    form->trkEn->setValue(5);
    clickPrint();
    EXPECT_EQ(scripted().all(), QStringList{asked("warning", kPositionRefusal)});
    EXPECT_EQ(col(4, QStringLiteral("ENSZ")).toInt(), 0);
    EXPECT_FALSE(form->isHeaderState());
}

TEST_F(PrintFormTest, AnsweringNoWritesNothingAndDrawsNothing)
{
    addReception(5);
    setReception(5);
    form->edtSikijo1->setText(QStringLiteral("式場"));
    form->trkTblS->setValue(15);
    bool previewed = false;
    scripted().onPreview = [&](TplPrev &, TplSetPrinter *, const QString &) { previewed = true; };
    scripted().answers = {false};
    clickPrint();
    EXPECT_EQ(scripted().all(), QStringList{asked("question", kPrintQuestion)});
    EXPECT_FALSE(previewed);
    EXPECT_TRUE(col(5, QStringLiteral("SIKIJO1")).isNull());
    EXPECT_EQ(col(5, QStringLiteral("TBLSZ")).toInt(), 10);
}

TEST_F(PrintFormTest, YesStoresTheOptionsAndShowsThePreview)
{
    addReception(9);
    setReception(9);
    form->edtSikijo1->setText(QStringLiteral("ホテル'オークラ"));
    form->edtSikijo2->clear();
    form->edtEndStr->setText(QStringLiteral("It's a \"day\"; DROP TABLE D_HED"));
    form->rdgLayout->setItemIndex(1);
    form->rdgPict->setItemIndex(1);
    form->chkKei->setChecked(true);
    form->trkEn->setValue(1);
    form->trkHina->setValue(2);
    form->trkSeki->setValue(3);
    form->trkKata->setValue(4);
    form->trkLNm->setValue(5);
    form->trkRNm->setValue(6);
    form->trkTbl->setValue(7);
    form->trkTblS->setValue(8);
    form->trkTblN->setValue(9);
    form->trkSiki->setValue(-11);

    QString caption;
    int pages = 0, ops = 0;
    scripted().onPreview = [&](TplPrev &doc, TplSetPrinter *, const QString &c) {
        caption = c;
        pages = doc.pageCount();
        ops = pages > 0 ? int(doc.page(0).size()) : 0;
    };
    scripted().answers = {true};
    clickPrint();

    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{kPrintQuestion});
    EXPECT_TRUE(scripted().texts(QStringLiteral("error")).isEmpty()) << scripted().all().join(QLatin1Char('/')).toStdString();
    EXPECT_TRUE(scripted().texts(QStringLiteral("warning")).isEmpty());

    const struct {
        const char *column;
        QVariant expected;
    } stored[] = {
        {"OPT1", 1},     {"OPT2", 1},     {"ENDSTR", QStringLiteral("It's a \"day\"; DROP TABLE D_HED")},
        {"SIKIJO1", QStringLiteral("ホテル'オークラ")}, {"SIKIJO2", QStringLiteral(" ")},
        {"ENSZ", 1},     {"HINASZ", 2},   {"SEKISZ", 3},   {"KATASZ", 4},   {"LPOS", 5},    {"RPOS", 6},
        {"ALLTPOS", 7},  {"TBLSZ", 8},    {"TBLFSZ", 9},   {"KEISZ", 1},    {"SIKISZ", -11},
    };
    for (const auto &s : stored)
        EXPECT_EQ(col(9, QLatin1String(s.column)).toString(), s.expected.toString()) << s.column;
    // Columns the form does not own stay as they were.
    EXPECT_EQ(col(9, QStringLiteral("ENTITLE")).toString(), QStringLiteral("御結婚披露宴"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_HED")).toInt(), 1);

    EXPECT_EQ(caption, QStringLiteral("席辞表印刷"));
    EXPECT_EQ(pages, 1);
    EXPECT_GT(ops, 0);
    // The form stays ready for another print.
    EXPECT_FALSE(form->isHeaderState());
    EXPECT_EQ(QApplication::focusWidget(), form->edtSikijo1);
    EXPECT_EQ(form->rdgLayout->itemIndex(), 1);
    EXPECT_EQ(form->edtEndStr->text(), QStringLiteral("It's a \"day\"; DROP TABLE D_HED"));
}

TEST_F(PrintFormTest, FailedUpdateStillDrawsWithTheStoredOptions)
{
    addReception(6);
    exec(QStringLiteral("UPDATE D_HED SET OPT1 = 1, ENDSTR = '保存済み' WHERE KANRINO = 6"));
    exec(QStringLiteral("CREATE TRIGGER refuse_print BEFORE UPDATE ON D_HED BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    setReception(6);
    form->rdgLayout->setItemIndex(0);
    form->edtEndStr->setText(QStringLiteral("未保存"));
    form->trkSeki->setValue(7);
    bool previewed = false;
    scripted().onPreview = [&](TplPrev &doc, TplSetPrinter *, const QString &) { previewed = doc.pageCount() == 1; };
    scripted().answers = {true};
    clickPrint();

    EXPECT_EQ(scripted().texts(QStringLiteral("error")), QStringList{QStringLiteral("席次表テーブル情報更新エラー")});
    EXPECT_TRUE(previewed);
    EXPECT_EQ(col(6, QStringLiteral("SEKISZ")).toInt(), 0);
    // The stored alignment and end text won, and the form shows them.
    EXPECT_EQ(form->rdgLayout->itemIndex(), 1);
    EXPECT_EQ(form->edtEndStr->text(), QStringLiteral("保存済み"));
    EXPECT_TRUE(form->isVisible());
}

TEST_F(PrintFormTest, WithoutPrinterValuesTheFormLoadsAndTheRunStopsWithAWarning)
{
    addReception(2);
    form->plSetPrinter.setDeviceValuesOverride(DeviceValues{});
    setReception(2);
    EXPECT_EQ(form->lblPHeight->text(), QString());
    EXPECT_EQ(form->lblPWidth->text(), QString());
    EXPECT_EQ(form->lblSinroSei->text(), QStringLiteral("山田"));

    bool previewed = false;
    scripted().onPreview = [&](TplPrev &, TplSetPrinter *, const QString &) { previewed = true; };
    scripted().answers = {true};
    form->trkKata->setValue(-4);
    clickPrint();
    EXPECT_FALSE(previewed);
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")).size(), 1);
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{kPrintQuestion}); // no close question
    EXPECT_EQ(col(2, QStringLiteral("KATASZ")).toInt(), -4); // the options were stored before the run
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isHeaderState());
}

TEST_F(PrintFormTest, VanishedReceptionWarnsAndAsksToClose)
{
    for (bool closeAnswer : {false, true}) {
        SCOPED_TRACE(closeAnswer);
        form = std::make_unique<TFrmPrint>();
        form->plSetPrinter.setDeviceValuesOverride(
            fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Portrait, 600));
        showAndActivate();
        scripted().clear();
        exec(QStringLiteral("DELETE FROM D_HED"));
        exec(QStringLiteral("DELETE FROM D_TABPOS"));
        exec(QStringLiteral("DELETE FROM D_TABLE"));
        addReception(8);
        setReception(8);
        exec(QStringLiteral("DELETE FROM D_HED WHERE KANRINO = 8"));
        bool previewed = false;
        scripted().onPreview = [&](TplPrev &, TplSetPrinter *, const QString &) { previewed = true; };
        scripted().answers = {true, closeAnswer};
        clickPrint();

        EXPECT_EQ(scripted().all(),
                  (QStringList{asked("question", kPrintQuestion),
                               asked("warning", QStringLiteral("データ不整合が発生しました。\r\n処理を終了します。")),
                               asked("question", kCloseQuestion)}));
        EXPECT_EQ(scripted().texts(QStringLiteral("warning")).size(), 1);
        EXPECT_FALSE(previewed);
        EXPECT_EQ(form->isVisible(), !closeAnswer);
        EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_HED")).toInt(), 0); // the update recreated nothing
    }
}

TEST_F(PrintFormTest, CheckBoxSurvivesReceptionsWhileTheHeadTableCaptionResets)
{
    addReception(1);
    addReception(2);
    setReception(1);
    form->cbSSprint->setChecked(true);
    form->edtTakasago->setText(QStringLiteral("メインテーブル"));
    form->PageControl1->setCurrentIndex(1);

    scripted().answers = {true};
    QTest::mouseClick(form->bbtnCancel, Qt::LeftButton);
    EXPECT_EQ(scripted().all(), QStringList{asked("question", QStringLiteral("管理番号入力に戻りますか？"))});
    ASSERT_TRUE(form->isHeaderState());
    EXPECT_EQ(form->PageControl1->currentIndex(), 0);
    EXPECT_EQ(form->edtTakasago->text(), QString());
    EXPECT_EQ(form->lblSinroSei->text(), QString());
    EXPECT_EQ(form->lblPHeight->text(), QString());
    EXPECT_EQ(form->nedtKanriNo->value(), 0);
    EXPECT_EQ(TFrmEditBase::inputColor(form->edtSikijo1), TFrmEditBase::Silver);
    EXPECT_TRUE(form->bbtnSet->isVisible());
    EXPECT_FALSE(form->bbtnExecute->isVisible());

    setReception(2);
    EXPECT_TRUE(form->cbSSprint->isChecked());
    EXPECT_EQ(form->edtTakasago->text(), QStringLiteral("高　　砂"));
}

TEST_F(PrintFormTest, EnterMovesOnFromRadioButtonsAndCheckBoxesWithoutChangingThem)
{
    addReception(1);
    setReception(1);
    ASSERT_EQ(QApplication::focusWidget(), form->rdgLayout->focusTarget());
    const auto pressEnter = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); };

    pressEnter();
    EXPECT_EQ(QApplication::focusWidget(), form->cbSSprint);
    pressEnter();
    EXPECT_EQ(QApplication::focusWidget(), form->bbtnExecute);
    EXPECT_FALSE(form->cbSSprint->isChecked());
    EXPECT_EQ(form->rdgLayout->itemIndex(), 0);

    form->PageControl1->setCurrentIndex(1);
    form->trkTbl->setFocus();
    pressEnter();
    EXPECT_EQ(QApplication::focusWidget(), form->chkKei);
    pressEnter();
    EXPECT_EQ(QApplication::focusWidget(), form->bbtnExecute);
    EXPECT_FALSE(form->chkKei->isChecked());
    EXPECT_TRUE(scripted().asked.isEmpty());
}

TEST_F(PrintFormTest, CloseQuestionIsThePlainOneInBothStates)
{
    addReception(1);
    scripted().answers = {false};
    QTest::mouseClick(form->bbtnClose, Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());

    setReception(1);
    scripted().answers = {false};
    QTest::keyClick(form->edtSikijo1, Qt::Key_Escape);
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isHeaderState());

    scripted().answers = {true};
    QTest::mouseClick(form->bbtnClose, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), (QStringList{kCloseQuestion, kCloseQuestion, kCloseQuestion}));
    EXPECT_EQ(scripted().all().size(), 3);
}

TEST_F(PrintFormTest, CaptionsAndControls)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("席次表印刷"));
    EXPECT_EQ(form->statusTitle(), QStringLiteral("席次表印刷"));
    EXPECT_EQ(form->bbtnCancel->text(), QStringLiteral("管理番号入力へ戻る"));
    EXPECT_EQ(form->bbtnExecute->text(), QStringLiteral(" 印 刷  "));
    EXPECT_EQ(form->bbtnClose->objectName(), QStringLiteral("bbtnEnd"));
    EXPECT_EQ(form->PageControl1->tabText(0), QStringLiteral("背景・揃え"));
    EXPECT_EQ(form->PageControl1->tabText(1), QStringLiteral("位置・フォントサイズ調整"));
    const struct {
        const char *name;
        int min, max, value;
    } ranges[] = {
        {"trkEn", -10, 10, 0},   {"trkHina", -10, 10, 0}, {"trkSeki", -10, 10, 0}, {"trkKata", -10, 10, 0},
        {"trkTblS", 2, 20, 2},   {"trkTblN", -24, 24, 0}, {"trkSiki", -24, 24, 0}, {"trkLNm", -50, 50, 0},
        {"trkRNm", -50, 50, 0},  {"trkTbl", -50, 50, 0},
    };
    for (const auto &r : ranges) {
        auto *s = form->findChild<QSlider *>(QLatin1String(r.name));
        ASSERT_NE(s, nullptr) << r.name;
        EXPECT_EQ(s->minimum(), r.min) << r.name;
        EXPECT_EQ(s->maximum(), r.max) << r.name;
        EXPECT_EQ(s->value(), r.value) << r.name;
    }
    // Byte limits of the four edits (a full-width character counts 2).
    const struct {
        QLineEdit *edit;
        int bytes;
    } limits[] = {{form->edtSikijo1, 120}, {form->edtSikijo2, 120}, {form->edtTakasago, 20}, {form->edtEndStr, 120}};
    for (const auto &l : limits)
        EXPECT_EQ(ByteLimit::limitOf(l.edit), l.bytes) << l.edit->objectName().toStdString();
}
