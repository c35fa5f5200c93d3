#include "FrmMenuU.h"
#include "FrmSetMenberU.h"
#include "TestEnv.h"
#include "TNumberEdit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTest>
#include <QTreeWidget>

namespace {

// The visible cells of every list row, joined by "|".
QStringList listed(const TFrmSetMenber &f)
{
    QStringList out;
    for (int i = 0; i < f.lstvMenber->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int j = 0; j < menber::CellCount; ++j)
            cells << f.lstvMenber->topLevelItem(i)->text(j);
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

void clickRow(TFrmSetMenber &f, int row)
{
    QTreeWidgetItem *item = f.lstvMenber->topLevelItem(row);
    ASSERT_NE(item, nullptr);
    QTest::mouseClick(f.lstvMenber->viewport(), Qt::LeftButton, {}, f.lstvMenber->visualItemRect(item).center());
}

class SetMenberTest : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        openFreshDatabase();
        exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM) VALUES (1, '山田家・佐藤家')"));
        exec(QStringLiteral("INSERT INTO D_HED (KANRINO, KANRINM) VALUES (2, '別の披露宴')"));
    }

    // The form shown and set to reception n.
    std::unique_ptr<TFrmSetMenber> openForm(int n)
    {
        auto f = std::make_unique<TFrmSetMenber>();
        f->show();
        f->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(f.get()));
        f->nedtKanriNo->setValue(n);
        f->bbtnSet->click();
        EXPECT_FALSE(f->isHeaderState());
        return f;
    }

    // Stored attendees of reception n: KJNNO|TBLROW|TBLCOL|TBLRL|SORTNO|KATA1|KATA2|NAME|KEISHO.
    QStringList stored(int n)
    {
        QSqlQuery q(dm.ADOCMDB());
        q.prepare(QStringLiteral("SELECT KJNNO, TBLROW, TBLCOL, TBLRL, SORTNO, KATA1, KATA2, NAME, KEISHO "
                                 "FROM D_TABLE WHERE KANRINO = ? ORDER BY KJNNO"));
        q.addBindValue(n);
        EXPECT_TRUE(q.exec());
        QStringList out;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < 9; ++i)
                cells << (q.isNull(i) ? QStringLiteral("NULL") : q.value(i).toString());
            out << cells.join(QLatin1Char('|'));
        }
        return out;
    }

    void update(TFrmSetMenber &f)
    {
        scripted().answers = {true};
        f.bbtnExecute->click();
    }

    // Three stored attendees with numbers 3, 7, 10: seated left at a named
    // table, seated right at an unnamed one, and not seated.
    void storeThree()
    {
        exec(QStringLiteral("INSERT INTO D_TABNM VALUES (1, 1, 1, '松  ')"));
        exec(QStringLiteral("INSERT INTO D_TABLE VALUES (1, 3, 1, 1, 0, 2, '部長  ', ' ', '青木', 'くん')"));
        exec(QStringLiteral("INSERT INTO D_TABLE VALUES (1, 7, 1, 2, 1, 5, '友人', NULL, '井上', '様 ')"));
        exec(QStringLiteral("INSERT INTO D_TABLE VALUES (1, 10, 0, 0, 0, 0, ' ', ' ', '上田', '様')"));
        exec(QStringLiteral("INSERT INTO D_TABLE VALUES (2, 1, 0, 0, 0, 0, ' ', ' ', '他家', '様')"));
    }
};

} // namespace

TEST(SetMenberRules, RowToStoredRecord)
{
    using menber::Cells;
    struct Case {
        Cells cells;
        int row, col, rl, sort;
        QString name, keisho, kata1, kata2;
    } cases[] = {
        // Seated right: only "右側" is the right side.
        {{"  井上　", "様 ", " 課長", "", "松", "2", "3", "右側", "4"}, 2, 3, 1, 4, "井上　", "様", "課長", " "},
        {{"青木", "くん", "部長", "  ", "", "1", "1", "左側", "2"}, 1, 1, 0, 2, "青木", "くん", "部長", " "},
        // Added in the form: one blank per seat cell reads as not seated.
        {{"", "   ", "\t", "　", " ", " ", " ", " ", " "}, 0, 0, 0, 0, "", " ", " ", "　"},
        // Not a decimal number reads 0.
        {{"O'Brien", "様", "x", "y", "", "x", "", " ", "7a"}, 0, 0, 0, 0, "O'Brien", "様", "x", "y"},
    };
    int position = 1;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cells[0].toStdString());
        const menber::Record r = menber::recordFromCells(c.cells, position);
        EXPECT_EQ(r.kjnNo, position);
        EXPECT_EQ(r.tblRow, c.row);
        EXPECT_EQ(r.tblCol, c.col);
        EXPECT_EQ(r.tblRl, c.rl);
        EXPECT_EQ(r.sortNo, c.sort);
        EXPECT_EQ(r.name, c.name);
        EXPECT_FALSE(r.name.isNull()); // written as text, never NULL
        EXPECT_EQ(r.keisho, c.keisho);
        EXPECT_EQ(r.kata1, c.kata1);
        EXPECT_EQ(r.kata2, c.kata2);
        ++position;
    }

    EXPECT_EQ(menber::moveTarget(3, 0, -1), -1);
    EXPECT_EQ(menber::moveTarget(3, 2, +1), -1);
    EXPECT_EQ(menber::moveTarget(3, -1, +1), -1);
    EXPECT_EQ(menber::moveTarget(3, 1, -1), 0);
    EXPECT_EQ(menber::moveTarget(3, 1, +1), 2);

    const std::array<int, menber::CellCount> at1000{200, 100, 200, 200, 100, 50, 50, 90, 0};
    EXPECT_EQ(menber::columnWidths(1000), at1000);
    const std::array<int, menber::CellCount> at733{147, 73, 147, 147, 73, 37, 37, 66, 0};
    EXPECT_EQ(menber::columnWidths(733), at733);
}

TEST_F(SetMenberTest, LayoutColumnsAndMenuEntry)
{
    auto f = openForm(1);
    EXPECT_EQ(f->windowTitle(), QStringLiteral("出席者入力"));
    EXPECT_EQ(f->statusTitle(), QStringLiteral("出席者入力"));
    EXPECT_EQ(f->minimumSize(), QSize(760, 540));
    QStringList captions;
    for (int i = 0; i < menber::CellCount; ++i)
        captions << f->lstvMenber->headerItem()->text(i);
    EXPECT_EQ(captions, QStringList({"名前", "敬称", "肩書き１", "肩書き２", "ﾃｰﾌﾞﾙ", "段", "列", "位置", ""}));

    f->resize(1100, 700);
    QApplication::processEvents();
    const auto expected = menber::columnWidths(f->lstvMenber->width());
    for (int i = 0; i < menber::SortNo; ++i)
        EXPECT_EQ(f->lstvMenber->columnWidth(i), expected[size_t(i)]) << i;
    EXPECT_GT(f->lstvMenber->columnWidth(0), 0.2 * 760);
    EXPECT_TRUE(f->lstvMenber->isColumnHidden(menber::SortNo));

    // Menu button 2 opens this form.
    const FormFactory factory = menuFormFactory(2);
    ASSERT_TRUE(bool(factory));
    std::unique_ptr<QDialog> fromMenu(factory(nullptr));
    EXPECT_NE(qobject_cast<TFrmSetMenber *>(fromMenu.get()), nullptr);
}

TEST_F(SetMenberTest, EditedListIsWrittenBackNumberedWithSeatsUnchanged)
{
    storeThree();
    auto f = openForm(1);
    // Loaded in number order despite the gaps; seats shown, trailing blanks dropped.
    EXPECT_EQ(listed(*f), QStringList({"青木|くん|部長||松|1|1|左側|2",
                                       "井上|様|友人|||1|2|右側|5",
                                       "上田|様||||||" " " "|0"}));
    EXPECT_EQ(f->lblNin->text(), QStringLiteral("3"));
    EXPECT_EQ(TFrmEditBase::inputColor(f->edtName), TFrmEditBase::White);
    EXPECT_EQ(QApplication::focusWidget(), f->edtKata1);

    // Select copies the row into the fields.
    clickRow(*f, 1);
    EXPECT_EQ(f->edtName->text(), QStringLiteral("井上"));
    EXPECT_EQ(f->cmbKeisho->currentText(), QStringLiteral("様"));
    EXPECT_EQ(f->edtKata1->text(), QStringLiteral("友人"));
    EXPECT_EQ(f->lblRow->text() + f->lblCol->text() + f->lblLR->text(), QStringLiteral("12右側"));

    // Change keeps the seat and the honorific box.
    type(f->edtName, QStringLiteral("井上 花子"));
    type(f->edtKata1, QStringLiteral("新婦友人"));
    f->bbtnUpd->click();
    EXPECT_EQ(f->lstvMenber->topLevelItem(1)->text(0), QStringLiteral("井上 花子"));
    EXPECT_EQ(f->lstvMenber->topLevelItem(1)->text(menber::Side), QStringLiteral("右側"));
    EXPECT_TRUE(f->lstvMenber->selectedItems().isEmpty());
    EXPECT_TRUE(f->edtName->text().isEmpty());
    EXPECT_TRUE(f->lblLR->text().isEmpty());
    EXPECT_EQ(f->cmbKeisho->currentText(), QStringLiteral("様"));

    // Add appends an unseated row and keeps the honorific box.
    type(f->edtName, QStringLiteral("江藤"));
    type(f->cmbKeisho, QStringLiteral("ちゃん"));
    f->bbtnIns->click();
    EXPECT_EQ(listed(*f).value(3), QStringLiteral("江藤|ちゃん||| | | | | "));
    EXPECT_EQ(f->lblNin->text(), QStringLiteral("4"));
    EXPECT_EQ(QApplication::focusWidget(), f->edtKata1);
    EXPECT_EQ(f->cmbKeisho->currentText(), QStringLiteral("ちゃん"));
    EXPECT_TRUE(f->edtName->text().isEmpty());
    EXPECT_TRUE(f->lstvMenber->selectedItems().isEmpty());

    // Remove asks with 様 whatever the honorific, then empties the honorific box.
    clickRow(*f, 0);
    scripted().answers = {true};
    f->bbtnDel->click();
    EXPECT_EQ(f->lblNin->text(), QStringLiteral("3"));
    EXPECT_TRUE(f->cmbKeisho->currentText().isEmpty());

    // The last row moved up stays selected and shown.
    clickRow(*f, 2);
    f->bbtnUp->click();
    ASSERT_EQ(f->lstvMenber->selectedItems().size(), 1);
    EXPECT_EQ(f->lstvMenber->indexOfTopLevelItem(f->lstvMenber->selectedItems().first()), 1);
    EXPECT_EQ(f->edtName->text(), QStringLiteral("江藤"));
    // Up again puts him first; the seated attendee takes his seat cells down.
    f->bbtnUp->click();
    EXPECT_EQ(listed(*f).mid(0, 2), QStringList({"江藤|ちゃん||| | | | | ", "井上 花子|様|新婦友人|||1|2|右側|5"}));

    update(*f);
    EXPECT_EQ(scripted().all(), QStringList({"question: 青木 様を削除します。\r\nよろしいですか？", "question: 更新します。\r\nよろしいですか？",
                                             "information: 正常に更新されました。"}));
    EXPECT_TRUE(f->isHeaderState());
    EXPECT_TRUE(f->bbtnSet->isVisible());
    EXPECT_FALSE(f->inputArea()->isEnabled());
    EXPECT_EQ(f->nedtKanriNo->value(), 0);
    EXPECT_EQ(f->lstvMenber->topLevelItemCount(), 0);
    EXPECT_EQ(TFrmEditBase::inputColor(f->edtName), TFrmEditBase::Silver);

    EXPECT_EQ(stored(1), QStringList({"1|0|0|0|0| | |江藤|ちゃん",
                                      "2|1|2|1|5|新婦友人| |井上 花子|様",
                                      "3|0|0|0|0| | |上田|様"}));
    // Other receptions and the table names are not touched.
    EXPECT_EQ(stored(2), QStringList({"1|0|0|0|0| | |他家|様"}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_TABNM")).toInt(), 1);
}

TEST_F(SetMenberTest, BlankTextsAndTrimming)
{
    auto f = openForm(1);
    // An empty name is asked about: No adds nothing, Yes adds the row.
    type(f->edtKata1, QStringLiteral("来賓"));
    scripted().answers = {false};
    f->bbtnIns->click();
    EXPECT_EQ(f->lstvMenber->topLevelItemCount(), 0);
    EXPECT_EQ(f->edtKata1->text(), QStringLiteral("来賓"));
    scripted().answers = {true};
    f->bbtnIns->click();
    EXPECT_EQ(scripted().texts(QStringLiteral("question")),
              QStringList(2, QStringLiteral("名前が未入力です。\r\nこのままでよろしいですか？")));

    type(f->edtName, QStringLiteral("  山田　"));
    type(f->edtKata1, QStringLiteral("   "));
    type(f->edtKata2, QStringLiteral("　肩書"));
    type(f->cmbKeisho, QStringLiteral("  "));
    f->bbtnIns->click();
    // Kept as typed in the list until the update.
    EXPECT_EQ(listed(*f).value(1), QStringLiteral("  山田　|  |   |　肩書| | | | | "));

    update(*f);
    EXPECT_EQ(stored(1), QStringList({"1|0|0|0|0|来賓| ||" " ", "2|0|0|0|0| |　肩書|山田　| "}));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM D_TABLE WHERE NAME IS NULL")).toInt(), 0);

    f->nedtKanriNo->setValue(1);
    f->bbtnSet->click();
    // Blanks come back empty; the full-width spaces stay.
    EXPECT_EQ(listed(*f), QStringList({"|" "|来賓||||| |0", "山田　|||　肩書|||| |0"}));
}

TEST_F(SetMenberTest, RowButtonsWithoutSelectionOrAtTheEnds)
{
    storeThree();
    auto f = openForm(1);
    const QStringList before = listed(*f);

    type(f->edtName, QStringLiteral("誰か"));
    f->bbtnUpd->click();
    f->bbtnDel->click();
    f->Delete1->trigger();
    EXPECT_EQ(scripted().all(), QStringList({"warning: 修正する方が選択されていません。", "warning: 削除する方が選択されていません。",
                                             "warning: 削除する方が選択されていません。"}));
    EXPECT_EQ(f->edtName->text(), QStringLiteral("誰か"));
    f->bbtnUp->click();
    f->bbtnDown->click();
    EXPECT_EQ(listed(*f), before);

    clickRow(*f, 0);
    f->edtName->setFocus();
    f->bbtnUp->click();
    EXPECT_EQ(listed(*f), before);
    EXPECT_EQ(QApplication::focusWidget(), f->lstvMenber);
    clickRow(*f, 2);
    f->bbtnDown->click();
    EXPECT_EQ(listed(*f), before);

    // The popup item removes too; answering No keeps the row.
    clickRow(*f, 0);
    scripted().clear();
    scripted().answers = {false, true};
    f->Delete1->trigger();
    EXPECT_EQ(listed(*f), before);
    f->Delete1->trigger();
    EXPECT_EQ(listed(*f), before.mid(1));
    EXPECT_EQ(scripted().all(), QStringList(2, QStringLiteral("question: 青木 様を削除します。\r\nよろしいですか？")));

    // Every row removed: the update deletes the reception's attendees only.
    for (int i = 0; i < 2; ++i) {
        clickRow(*f, 0);
        scripted().answers = {true};
        f->bbtnDel->click();
    }
    EXPECT_EQ(f->lblNin->text(), QStringLiteral("0"));
    update(*f);
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList({"正常に更新されました。"}));
    EXPECT_TRUE(stored(1).isEmpty());
    EXPECT_EQ(stored(2).size(), 1);
}

TEST_F(SetMenberTest, FailedUpdateLeavesStoredAttendeesAsTheyWere)
{
    storeThree();
    const QStringList before = stored(1);
    exec(QStringLiteral("CREATE TEMP TRIGGER fail_second BEFORE INSERT ON D_TABLE WHEN NEW.KJNNO = 2 "
                        "BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    auto f = openForm(1);
    type(f->edtName, QStringLiteral("新しい人"));
    f->bbtnIns->click();
    const QStringList list = listed(*f);

    // Update fails on the second row; the user keeps the form open.
    scripted().answers = {true, false};
    f->bbtnExecute->click();
    EXPECT_EQ(scripted().all(), QStringList({"question: 更新します。\r\nよろしいですか？", "error: 出席者情報書込みエラー",
                                             "question: 現在更新中のデータは保存されません。\r\n終了しますか？"}));
    EXPECT_EQ(scripted().texts(QStringLiteral("error")).size(), 1);
    EXPECT_EQ(stored(1), before);
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(f->isHeaderState());
    EXPECT_EQ(listed(*f), list);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Once the fault is gone the same list is written.
    exec(QStringLiteral("DROP TRIGGER fail_second"));
    scripted().clear();
    update(*f);
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList({"正常に更新されました。"}));
    EXPECT_EQ(stored(1).size(), 4);
    EXPECT_EQ(stored(1).value(3), QStringLiteral("4|0|0|0|0| | |新しい人| "));

    // Answering Yes to the close question closes the form.
    exec(QStringLiteral("CREATE TEMP TRIGGER fail_all BEFORE INSERT ON D_TABLE BEGIN SELECT RAISE(ABORT, 'x'); END"));
    f->nedtKanriNo->setValue(1);
    f->bbtnSet->click();
    scripted().answers = {true, true};
    f->bbtnExecute->click();
    EXPECT_FALSE(f->isVisible());
    EXPECT_EQ(stored(1).size(), 4);
}

TEST_F(SetMenberTest, NewUserTypesTenGuestsAndFindsThemAgain)
{
    auto f = openForm(1);
    // A character beyond Shift_JIS counts 2 bytes: 16 of them stop at 15.
    type(f->edtName, QString(QStringLiteral("𠮷")).repeated(16));
    EXPECT_EQ(f->edtName->text(), QString(QStringLiteral("𠮷")).repeated(15));
    type(f->cmbKeisho, QStringLiteral("ちゃんだ"));
    EXPECT_EQ(f->cmbKeisho->currentText(), QStringLiteral("ちゃん"));

    struct Guest {
        const char *kata1, *kata2, *name, *keisho;
    } guests[] = {
        {"新郎上司", "株式会社山田商事 部長", "𠮷田 太郎", "様"},
        {"新郎友人", "", "O'Brien", "様"},
        {"", "", "髙橋 﨑子", "様"},
        {"新婦恩師", "さくら小学校", "佐藤 一郎", "様"},
        {"新郎甥", "", "山田 翔", "くん"},
        {"新婦姪", "", "鈴木 花", "ちゃん"},
        {"新郎友人", "", "田中 健", "様"},
        {"新婦友人", "", "伊藤 恵", "様"},
        {"新郎親族", "叔父", "山田 二郎", "様"},
        {"新婦親族", "叔母", "鈴木 良子", "様"},
    };
    for (const Guest &g : guests) {
        type(f->edtKata1, QString::fromUtf8(g.kata1));
        type(f->edtKata2, QString::fromUtf8(g.kata2));
        type(f->edtName, QString::fromUtf8(g.name));
        type(f->cmbKeisho, QString::fromUtf8(g.keisho));
        f->bbtnIns->click();
    }
    EXPECT_EQ(f->lblNin->text(), QStringLiteral("10"));
    // O'Brien to the top, 田中 removed.
    clickRow(*f, 1);
    f->bbtnUp->click();
    clickRow(*f, 6);
    EXPECT_EQ(f->edtName->text(), QStringLiteral("田中 健"));
    scripted().answers = {true};
    f->bbtnDel->click();
    update(*f);
    EXPECT_EQ(scripted().texts(QStringLiteral("information")), QStringList({"正常に更新されました。"}));

    f.reset();
    auto again = openForm(1);
    QStringList names;
    for (int i = 0; i < again->lstvMenber->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *it = again->lstvMenber->topLevelItem(i);
        names << it->text(menber::Kata1) + QLatin1Char('/') + it->text(menber::Kata2) + QLatin1Char('/')
                     + it->text(menber::Name) + QLatin1Char('/') + it->text(menber::Keisho);
    }
    EXPECT_EQ(names, QStringList({"新郎友人//O'Brien/様", "新郎上司/株式会社山田商事 部長/𠮷田 太郎/様",
                                  "//髙橋 﨑子/様", "新婦恩師/さくら小学校/佐藤 一郎/様", "新郎甥//山田 翔/くん",
                                  "新婦姪//鈴木 花/ちゃん", "新婦友人//伊藤 恵/様", "新郎親族/叔父/山田 二郎/様",
                                  "新婦親族/叔母/鈴木 良子/様"}));
    EXPECT_EQ(again->lblNin->text(), QStringLiteral("9"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT NAME FROM D_TABLE WHERE KANRINO = 1 AND KJNNO = 2")).toString(),
              QStringLiteral("𠮷田 太郎"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT MAX(KJNNO) FROM D_TABLE WHERE KANRINO = 1")).toInt(), 9);
}

TEST_F(SetMenberTest, KeyboardOnlyEntryAndEscape)
{
    auto f = openForm(1);
    // Enter walks the fields to " 登 録 " and then presses it.
    const QStringList typed = {"新郎友人", "", "田中 健", "くん"};
    QStringList visited;
    for (const QString &t : typed) {
        QWidget *w = QApplication::focusWidget();
        ASSERT_NE(w, nullptr);
        visited << w->objectName();
        if (auto *e = qobject_cast<QLineEdit *>(w))
            type(e, t);
        else if (auto *c = qobject_cast<QComboBox *>(w))
            type(c, t);
        QTest::keyClick(w, Qt::Key_Return);
    }
    visited << QApplication::focusWidget()->objectName();
    EXPECT_EQ(visited, QStringList({"edtKata1", "edtKata2", "edtName", "cmbKeisho", "bbtnIns"}));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(listed(*f), QStringList({"田中 健|くん|新郎友人|| | | | | "}));
    EXPECT_EQ(QApplication::focusWidget(), f->edtKata1);
    EXPECT_TRUE(scripted().asked.isEmpty());

    // Esc asks the close question; No keeps the unsaved list.
    scripted().answers = {false};
    QTest::keyClick(f->edtKata1, Qt::Key_Escape);
    EXPECT_EQ(scripted().all(), QStringList({"question: 現在更新中のデータは保存されません。\r\n終了しますか？"}));
    EXPECT_TRUE(f->isVisible());
    EXPECT_EQ(listed(*f).size(), 1);
}
