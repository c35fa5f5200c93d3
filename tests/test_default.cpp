// Defaults form: loading M_SYSTEM row 1 and writing it back.
#include "TestEnv.h"

#include "FrmDefaultU.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

namespace {

const QString AskUpdate = QStringLiteral("この内容で更新します。\r\nよろしいですか？");
const QString Updated = QStringLiteral("更新しました。");

class DefaultTest : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
    }

    std::unique_ptr<TFrmDefault> openForm()
    {
        auto form = std::make_unique<TFrmDefault>();
        form->show();
        return form;
    }

    void pressUpdate(TFrmDefault &form)
    {
        scripted().answers.push_back(true);
        QTest::mouseClick(form.bbtnExecute, Qt::LeftButton);
    }

    QVariant sys(const QString &column)
    {
        return scalar(QStringLiteral("SELECT %1 FROM M_SYSTEM WHERE CD = 1").arg(column));
    }
};

} // namespace

TEST_F(DefaultTest, LoadsAndWritesBackEveryValue)
{
    exec(QStringLiteral("UPDATE M_SYSTEM SET NUM1 = 5, NUM2 = 2, STR1 = '  O''Brien様 ありがとう  ',"
                        " STR2 = '/pics/it''s table.png', STR3 = '/pics/back.jpg' WHERE CD = 1"));
    auto form = openForm();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("キボラ"));
    EXPECT_EQ(form->statusTitle(), QStringLiteral("初期値設定"));
    EXPECT_EQ(form->lblBanner->text(), QStringLiteral("■　初期値設定処理　■"));
    EXPECT_TRUE(form->chkDateOut->isChecked());
    EXPECT_EQ(form->tableShape(), 2);
    EXPECT_TRUE(form->spbTable->isEnabled());
    EXPECT_EQ(form->lblTable->text(), QStringLiteral("/pics/it's table.png"));
    EXPECT_EQ(form->lblWPaper->text(), QStringLiteral("/pics/back.jpg"));
    EXPECT_EQ(form->edtEndStr->text(), QStringLiteral("  O'Brien様 ありがとう  "));

    pressUpdate(*form);
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{AskUpdate});
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList{Updated});
    EXPECT_FALSE(form->isVisible()); // closed without a question
    EXPECT_EQ(sys(QStringLiteral("NUM1")).toInt(), 1);
    EXPECT_EQ(sys(QStringLiteral("NUM2")).toInt(), 2);
    // Trailing blanks go, leading ones stay.
    EXPECT_EQ(sys(QStringLiteral("STR1")).toString(), QStringLiteral("  O'Brien様 ありがとう"));
    EXPECT_EQ(sys(QStringLiteral("STR2")).toString(), QStringLiteral("/pics/it's table.png"));
    EXPECT_EQ(sys(QStringLiteral("STR3")).toString(), QStringLiteral("/pics/back.jpg"));
}

TEST_F(DefaultTest, EmptiedValuesAreStoredAsNull)
{
    exec(QStringLiteral("UPDATE M_SYSTEM SET NUM1 = 0, NUM2 = 2, STR1 = '末尾', STR2 = '/pics/table.png',"
                        " STR3 = '/pics/back.jpg' WHERE CD = 1"));
    auto form = openForm();
    // Square drops the table picture; picture again does not bring it back.
    QTest::mouseClick(form->rdgTableItems[1], Qt::LeftButton);
    EXPECT_TRUE(form->lblTable->text().isEmpty());
    EXPECT_FALSE(form->spbTable->isEnabled());
    QTest::mouseClick(form->rdgTableItems[2], Qt::LeftButton);
    EXPECT_TRUE(form->lblTable->text().isEmpty());
    QTest::mouseClick(form->spbClear, Qt::LeftButton);
    EXPECT_TRUE(form->lblWPaper->text().isEmpty());
    form->edtEndStr->setText(QStringLiteral(" \t  "));
    QTest::mouseClick(form->chkDateOut, Qt::LeftButton);
    pressUpdate(*form);

    EXPECT_EQ(sys(QStringLiteral("NUM1")).toInt(), 1);
    EXPECT_EQ(sys(QStringLiteral("NUM2")).toInt(), 2);
    EXPECT_TRUE(sys(QStringLiteral("STR1")).isNull());
    EXPECT_TRUE(sys(QStringLiteral("STR2")).isNull());
    EXPECT_TRUE(sys(QStringLiteral("STR3")).isNull());
}

TEST_F(DefaultTest, PicturesComeFromTheDialogs)
{
    auto form = openForm();
    EXPECT_EQ(form->tableShape(), 0);
    EXPECT_FALSE(form->spbTable->isEnabled());
    QTest::mouseClick(form->rdgTableItems[2], Qt::LeftButton);
    scripted().files = {QStringLiteral("/pics/t.gif"), QStringLiteral("/pics/b.ico")};
    QTest::mouseClick(form->spbTable, Qt::LeftButton);
    QTest::mouseClick(form->spbWPaper, Qt::LeftButton);
    QTest::mouseClick(form->spbWPaper, Qt::LeftButton); // cancelled: keeps the picture
    EXPECT_EQ(form->lblTable->text(), QStringLiteral("/pics/t.gif"));
    EXPECT_EQ(form->lblWPaper->text(), QStringLiteral("/pics/b.ico"));
    pressUpdate(*form);
    EXPECT_EQ(sys(QStringLiteral("NUM1")).toInt(), 0);
    EXPECT_EQ(sys(QStringLiteral("NUM2")).toInt(), 2);
    EXPECT_EQ(sys(QStringLiteral("STR2")).toString(), QStringLiteral("/pics/t.gif"));
    EXPECT_EQ(sys(QStringLiteral("STR3")).toString(), QStringLiteral("/pics/b.ico"));
}

TEST_F(DefaultTest, NoAnswerAndCloseChangeNothing)
{
    exec(QStringLiteral("UPDATE M_SYSTEM SET NUM2 = 1, STR1 = 'そのまま' WHERE CD = 1"));
    auto form = openForm();
    form->edtEndStr->setText(QStringLiteral("変更"));
    scripted().answers = {false};
    QTest::mouseClick(form->bbtnExecute, Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    QTest::mouseClick(form->bbtnClose, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(scripted().texts(QStringLiteral("question")), QStringList{AskUpdate});
    EXPECT_EQ(sys(QStringLiteral("STR1")).toString(), QStringLiteral("そのまま"));
    EXPECT_EQ(sys(QStringLiteral("NUM2")).toInt(), 1);
}

TEST_F(DefaultTest, MissingRowKeepsTheDesignState)
{
    exec(QStringLiteral("DELETE FROM M_SYSTEM"));
    auto form = openForm();
    EXPECT_FALSE(form->chkDateOut->isChecked());
    EXPECT_EQ(form->tableShape(), 0);
    EXPECT_TRUE(form->edtEndStr->text().isEmpty());
    // Nothing can be saved without the row: said so, never "更新しました。".
    pressUpdate(*form);
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList());
    EXPECT_EQ(scripted().texts(QStringLiteral("warning")),
              QStringList{QStringLiteral("初期値データが登録されていないため、更新できませんでした。")});
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM M_SYSTEM")).toInt(), 0);
}

TEST_F(DefaultTest, EnterPassesThePictureButtonsBy)
{
    auto form = openForm();
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    form->chkDateOut->setFocus();
    QStringList visited;
    for (int i = 0; i < 8 && !qobject_cast<QPushButton *>(QApplication::focusWidget()); ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    }
    visited << QApplication::focusWidget()->objectName();
    EXPECT_EQ(visited, QStringList({"chkDateOut", "rdgTable0", "edtEndStr", "bbtnExecute"}));
    EXPECT_TRUE(scripted().asked.isEmpty());
}
