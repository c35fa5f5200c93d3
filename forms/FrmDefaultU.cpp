#include "FrmDefaultU.h"

#include "ByteLimit.h"
#include "FrmMntRoomU.h"
#include "PictureControls.h"
#include "Prompter.h"
#include "TextRules.h"
#include "UntDM.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Blank texts are stored as NULL.
QVariant textOrNull(const QString &s) { return text::isBlank(s) ? QVariant() : QVariant(s); }
} // namespace

TFrmDefault::TFrmDefault(QWidget *parent) : TFrmOBase(parent)
{
    setObjectName(QStringLiteral("FrmDefault"));
    setWindowTitle(QStringLiteral("キボラ"));
    setStatusTitle(QStringLiteral("初期値設定"));
    stb()->setPanelWidth(2, 110);

    QWidget *area = centralArea();
    auto *outer = new QVBoxLayout;

    lblBanner = new QLabel(QStringLiteral("■　初期値設定処理　■"), area);
    lblBanner->setObjectName(QStringLiteral("lblBanner"));
    lblBanner->setAlignment(Qt::AlignCenter);
    outer->addWidget(lblBanner);

    auto *grid = new QGridLayout;
    int row = 0;

    grid->addWidget(new QLabel(QStringLiteral("日　付"), area), row, 0);
    chkDateOut = new QCheckBox(QStringLiteral("日付を印字しない場合チェック"), area);
    chkDateOut->setObjectName(QStringLiteral("chkDateOut"));
    setHint(chkDateOut, QStringLiteral("日付を印字しない場合チェック"));
    {
        auto *line = new QHBoxLayout;
        line->addWidget(chkDateOut);
        line->addStretch(1);
        grid->addLayout(line, row++, 1, 1, 2);
    }

    grid->addWidget(new QLabel(QStringLiteral("背景画像"), area), row, 0);
    {
        auto *line = new QHBoxLayout;
        spbWPaper = picture::makeButton(QStringLiteral("spbWPaper"), QStringLiteral("背景画像指定"), QStyle::SP_DirOpenIcon, area);
        spbClear = picture::makeButton(QStringLiteral("spbClear"), QStringLiteral("背景画像クリア"), QStyle::SP_DialogResetButton, area);
        spbWPaper->setAutoRaise(true); // flat picture buttons
        spbClear->setAutoRaise(true);
        line->addWidget(spbWPaper);
        line->addWidget(spbClear);
        line->addStretch(1);
        grid->addLayout(line, row++, 1, 1, 2);
    }
    lblWPaper = picture::makePathLabel(QStringLiteral("lblWPaper"), area);
    grid->addWidget(lblWPaper, row++, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("ﾃｰﾌﾞﾙ形状"), area), row, 0);
    {
        auto *line = new QHBoxLayout;
        const picture::TableShapeGroup shapes = picture::makeTableShapeGroup(area);
        rdgTable = shapes.box;
        rdgTableGroup = shapes.group;
        rdgTableItems = shapes.items;
        spbTable = picture::makeButton(QStringLiteral("spbTable"), QStringLiteral("テーブル画像指定"), QStyle::SP_DirOpenIcon, area);
        spbTable->setAutoRaise(true);
        spbTable->setEnabled(false);
        line->addWidget(rdgTable);
        line->addWidget(spbTable);
        line->addStretch(1);
        grid->addLayout(line, row++, 1, 1, 2);
    }
    lblTable = picture::makePathLabel(QStringLiteral("lblTable"), area);
    grid->addWidget(lblTable, row++, 1, 1, 2);

    grid->addWidget(new QLabel(QStringLiteral("末尾文"), area), row, 0);
    edtEndStr = new QLineEdit(area);
    edtEndStr->setObjectName(QStringLiteral("edtEndStr"));
    edtEndStr->setMinimumWidth(400);
    setHint(edtEndStr, QStringLiteral("末尾文"));
    ByteLimit::apply(edtEndStr, 120);
    grid->addWidget(edtEndStr, row++, 1, 1, 2);
    outer->addLayout(grid);
    outer->addStretch(1);

    bbtnExecute = new QPushButton(QStringLiteral(" 更 新 "), area);
    bbtnExecute->setObjectName(QStringLiteral("bbtnExecute"));
    bbtnExecute->setAutoDefault(false);
    setHint(bbtnExecute, QStringLiteral("席辞表情報を更新します。"));
    bbtnClose = new QPushButton(QStringLiteral("閉じる"), area);
    bbtnClose->setObjectName(QStringLiteral("bbtnClose"));
    bbtnClose->setAutoDefault(false);
    setHint(bbtnClose, QStringLiteral("処理を終了します。"));
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(bbtnExecute);
    bottom->addWidget(bbtnClose);
    outer->addLayout(bottom);
    setCentralLayout(outer);

    connect(rdgTableGroup, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked)
            rdgTableClick();
    });
    connect(spbTable, &QToolButton::clicked, this, &TFrmDefault::spbTableClick);
    connect(spbWPaper, &QToolButton::clicked, this, &TFrmDefault::spbWPaperClick);
    connect(spbClear, &QToolButton::clicked, this, &TFrmDefault::spbClearClick);
    connect(bbtnExecute, &QPushButton::clicked, this, &TFrmDefault::bbtnExecuteClick);
    connect(bbtnClose, &QPushButton::clicked, this, [this] { close(); });
}

void TFrmDefault::showEvent(QShowEvent *e)
{
    TFrmOBase::showEvent(e);
    FormShow();
}

int TFrmDefault::tableShape() const { return qMax(0, rdgTableGroup->checkedId()); }

void TFrmDefault::setTableShape(int index)
{
    index = qBound(0, index, 2);
    if (rdgTableItems[size_t(index)]->isChecked())
        rdgTableClick();
    else
        rdgTableItems[size_t(index)]->setChecked(true);
}

void TFrmDefault::FormShow()
{
    setWindowTitle(QStringLiteral("キボラ"));
    setStatusTitle(QStringLiteral("初期値設定"));
    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT * FROM M_SYSTEM WHERE CD = 1");
    qrySQL.Open();
    if (qrySQL.Eof()) {
        qrySQL.Close();
        return; // no row: the controls keep their design state
    }
    chkDateOut->setChecked(qrySQL.AsInteger(QStringLiteral("NUM1")) != 0);
    setTableShape(qrySQL.AsInteger(QStringLiteral("NUM2")));
    edtEndStr->setText(qrySQL.AsString(QStringLiteral("STR1")));
    if (tableShape() == 2) {
        m_tableFile = qrySQL.AsString(QStringLiteral("STR2"));
        lblTable->setText(m_tableFile);
    } else {
        m_tableFile.clear();
        lblTable->clear();
    }
    m_wallPaperFile = qrySQL.AsString(QStringLiteral("STR3"));
    lblWPaper->setText(m_wallPaperFile);
    qrySQL.Close();
}

void TFrmDefault::rdgTableClick()
{
    const bool picture = tableShape() == 2;
    spbTable->setEnabled(picture);
    if (!picture)
        lblTable->clear();
}

void TFrmDefault::spbTableClick()
{
    picture::choose(QStringLiteral("テーブル画像指定"), TFrmMntRoom::PictureFilter, m_tableFile, lblTable);
}

void TFrmDefault::spbWPaperClick()
{
    picture::choose(QStringLiteral("背景画像指定"), TFrmMntRoom::PictureFilter, m_wallPaperFile, lblWPaper);
}

void TFrmDefault::spbClearClick()
{
    m_wallPaperFile.clear();
    lblWPaper->clear();
}

void TFrmDefault::bbtnExecuteClick()
{
    if (!prompter().question(QStringLiteral("この内容で更新します。\r\nよろしいですか？")))
        return;
    TQuery qrySQL;
    qrySQL << QStringLiteral("UPDATE M_SYSTEM SET NUM1 = :NUM1, NUM2 = :NUM2,")
           << QStringLiteral(" STR1 = :STR1, STR2 = :STR2, STR3 = :STR3")
           << QStringLiteral(" WHERE CD = 1");
    qrySQL.SetParam(QStringLiteral("NUM1"), chkDateOut->isChecked() ? 1 : 0);
    qrySQL.SetParam(QStringLiteral("NUM2"), tableShape());
    const QString endStr = text::trimRight(edtEndStr->text());
    qrySQL.SetParam(QStringLiteral("STR1"), endStr.isEmpty() ? QVariant() : QVariant(endStr));
    qrySQL.SetParam(QStringLiteral("STR2"), textOrNull(lblTable->text()));
    qrySQL.SetParam(QStringLiteral("STR3"), textOrNull(lblWPaper->text()));
    // The program never creates row 1; without it nothing was saved, which
    // must not be reported as an update. The form stays as it is.
    if (qrySQL.ExecSQL() == 0) {
        prompter().warning(QStringLiteral("初期値データが登録されていないため、更新できませんでした。"));
        return;
    }
    prompter().information(QStringLiteral("更新しました。"));
    close();
}
