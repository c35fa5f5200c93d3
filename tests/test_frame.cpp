// The base form and the editing-form frame, proven with a small form.
#include "FrmEditBaseU.h"
#include "FrmSrcKanriU.h"
#include "TNumberEdit.h"
#include "TestEnv.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// A form that loads the reception's name into one resettable input.
class TFrmSample : public TFrmEditBase
{
public:
    explicit TFrmSample(const EditFormSettings &s = {}) : TFrmEditBase(s)
    {
        edtTitle = new QLineEdit(inputArea());
        edtTitle->setObjectName(QStringLiteral("edtTitle"));
        edtTitle->setProperty("Tag", 1);
        setHint(edtTitle, QStringLiteral("題名|披露宴の題名です。"));
        memo = new QPlainTextEdit(inputArea());
        auto *l = new QVBoxLayout(inputArea());
        l->addWidget(edtTitle);
        l->addWidget(memo);
    }
    QLineEdit *edtTitle;
    QPlainTextEdit *memo;
    int loaded = 0;
    QString extraRefusal;

protected:
    bool checkOnSet(int n) override
    {
        if (!TFrmEditBase::checkOnSet(n))
            return false;
        if (!extraRefusal.isEmpty()) {
            refuse(extraRefusal);
            return false;
        }
        return true;
    }
    void loadInput(int n) override
    {
        loaded = n;
        TQuery q;
        q << QStringLiteral("SELECT ENTITLE FROM D_HED WHERE KANRINO = :KANRINO");
        q.SetParam(QStringLiteral("KANRINO"), n);
        q.Open();
        edtTitle->setText(q.AsString(QStringLiteral("ENTITLE")));
        q.Close();
        q << QStringLiteral("SELECT COUNT(*) AS N FROM D_TABLE WHERE KANRINO = :KANRINO");
        q.SetParam(QStringLiteral("KANRINO"), n);
        q.Open();
    }
};

void showAndActivate(QWidget &w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}
} // namespace

class Frame : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
        exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM, ENTITLE) VALUES (12, '  O''Brien 様  ', '御結婚披露宴')"));
        exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM) VALUES (3, NULL)"));
    }
};

TEST_F(Frame, HeaderAndInputStates)
{
    TFrmSample f;
    showAndActivate(f);
    EXPECT_TRUE(f.isHeaderState());
    EXPECT_TRUE(f.bbtnSet->isVisible());
    EXPECT_FALSE(f.bbtnCancel->isVisible());
    EXPECT_FALSE(f.bbtnExecute->isVisible());
    EXPECT_FALSE(f.inputArea()->isEnabled());
    EXPECT_EQ(TFrmEditBase::inputColor(f.edtTitle), TFrmEditBase::Silver);
    EXPECT_EQ(TFrmEditBase::inputColor(f.nedtKanriNo), TFrmEditBase::White);
    EXPECT_EQ(f.bbtnCancel->text(), QStringLiteral(" ｷｬﾝｾﾙ "));
    EXPECT_EQ(f.bbtnCancel->statusTip(), QStringLiteral("入力をキャンセルします。"));
    EXPECT_EQ(f.bbtnCancel->focusPolicy() & Qt::TabFocus, 0); // skipped by Tab

    // Refusals keep the header state and focus the number box.
    struct Case {
        int number;
        QString extra;
        QString warning;
    } refusals[] = {
        {0, {}, QStringLiteral("管理番号が入力されていません。")},
        {99, {}, QStringLiteral("登録されていない管理番号です。")},
        {12, QStringLiteral("出席者が登録されていません。"), QStringLiteral("出席者が登録されていません。")},
    };
    for (const Case &c : refusals) {
        scripted().asked.clear();
        f.extraRefusal = c.extra;
        f.nedtKanriNo->setValue(c.number);
        f.bbtnSet->click();
        EXPECT_EQ(scripted().texts(QStringLiteral("warning")), QStringList{c.warning});
        EXPECT_TRUE(f.isHeaderState());
        EXPECT_EQ(QApplication::focusWidget(), f.nedtKanriNo);
    }
    f.extraRefusal.clear();

    f.nedtKanriNo->setValue(12);
    f.bbtnSet->click();
    EXPECT_FALSE(f.isHeaderState());
    EXPECT_EQ(f.loaded, 12);
    EXPECT_EQ(f.edtTitle->text(), QStringLiteral("御結婚披露宴"));
    EXPECT_EQ(TFrmEditBase::inputColor(f.edtTitle), TFrmEditBase::White);
    EXPECT_EQ(TFrmEditBase::inputColor(f.nedtKanriNo), TFrmEditBase::Silver);
    EXPECT_FALSE(f.bbtnSet->isVisible());
    EXPECT_TRUE(f.bbtnCancel->isVisible());
    EXPECT_TRUE(f.bbtnExecute->isVisible());
    EXPECT_FALSE(f.pnlKanri->isEnabled());
    EXPECT_TRUE(f.inputArea()->isEnabled());

    // Cancel: No keeps everything, Yes returns to the header emptied.
    f.edtTitle->setText(QStringLiteral("typed"));
    scripted().asked.clear();
    scripted().answers = {false, true};
    f.bbtnCancel->click();
    EXPECT_FALSE(f.isHeaderState());
    EXPECT_EQ(f.edtTitle->text(), QStringLiteral("typed"));
    f.bbtnCancel->click();
    EXPECT_EQ(scripted().texts(QStringLiteral("question")),
              (QStringList{QStringLiteral("管理番号入力に戻りますか？"), QStringLiteral("管理番号入力に戻りますか？")}));
    EXPECT_TRUE(f.isHeaderState());
    EXPECT_EQ(f.nedtKanriNo->value(), 0);
    EXPECT_TRUE(f.lblKanriNm->text().isEmpty());
    EXPECT_TRUE(f.edtTitle->text().isEmpty());
    EXPECT_EQ(QApplication::focusWidget(), f.nedtKanriNo);
}

TEST_F(Frame, NumberLookupOnLeavingTheBox)
{
    TFrmSample plain;
    EditFormSettings editable;
    editable.editableName = true;
    TFrmSample registration(editable);

    plain.nedtKanriNo->setValue(12);
    plain.nedtKanriNoExit();
    EXPECT_EQ(plain.lblKanriNm->text(), QStringLiteral("O'Brien 様")); // blanks around removed
    plain.nedtKanriNo->setValue(3);
    plain.nedtKanriNoExit();
    EXPECT_TRUE(plain.lblKanriNm->text().isEmpty()); // NULL name
    plain.lblKanriNm->setText(QStringLiteral("x"));
    plain.nedtKanriNo->setValue(77);
    plain.nedtKanriNoExit();
    EXPECT_TRUE(plain.lblKanriNm->text().isEmpty()); // unregistered

    // The registration form keeps what was typed on a miss.
    registration.edtKanriNm->setText(QStringLiteral("新しい披露宴"));
    registration.nedtKanriNo->setValue(77);
    registration.nedtKanriNoExit();
    EXPECT_EQ(registration.edtKanriNm->text(), QStringLiteral("新しい披露宴"));
    registration.nedtKanriNo->setValue(12);
    registration.nedtKanriNoExit();
    EXPECT_EQ(registration.edtKanriNm->text(), QStringLiteral("O'Brien 様"));
}

TEST_F(Frame, CloseQuestionTextsPerState)
{
    EditFormSettings list;
    list.inputCloseText = QStringLiteral("印刷されていません。\r\n終了しますか？");
    EditFormSettings print;
    print.inputCloseText.clear();
    struct Case {
        EditFormSettings settings;
        QString header, input;
    } cases[] = {
        {EditFormSettings{}, QStringLiteral("終了しますか？"), QStringLiteral("現在更新中のデータは保存されません。\r\n終了しますか？")},
        {list, QStringLiteral("終了しますか？"), QStringLiteral("印刷されていません。\r\n終了しますか？")},
        {print, QStringLiteral("終了しますか？"), QStringLiteral("終了しますか？")},
    };
    for (const Case &c : cases) {
        TFrmSample f(c.settings);
        showAndActivate(f);
        scripted().asked.clear();
        scripted().answers = {false};
        QTest::keyClick(f.nedtKanriNo, Qt::Key_Escape); // Esc asks; No keeps the form
        EXPECT_TRUE(f.isVisible());
        f.nedtKanriNo->setValue(12);
        f.bbtnSet->click();
        f.edtTitle->setText(QStringLiteral("unsaved"));
        scripted().answers = {false, true};
        f.bbtnClose->click();
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.edtTitle->text(), QStringLiteral("unsaved"));
        f.close();
        EXPECT_FALSE(f.isVisible());
        EXPECT_EQ(scripted().texts(QStringLiteral("question")), (QStringList{c.header, c.input, c.input}));
    }
}

TEST_F(Frame, SearchPicksANumber)
{
    TFrmSample f;
    showAndActivate(f);
    TFrmSrcKanri::execHook = [](TFrmSrcKanri &dlg) {
        dlg.loadRows();
        EXPECT_EQ(dlg.rowCount(), 2);
        dlg.DBGKanri->selectRow(1);
        dlg.bbtnExecuteClick();
        return dlg.result();
    };
    f.spbKanriSrcClick();
    EXPECT_EQ(f.nedtKanriNo->value(), 12);
    EXPECT_EQ(f.lblKanriNm->text(), QStringLiteral("O'Brien 様"));
    EXPECT_EQ(QApplication::focusWidget(), f.bbtnSet);

    TFrmSrcKanri::execHook = [](TFrmSrcKanri &dlg) { dlg.reject(); return dlg.result(); };
    f.spbKanriSrcClick();
    EXPECT_EQ(f.nedtKanriNo->value(), 12); // unchanged
    EXPECT_EQ(QApplication::focusWidget(), f.nedtKanriNo);
}

TEST_F(Frame, SearchDialogRowsButtonsAndColumns)
{
    {
        TFrmSrcKanri dlg;
        dlg.resize(434, 300);
        dlg.show();
        EXPECT_EQ(dlg.windowTitle(), QStringLiteral("管理番号選択"));
        EXPECT_EQ(dlg.statusTitle(), QStringLiteral("管理番号選択"));
        EXPECT_EQ(dlg.rowCount(), 2);
        EXPECT_TRUE(dlg.bbtnExecute->isEnabled());
        EXPECT_EQ(dlg.DBGKanri->model()->index(0, 0).data().toString(), QStringLiteral("3"));
        EXPECT_EQ(dlg.DBGKanri->model()->index(0, 1).data().toString(), QString()); // NULL name
        EXPECT_EQ(dlg.DBGKanri->model()->index(1, 1).data().toString(), QStringLiteral("  O'Brien 様  "));
        const auto [c1, c2] = TFrmSrcKanri::columnWidths(dlg.DBGKanri->width());
        EXPECT_EQ(dlg.DBGKanri->columnWidth(0), c1);
        EXPECT_EQ(dlg.DBGKanri->columnWidth(1), c2);
        EXPECT_EQ(dlg.minimumSize(), QSize(300, 200));
        QTest::keyClick(dlg.DBGKanri, Qt::Key_Escape); // Esc = Cancel, no question
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(dlg.SelectedNo, 0);
        EXPECT_TRUE(scripted().asked.isEmpty());
    }
    EXPECT_EQ(TFrmSrcKanri::columnWidths(334), (std::pair<int, int>{60, 240}));
    EXPECT_EQ(TFrmSrcKanri::columnWidths(100), (std::pair<int, int>{13, 52}));

    exec(QStringLiteral("DELETE FROM D_HED"));
    TFrmSrcKanri empty;
    empty.show();
    EXPECT_EQ(empty.rowCount(), 0);
    EXPECT_FALSE(empty.bbtnExecute->isEnabled());
    empty.bbtnExecuteClick(); // a double click on an empty grid does nothing
    EXPECT_EQ(empty.SelectedNo, 0);
    EXPECT_TRUE(empty.isVisible());

    // A query that fails is shown with the database's text; nothing to choose.
    exec(QStringLiteral("DROP TABLE D_HED"));
    TFrmSrcKanri failing;
    failing.show();
    const QStringList errors = scripted().texts(QStringLiteral("error"));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("D_HED"))) << errors[0].toStdString();
    EXPECT_EQ(failing.rowCount(), 0);
    EXPECT_FALSE(failing.bbtnExecute->isEnabled());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Frame, StatusBarClockHintsAndKeys)
{
    TFrmSample f;
    showAndActivate(f);
    EXPECT_EQ(f.stb()->panel(0)->width(), 80);
    EXPECT_EQ(f.stb()->panel(1)->width(), 50);
    EXPECT_EQ(f.stb()->panel(2)->width(), 100);
    EXPECT_GE(f.stb()->panel(3)->width(), 200);
    EXPECT_EQ(f.stb()->panelText(0), QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
    f.Timer1TimerAt(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    EXPECT_EQ(f.stb()->panelText(0), QStringLiteral("2026/12/31"));
    EXPECT_EQ(f.stb()->panelText(1), QStringLiteral("23:59"));
    f.Timer1TimerAt(QDateTime(QDate(2027, 1, 1), QTime(0, 0, 1)));
    EXPECT_EQ(f.stb()->panelText(0), QStringLiteral("2027/01/01"));
    EXPECT_EQ(f.stb()->panelText(1), QStringLiteral("00:00"));

    // The long hint of the control under the mouse reaches panel 3.
    QStatusTipEvent tip(f.edtTitle->statusTip());
    QApplication::sendEvent(f.edtTitle, &tip);
    EXPECT_EQ(f.stb()->panelText(3), QStringLiteral("披露宴の題名です。"));
    EXPECT_EQ(f.edtTitle->toolTip(), QStringLiteral("題名"));

    // Enter moves on, except in a multi-line editor.
    f.nedtKanriNo->setValue(12);
    f.bbtnSet->click();
    f.edtTitle->setFocus();
    QTest::keyClick(f.edtTitle, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.memo);
    QTest::keyClick(f.memo, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.memo);
    EXPECT_EQ(f.memo->toPlainText(), QStringLiteral("\n"));
}

TEST_F(Frame, UncaughtDatabaseErrorEndsTheActionOnly)
{
    TFrmSample f;
    showAndActivate(f);
    exec(QStringLiteral("DROP TABLE D_HED"));
    f.nedtKanriNo->setValue(12);
    // Through the application's event handling: the lookup on leaving the
    // number box and the set itself both fail and are both reported.
    QTest::mouseClick(f.bbtnSet, Qt::LeftButton);
    const QStringList errors = scripted().texts(QStringLiteral("error"));
    ASSERT_FALSE(errors.isEmpty());
    for (const QString &e : errors)
        EXPECT_TRUE(e.contains(QStringLiteral("D_HED"))) << e.toStdString();
    EXPECT_TRUE(f.isVisible());
    EXPECT_TRUE(f.isHeaderState());

    // A load that fails half-way leaves the whole form in the header state.
    scripted().asked.clear();
    exec(QStringLiteral("CREATE TABLE D_HED (KANRINO INTEGER PRIMARY KEY, KANRINM TEXT, ENTITLE TEXT)"));
    exec(QStringLiteral("INSERT INTO D_HED VALUES (12, 'x', '題')"));
    exec(QStringLiteral("DROP TABLE D_TABLE"));
    QTest::mouseClick(f.bbtnSet, Qt::LeftButton);
    ASSERT_EQ(scripted().texts(QStringLiteral("error")).size(), 1);
    EXPECT_TRUE(f.isHeaderState());
    EXPECT_TRUE(f.bbtnSet->isVisible());
    EXPECT_FALSE(f.bbtnExecute->isVisible());
    EXPECT_TRUE(f.pnlKanri->isEnabled());
    EXPECT_FALSE(f.inputArea()->isEnabled());
    EXPECT_TRUE(f.edtTitle->text().isEmpty());
    EXPECT_EQ(TFrmEditBase::inputColor(f.nedtKanriNo), TFrmEditBase::White);
    EXPECT_EQ(f.nedtKanriNo->value(), 12);
}
