#include "FrmMenuU.h"
#include "FrmSetHinadanU.h"
#include "TestEnv.h"
#include "TNumberEdit.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>

namespace {

const QStringList Columns = {"SINRONM", "SINPUNM", "KATA11", "KATA12", "NAME1", "KEISHO1", "KATA21", "KATA22", "NAME2",
                             "KEISHO2", "KATA31", "KATA32", "NAME3", "KEISHO3", "KATA41", "KATA42", "NAME4", "KEISHO4"};

class HinadanTest : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
        exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM) VALUES (5, '山田家・佐藤家')"));
        form = std::make_unique<TFrmSetHinadan>();
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override
    {
        form.reset(); // its query goes before the connection
        KivoraTest::TearDown();
    }

    void set(int n)
    {
        form->nedtKanriNo->setValue(n);
        form->bbtnSet->click();
        ASSERT_FALSE(form->isHeaderState());
    }

    // The stored row of reception n, column by column ("NULL" for NULL), or empty.
    QStringList stored(int n)
    {
        QSqlQuery q(dm.ADOCMDB());
        q.prepare(QStringLiteral("SELECT * FROM D_HINA WHERE KANRINO = ?"));
        q.addBindValue(n);
        EXPECT_TRUE(q.exec());
        QStringList out;
        if (q.next())
            for (const QString &c : Columns)
                out << (q.value(c).isNull() ? QStringLiteral("NULL") : q.value(c).toString());
        return out;
    }

    // What the form shows, in the order of Columns.
    QStringList shown() const
    {
        const TFrmSetHinadan &f = *form;
        return {f.edtSinroNm->text(), f.edtSinpuNm->text(),
                f.edtKata11->text(), f.edtKata12->text(), f.edtName1->text(), f.cmbKeisho1->currentText(),
                f.edtKata21->text(), f.edtKata22->text(), f.edtName2->text(), f.cmbKeisho2->currentText(),
                f.edtKata31->text(), f.edtKata32->text(), f.edtName3->text(), f.cmbKeisho3->currentText(),
                f.edtKata41->text(), f.edtKata42->text(), f.edtName4->text(), f.cmbKeisho4->currentText()};
    }

    int rows() { return scalar(QStringLiteral("SELECT COUNT(*) FROM D_HINA")).toInt(); }

    std::unique_ptr<TFrmSetHinadan> form;
};

} // namespace

TEST_F(HinadanTest, FirstUpdateInsertsLaterOnesUpdateTheOneRow)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("雛壇設定"));
    EXPECT_EQ(form->statusTitle(), QStringLiteral("雛壇設定"));
    EXPECT_EQ(TFrmEditBase::inputColor(form->edtName3), TFrmEditBase::Silver);
    EXPECT_EQ(TFrmEditBase::inputColor(form->cmbKeisho3), TFrmEditBase::Silver);

    // No row yet: everything empty, nothing created by loading.
    set(5);
    EXPECT_EQ(shown(), QStringList(18, QString()));
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(QApplication::focusWidget(), form->edtSinroNm);
    EXPECT_EQ(TFrmEditBase::inputColor(form->edtName3), TFrmEditBase::White);

    // The couple, person 1 and person 3 alone on the right.
    type(form->edtSinroNm, QStringLiteral("  山田 太郎"));
    type(form->edtSinpuNm, QStringLiteral("佐藤 花子"));
    type(form->edtKata11, QStringLiteral("新郎上司"));
    type(form->edtKata12, QStringLiteral("O'Brien & Co."));
    type(form->edtName1, QStringLiteral("𠮷田 一郎"));
    type(form->cmbKeisho1, QStringLiteral("様"));
    type(form->edtKata31, QStringLiteral("   "));
    type(form->edtName3, QStringLiteral("髙橋 﨑子"));
    type(form->cmbKeisho3, QStringLiteral("ちゃん"));
    scripted().answers = {true};
    form->bbtnExecute->click();
    EXPECT_EQ(scripted().all(), QStringList({"question: 更新します。\r\nよろしいですか？", "information: 正常に更新されました。"}));
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(form->nedtKanriNo->value(), 0);
    EXPECT_EQ(shown(), QStringList(18, QString()));

    const QStringList first = {"  山田 太郎", "佐藤 花子", "新郎上司", "O'Brien & Co.", "𠮷田 一郎", "様",
                               " ", " ", " ", " ",
                               "   ", " ", "髙橋 﨑子", "ちゃん",
                               " ", " ", " ", " "};
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(stored(5), first);

    // Reopened: right-trimmed, leading blanks kept, position 3 still position 3.
    set(5);
    EXPECT_EQ(shown(), QStringList({"  山田 太郎", "佐藤 花子", "新郎上司", "O'Brien & Co.", "𠮷田 一郎", "様",
                                    "", "", "", "", "", "", "髙橋 﨑子", "ちゃん", "", "", "", ""}));

    // A second update changes the same row.
    type(form->edtName1, QString());
    type(form->edtName4, QStringLiteral("伊藤"));
    scripted().answers = {true};
    form->bbtnExecute->click();
    EXPECT_EQ(rows(), 1);
    QStringList second = first;
    second[4] = " ";
    second[10] = " "; // the blanks-only title was shown empty, so it is written as one blank
    second[16] = "伊藤";
    EXPECT_EQ(stored(5), second);

    // The menu's 雛壇設定 button opens this form.
    std::unique_ptr<QDialog> fromMenu(menuFormFactory(5)(nullptr));
    EXPECT_NE(qobject_cast<TFrmSetHinadan *>(fromMenu.get()), nullptr);
}

TEST_F(HinadanTest, CancelAndFailedUpdateKeepTheStoredRow)
{
    exec(QStringLiteral("INSERT INTO D_HINA (KANRINO, SINRONM, SINPUNM, NAME2, KEISHO2) "
                        "VALUES (5, '太郎  ', '花子', '木村', 'くん')"));
    const QStringList before = stored(5);

    set(5);
    EXPECT_EQ(form->edtSinroNm->text(), QStringLiteral("太郎"));
    EXPECT_EQ(form->cmbKeisho2->currentText(), QStringLiteral("くん"));
    type(form->edtSinroNm, QStringLiteral("次郎"));
    scripted().answers = {true};
    form->bbtnCancel->click();
    EXPECT_TRUE(form->isHeaderState());
    EXPECT_EQ(shown(), QStringList(18, QString()));
    EXPECT_EQ(stored(5), before);

    exec(QStringLiteral("CREATE TEMP TRIGGER no_update BEFORE UPDATE ON D_HINA "
                        "BEGIN SELECT RAISE(ABORT, 'locked'); END"));
    set(5);
    type(form->edtSinpuNm, QStringLiteral("桜子"));
    scripted().clear();
    scripted().answers = {true, false};
    form->bbtnExecute->click();
    EXPECT_EQ(scripted().all(), QStringList({"question: 更新します。\r\nよろしいですか？", "error: 雛壇情報書込みエラー",
                                             "question: 現在更新中のデータは保存されません。\r\n終了しますか？"}));
    EXPECT_EQ(scripted().texts(QStringLiteral("error")).size(), 1);
    // Still open in the input state with what was typed; nothing written.
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isHeaderState());
    EXPECT_EQ(form->edtSinpuNm->text(), QStringLiteral("桜子"));
    EXPECT_EQ(stored(5), before);
    EXPECT_EQ(rows(), 1);

    exec(QStringLiteral("DROP TRIGGER no_update"));
    scripted().answers = {true};
    form->bbtnExecute->click();
    EXPECT_EQ(stored(5).value(1), QStringLiteral("桜子"));
    EXPECT_EQ(stored(5).value(0), QStringLiteral("太郎")); // shown right-trimmed, written as shown
}

TEST_F(HinadanTest, EnterWalksTheSeatsInOrderAndEscapeAsksToClose)
{
    set(5);
    QStringList visited;
    for (int i = 0; i < 18; ++i) {
        QWidget *w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        visited << w->objectName();
        QTest::keyClick(w, Qt::Key_Return);
    }
    EXPECT_EQ(visited, QStringList({"edtSinroNm", "edtSinpuNm", "edtKata11", "edtKata12", "edtName1", "cmbKeisho1",
                                    "edtKata21", "edtKata22", "edtName2", "cmbKeisho2", "edtKata31", "edtKata32",
                                    "edtName3", "cmbKeisho3", "edtKata41", "edtKata42", "edtName4", "cmbKeisho4"}));
    ASSERT_EQ(QApplication::focusWidget(), form->bbtnExecute);

    // Enter on " 更 新 " asks; Esc asks the close question; No to both keeps the typing.
    type(form->edtName2, QStringLiteral("木村"));
    scripted().answers = {false, false};
    QTest::keyClick(form->bbtnExecute, Qt::Key_Return);
    QTest::keyClick(form->edtName2, Qt::Key_Escape);
    EXPECT_EQ(scripted().all(), QStringList({"question: 更新します。\r\nよろしいですか？",
                                             "question: 現在更新中のデータは保存されません。\r\n終了しますか？"}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->isHeaderState());
    EXPECT_EQ(form->edtName2->text(), QStringLiteral("木村"));
    EXPECT_EQ(rows(), 0);
}
