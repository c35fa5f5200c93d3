#include "FrmSetHinadanU.h"

#include "ByteLimit.h"
#include "Prompter.h"
#include "TNumberEdit.h"
#include "TextRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
EditFormSettings hinadanSettings()
{
    EditFormSettings s;
    s.executeHint = QStringLiteral("雛壇の情報を更新します。");
    return s;
}

QLineEdit *makeEdit(const QString &name, const QString &hint, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    setHint(e, hint);
    ByteLimit::apply(e, 30);
    e->setProperty("Tag", 1);
    return e;
}

QComboBox *makeKeisho(const QString &name, QWidget *parent)
{
    auto *c = new QComboBox(parent);
    c->setObjectName(name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems({QStringLiteral("様"), QStringLiteral("くん"), QStringLiteral("ちゃん")});
    c->setCurrentIndex(-1);
    c->clearEditText();
    ByteLimit::apply(c, 6);
    return c;
}
} // namespace

QString TFrmSetHinadan::Field::text() const { return edit ? edit->text() : combo->currentText(); }

void TFrmSetHinadan::Field::setText(const QString &t) const
{
    if (edit)
        edit->setText(t);
    else
        combo->setEditText(t);
}

QString TFrmSetHinadan::storedText(const QString &typed)
{
    return typed.isEmpty() ? QStringLiteral(" ") : typed;
}

TFrmSetHinadan::TFrmSetHinadan(QWidget *parent) : TFrmEditBase(hinadanSettings(), parent)
{
    setObjectName(QStringLiteral("FrmSetHinadan"));
    setWindowTitle(QStringLiteral("雛壇設定"));
    setStatusTitle(QStringLiteral("雛壇設定"));
    setHint(bbtnClose, QStringLiteral("終了します。"));

    QWidget *area = inputArea();
    edtSinroNm = makeEdit(QStringLiteral("edtSinroNm"), QStringLiteral("新郎名前|新郎の名前を入力してください。"), area);
    edtSinpuNm = makeEdit(QStringLiteral("edtSinpuNm"), QStringLiteral("新婦名前|新婦の名前を入力してください。"), area);

    QLineEdit **kata1[4] = {&edtKata11, &edtKata21, &edtKata31, &edtKata41};
    QLineEdit **kata2[4] = {&edtKata12, &edtKata22, &edtKata32, &edtKata42};
    QLineEdit **names[4] = {&edtName1, &edtName2, &edtName3, &edtName4};
    QComboBox **keisho[4] = {&cmbKeisho1, &cmbKeisho2, &cmbKeisho3, &cmbKeisho4};
    static const char *const captions[4] = {"　左から１番目　", "　左から２番目　", "　左から３番目　", "　左から４番目　"};

    QGroupBox *groups[4];
    for (int i = 0; i < 4; ++i) {
        const QString n = QString::number(i + 1);
        auto *g = new QGroupBox(QString::fromUtf8(captions[i]), area);
        g->setObjectName(QStringLiteral("grpHina") + n);
        *kata1[i] = makeEdit(QStringLiteral("edtKata") + n + QLatin1Char('1'), QStringLiteral("肩書き１"), g);
        *kata2[i] = makeEdit(QStringLiteral("edtKata") + n + QLatin1Char('2'), QStringLiteral("肩書き２"), g);
        *names[i] = makeEdit(QStringLiteral("edtName") + n, QStringLiteral("名前"), g);
        *keisho[i] = makeKeisho(QStringLiteral("cmbKeisho") + n, g);
        auto *grid = new QGridLayout(g);
        grid->addWidget(new QLabel(QStringLiteral("肩書き１"), g), 0, 0);
        grid->addWidget(*kata1[i], 0, 1, 1, 2);
        grid->addWidget(new QLabel(QStringLiteral("肩書き２"), g), 1, 0);
        grid->addWidget(*kata2[i], 1, 1, 1, 2);
        grid->addWidget(new QLabel(QStringLiteral("名　　前"), g), 2, 0);
        grid->addWidget(*names[i], 2, 1);
        grid->addWidget(*keisho[i], 2, 2);
        (*names[i])->setMinimumWidth(180);
        (*keisho[i])->setMinimumWidth(80);
        groups[i] = g;
    }

    auto *couple = new QGridLayout;
    couple->addWidget(new QLabel(QStringLiteral("新郎名前"), area), 0, 0);
    couple->addWidget(edtSinroNm, 0, 1);
    couple->addWidget(new QLabel(QStringLiteral("新婦名前"), area), 0, 2);
    couple->addWidget(edtSinpuNm, 0, 3);
    couple->addWidget(groups[0], 1, 0, 1, 2);
    couple->addWidget(groups[1], 1, 2, 1, 2);
    couple->addWidget(groups[2], 2, 0, 1, 2);
    couple->addWidget(groups[3], 2, 2, 1, 2);

    auto *note1 = new QLabel(QStringLiteral("新郎新婦の左側に１、２ 右側に３、４が位置します。　"), area);
    note1->setObjectName(QStringLiteral("lblNote1"));
    auto *note2 = new QLabel(QStringLiteral("雛壇に新郎新婦以外いなければ入力は不要です。"), area);
    note2->setObjectName(QStringLiteral("lblNote2"));

    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(couple);
    layout->addWidget(note1);
    layout->addWidget(note2);

    QWidget *order[] = {edtSinroNm, edtSinpuNm,
                        edtKata11, edtKata12, edtName1, cmbKeisho1,
                        edtKata21, edtKata22, edtName2, cmbKeisho2,
                        edtKata31, edtKata32, edtName3, cmbKeisho3,
                        edtKata41, edtKata42, edtName4, cmbKeisho4, bbtnExecute};
    for (size_t i = 0; i + 1 < std::size(order); ++i)
        setTabOrder(order[i], order[i + 1]);

    qrySQL.Close();
    // Both rows of buttons take their room before the size is fixed.
    bbtnExecute->setVisible(true);
    bbtnCancel->setVisible(true);
    setFixedSize(sizeHint());
}

TFrmSetHinadan::~TFrmSetHinadan() { qrySQL.Close(); }

std::array<TFrmSetHinadan::Field, 18> TFrmSetHinadan::fields() const
{
    return {{{QStringLiteral("KATA11"), edtKata11, nullptr}, {QStringLiteral("KATA12"), edtKata12, nullptr},
             {QStringLiteral("KATA21"), edtKata21, nullptr}, {QStringLiteral("KATA22"), edtKata22, nullptr},
             {QStringLiteral("KATA31"), edtKata31, nullptr}, {QStringLiteral("KATA32"), edtKata32, nullptr},
             {QStringLiteral("KATA41"), edtKata41, nullptr}, {QStringLiteral("KATA42"), edtKata42, nullptr},
             {QStringLiteral("NAME1"), edtName1, nullptr},   {QStringLiteral("NAME2"), edtName2, nullptr},
             {QStringLiteral("NAME3"), edtName3, nullptr},   {QStringLiteral("NAME4"), edtName4, nullptr},
             {QStringLiteral("SINRONM"), edtSinroNm, nullptr}, {QStringLiteral("SINPUNM"), edtSinpuNm, nullptr},
             {QStringLiteral("KEISHO1"), nullptr, cmbKeisho1}, {QStringLiteral("KEISHO2"), nullptr, cmbKeisho2},
             {QStringLiteral("KEISHO3"), nullptr, cmbKeisho3}, {QStringLiteral("KEISHO4"), nullptr, cmbKeisho4}}};
}

void TFrmSetHinadan::resetInputs(bool header)
{
    TFrmEditBase::resetInputs(header); // the eighteen text boxes
    for (QComboBox *c : {cmbKeisho1, cmbKeisho2, cmbKeisho3, cmbKeisho4}) {
        setInputColor(c, header ? Silver : White);
        c->setCurrentIndex(-1);
        c->clearEditText();
    }
}

void TFrmSetHinadan::loadInput(int n)
{
    qrySQL.Close();
    qrySQL << QStringLiteral("SELECT * FROM D_HINA WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    if (!qrySQL.Eof()) {
        for (const Field &f : fields())
            f.setText(text::trimRight(qrySQL.AsString(f.column)));
    }
    qrySQL.Close();
}

// The input area is enabled only after loading, so the focus is given here.
QWidget *TFrmSetHinadan::focusAfterSet() const { return edtSinroNm; }

void TFrmSetHinadan::bbtnExecuteClick()
{
    if (!prompter().question(QStringLiteral("更新します。\r\nよろしいですか？")))
        return;
    const int n = kanriNo();

    // Not caught here: a failing check ends the action before any write.
    qrySQL.Close();
    qrySQL << QStringLiteral("SELECT * FROM D_HINA WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    const bool exists = !qrySQL.Eof();
    qrySQL.Close();

    try {
        if (exists) {
            qrySQL << QStringLiteral("UPDATE D_HINA SET") << QStringLiteral("    KATA11 = :KATA11")
                   << QStringLiteral("  , KATA12 = :KATA12") << QStringLiteral("  , KATA21 = :KATA21")
                   << QStringLiteral("  , KATA22 = :KATA22") << QStringLiteral("  , KATA31 = :KATA31")
                   << QStringLiteral("  , KATA32 = :KATA32") << QStringLiteral("  , KATA41 = :KATA41")
                   << QStringLiteral("  , KATA42 = :KATA42") << QStringLiteral("  , NAME1  = :NAME1")
                   << QStringLiteral("  , NAME2  = :NAME2") << QStringLiteral("  , NAME3  = :NAME3")
                   << QStringLiteral("  , NAME4  = :NAME4") << QStringLiteral("  , SINRONM = :SINRONM")
                   << QStringLiteral("  , SINPUNM = :SINPUNM") << QStringLiteral("  , KEISHO1 = :KEISHO1")
                   << QStringLiteral("  , KEISHO2 = :KEISHO2") << QStringLiteral("  , KEISHO3 = :KEISHO3")
                   << QStringLiteral("  , KEISHO4 = :KEISHO4") << QStringLiteral(" WHERE KANRINO = :KANRINO");
        } else {
            qrySQL << QStringLiteral("INSERT INTO D_HINA") << QStringLiteral(" (  KANRINO") << QStringLiteral("  , KATA11 ")
                   << QStringLiteral("  , KATA12 ") << QStringLiteral("  , KATA21 ") << QStringLiteral("  , KATA22 ")
                   << QStringLiteral("  , KATA31 ") << QStringLiteral("  , KATA32 ") << QStringLiteral("  , KATA41 ")
                   << QStringLiteral("  , KATA42 ") << QStringLiteral("  , NAME1  ") << QStringLiteral("  , NAME2  ")
                   << QStringLiteral("  , NAME3  ") << QStringLiteral("  , NAME4  ") << QStringLiteral("  , SINRONM")
                   << QStringLiteral("  , SINPUNM") << QStringLiteral("  , KEISHO1") << QStringLiteral("  , KEISHO2")
                   << QStringLiteral("  , KEISHO3") << QStringLiteral("  , KEISHO4") << QStringLiteral("  ) VALUES")
                   << QStringLiteral(" ( :KANRINO") << QStringLiteral("  ,:KATA11 ") << QStringLiteral("  ,:KATA12 ")
                   << QStringLiteral("  ,:KATA21 ") << QStringLiteral("  ,:KATA22 ") << QStringLiteral("  ,:KATA31 ")
                   << QStringLiteral("  ,:KATA32 ") << QStringLiteral("  ,:KATA41 ") << QStringLiteral("  ,:KATA42 ")
                   << QStringLiteral("  ,:NAME1  ") << QStringLiteral("  ,:NAME2  ") << QStringLiteral("  ,:NAME3  ")
                   << QStringLiteral("  ,:NAME4  ") << QStringLiteral("  ,:SINRONM") << QStringLiteral("  ,:SINPUNM")
                   << QStringLiteral("  ,:KEISHO1") << QStringLiteral("  ,:KEISHO2") << QStringLiteral("  ,:KEISHO3")
                   << QStringLiteral("  ,:KEISHO4") << QStringLiteral("  )");
        }
        qrySQL.SetParam(QStringLiteral("KANRINO"), n);
        for (const Field &f : fields())
            qrySQL.SetParam(f.column, storedText(f.text()));
        qrySQL.ExecSQL();
        qrySQL.Close();
    } catch (const DbError &) {
        qrySQL.Close();
        prompter().error(QStringLiteral("雛壇情報書込みエラー"));
        close();
        return;
    }
    prompter().information(QStringLiteral("正常に更新されました。"));
    SetHeaderState(true);
    nedtKanriNo->setFocus();
}
