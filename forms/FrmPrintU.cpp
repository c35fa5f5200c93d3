#include "FrmPrintU.h"

#include "ByteLimit.h"
#include "DataFolder.h"
#include "DrawChart.h"
#include "Prompter.h"
#include "TNumberEdit.h"
#include "TextRules.h"
#include "UntDM.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

const QString TFrmPrint::PreviewCaption = QStringLiteral("席辞表印刷");

TPrintRadioGroup::TPrintRadioGroup(const QString &name, const QString &caption, const QStringList &items,
                                   QWidget *parent)
    : QGroupBox(caption, parent)
{
    setObjectName(name);
    m_group = new QButtonGroup(this);
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *b = new QRadioButton(items.at(i), this);
        b->setObjectName(name + QString::number(i));
        m_group->addButton(b, i);
        layout->addWidget(b);
    }
    setItemIndex(0);
}

int TPrintRadioGroup::itemIndex() const { return m_group->checkedId(); }

void TPrintRadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *b = m_group->button(index)) {
        b->setChecked(true);
        return;
    }
    // Nothing checked: an exclusive group will not let go of its button otherwise.
    m_group->setExclusive(false);
    if (QAbstractButton *checked = m_group->checkedButton())
        checked->setChecked(false);
    m_group->setExclusive(true);
}

QWidget *TPrintRadioGroup::focusTarget() const
{
    if (QAbstractButton *b = m_group->checkedButton())
        return b;
    return m_group->buttons().value(0);
}

namespace {
EditFormSettings printSettings()
{
    EditFormSettings s;
    s.cancelCaption = QStringLiteral("管理番号入力へ戻る");
    s.executeCaption = QStringLiteral(" 印 刷  ");
    s.executeHint = QStringLiteral("印刷します。");
    s.closeButtonName = QStringLiteral("bbtnEnd");
    s.inputCloseText.clear(); // this form always asks the plain question
    s.resetByTag = true;
    return s;
}

QLabel *factLabel(const QString &name, const QString &hint, int minWidth, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setProperty("Tag", 1);
    l->setAutoFillBackground(true);
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(minWidth);
    if (!hint.isEmpty())
        setHint(l, hint);
    return l;
}

QLineEdit *optionEdit(const QString &name, const QString &hint, int bytes, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(name);
    e->setProperty("Tag", 1);
    e->setAttribute(Qt::WA_InputMethodEnabled, true);
    setHint(e, hint);
    ByteLimit::apply(e, bytes);
    return e;
}

QLabel *greyCaption(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, Qt::gray);
    l->setPalette(p);
    return l;
}

// Track bar row: caption, low end label, slider, high end label.
QSlider *addTrackBar(QGridLayout *grid, int row, const QString &name, const QString &caption,
                     const QString &low, const QString &high, int min, int max, int value, QWidget *parent)
{
    auto *s = new QSlider(Qt::Horizontal, parent);
    s->setObjectName(name);
    s->setRange(min, max);
    s->setSingleStep(1);
    s->setPageStep(1);
    s->setTickPosition(QSlider::TicksBelow);
    s->setTickInterval(max - min > 40 ? 10 : (max - min > 20 ? 4 : 1));
    s->setValue(value);
    s->setMinimumWidth(220);
    setHint(s, caption);
    grid->addWidget(greyCaption(caption, parent), row, 0);
    grid->addWidget(new QLabel(low, parent), row, 1, Qt::AlignRight);
    grid->addWidget(s, row, 2);
    grid->addWidget(new QLabel(high, parent), row, 3);
    return s;
}
} // namespace

TFrmPrint::TFrmPrint(QWidget *parent) : TFrmEditBase(printSettings(), parent)
{
    setObjectName(QStringLiteral("FrmPrint"));
    setWindowTitle(QStringLiteral("席次表印刷"));
    setStatusTitle(QStringLiteral("席次表印刷"));
    setHint(bbtnClose, QStringLiteral("終了します。"));

    plPrev.setPrinter(&plSetPrinter);
    plPrev.setTitle(PreviewCaption);

    QWidget *area = inputArea();
    auto *grid = new QGridLayout(area);

    // Reception facts: the two family names one above the other, each
    // followed by "家", and the title beside them.
    lblSinroSei = factLabel(QStringLiteral("lblSinroSei"), QString(), 140, area);
    lblSinpuSei = factLabel(QStringLiteral("lblSinpuSei"), QString(), 140, area);
    lblEnTitle = factLabel(QStringLiteral("lblEnTitle"), QString(), 240, area);
    auto *names = new QGridLayout;
    names->addWidget(lblSinroSei, 0, 0);
    names->addWidget(new QLabel(QStringLiteral("家"), area), 0, 1);
    names->addWidget(lblSinpuSei, 1, 0);
    names->addWidget(new QLabel(QStringLiteral("家"), area), 1, 1);
    names->addWidget(lblEnTitle, 0, 2, 2, 1, Qt::AlignVCenter);
    names->setColumnStretch(2, 1);
    grid->addWidget(new QLabel(QStringLiteral("披露宴名"), area), 0, 0, Qt::AlignTop);
    grid->addLayout(names, 0, 1);

    lblPName = factLabel(QStringLiteral("lblPName"), QStringLiteral("用紙名"), 160, area);
    lblPMuki = factLabel(QStringLiteral("lblPMuki"), QStringLiteral("印刷の向き"), 30, area);
    lblPHeight = factLabel(QStringLiteral("lblPHeight"), QStringLiteral("用紙高さ"), 50, area);
    lblPWidth = factLabel(QStringLiteral("lblPWidth"), QStringLiteral("用紙幅"), 50, area);
    lblPHeight->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPWidth->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *paper = new QHBoxLayout;
    paper->addWidget(lblPName, 1);
    paper->addWidget(lblPMuki);
    paper->addWidget(new QLabel(QStringLiteral("高さ"), area));
    paper->addWidget(lblPHeight);
    paper->addWidget(new QLabel(QStringLiteral("㎜"), area));
    paper->addWidget(new QLabel(QStringLiteral("幅"), area));
    paper->addWidget(lblPWidth);
    paper->addWidget(new QLabel(QStringLiteral("㎜"), area));
    grid->addWidget(new QLabel(QStringLiteral("用紙名"), area), 1, 0);
    grid->addLayout(paper, 1, 1);

    edtSikijo1 = optionEdit(QStringLiteral("edtSikijo1"), QStringLiteral("式場名上段"), 120, area);
    edtSikijo2 = optionEdit(QStringLiteral("edtSikijo2"), QStringLiteral("式場名下段"), 120, area);
    edtTakasago = optionEdit(QStringLiteral("edtTakasago"), QStringLiteral("高砂名称"), 20, area);
    edtEndStr = optionEdit(QStringLiteral("edtEndStr"), QStringLiteral("末尾文"), 120, area);
    grid->addWidget(new QLabel(QStringLiteral("式場名"), area), 2, 0);
    grid->addWidget(edtSikijo1, 2, 1);
    grid->addWidget(edtSikijo2, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("高砂名称"), area), 4, 0);
    grid->addWidget(edtTakasago, 4, 1, Qt::AlignLeft);
    edtTakasago->setMinimumWidth(160);
    grid->addWidget(new QLabel(QStringLiteral("末尾文"), area), 5, 0);
    grid->addWidget(edtEndStr, 5, 1);

    PageControl1 = new QTabWidget(area);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    grid->addWidget(PageControl1, 6, 0, 1, 2);
    grid->setRowStretch(6, 1);

    auto *page1 = new QWidget(PageControl1);
    page1->setObjectName(QStringLiteral("TabSheet1"));
    auto *p1 = new QVBoxLayout(page1);
    rdgPict = new TPrintRadioGroup(QStringLiteral("rdgPict"), QStringLiteral("　背景画像　"),
                                   {QStringLiteral("印刷可能枠にあわせる"), QStringLiteral("用紙サイズにあわせる")}, page1);
    lblStr1 = new QLabel(QStringLiteral("＊「印刷可能枠にあわせる」を指定しても、プリンタの印刷可能範囲以上は印刷されません。"), page1);
    lblStr1->setObjectName(QStringLiteral("lblStr1"));
    lblStr1->setWordWrap(true);
    rdgLayout = new TPrintRadioGroup(QStringLiteral("rdgLayout"), QStringLiteral("　席内名称揃え　"),
                                     {QStringLiteral("上揃え"), QStringLiteral("均等揃え")}, page1);
    cbSSprint = new QCheckBox(QStringLiteral("ひな壇の名前上「新郎」「新婦」の文字を印刷しない場合チェック"), page1);
    cbSSprint->setObjectName(QStringLiteral("cbSSprint"));
    p1->addWidget(rdgPict);
    p1->addWidget(lblStr1);
    p1->addWidget(rdgLayout);
    p1->addWidget(cbSSprint);
    p1->addStretch(1);
    PageControl1->addTab(page1, QStringLiteral("背景・揃え"));

    auto *page2 = new QWidget(PageControl1);
    page2->setObjectName(QStringLiteral("TabSheet2"));
    auto *p2 = new QGridLayout(page2);
    const QString small = QStringLiteral("小"), big = QStringLiteral("大");
    const QString left = QStringLiteral("左"), right = QStringLiteral("右");
    trkEn = addTrackBar(p2, 0, QStringLiteral("trkEn"), QStringLiteral("披露宴名サイズ"), small, big, -10, 10, 0, page2);
    trkHina = addTrackBar(p2, 1, QStringLiteral("trkHina"), QStringLiteral("雛壇名サイズ"), small, big, -10, 10, 0, page2);
    trkSeki = addTrackBar(p2, 2, QStringLiteral("trkSeki"), QStringLiteral("出席者名サイズ"), small, big, -10, 10, 0, page2);
    trkKata = addTrackBar(p2, 3, QStringLiteral("trkKata"), QStringLiteral("肩書きサイズ"), small, big, -10, 10, 0, page2);
    trkTblS = addTrackBar(p2, 4, QStringLiteral("trkTblS"), QStringLiteral("テーブルサイズ"), small, big, 2, 20, 2, page2);
    trkTblN = addTrackBar(p2, 5, QStringLiteral("trkTblN"), QStringLiteral("テーブル名サイズ"), small, big, -24, 24, 0, page2);
    trkSiki = addTrackBar(p2, 6, QStringLiteral("trkSiki"), QStringLiteral("式場名サイズ"), small, big, -24, 24, 0, page2);
    trkLNm = addTrackBar(p2, 7, QStringLiteral("trkLNm"), QStringLiteral("左名前位置"), left, right, -50, 50, 0, page2);
    trkRNm = addTrackBar(p2, 8, QStringLiteral("trkRNm"), QStringLiteral("右名前位置"), left, right, -50, 50, 0, page2);
    trkTbl = addTrackBar(p2, 9, QStringLiteral("trkTbl"), QStringLiteral("テーブル全体位置"), left, right, -50, 50, 0, page2);
    chkKei = new QCheckBox(QStringLiteral("敬称が一文字以上はサイズを小さくする。"), page2);
    chkKei->setObjectName(QStringLiteral("chkKei"));
    p2->addWidget(chkKei, 10, 0, 1, 4);
    p2->setColumnStretch(2, 1);
    PageControl1->addTab(page2, QStringLiteral("位置・フォントサイズ調整"));

    // Tab order follows the layout: header, the edits, the tabs, the buttons.
    setTabOrder(bbtnSet, edtSikijo1);
    setTabOrder(edtSikijo1, edtSikijo2);
    setTabOrder(edtSikijo2, edtTakasago);
    setTabOrder(edtTakasago, edtEndStr);
    setTabOrder(edtEndStr, PageControl1);

    resize(640, 600);
}

TFrmPrint::~TFrmPrint()
{
    if (qrySQL)
        qrySQL->Close();
    if (qrySQL2)
        qrySQL2->Close();
}

void TFrmPrint::bindQueries()
{
    qrySQL = std::make_unique<TQuery>();
    qrySQL2 = std::make_unique<TQuery>();
}

void TFrmPrint::showEvent(QShowEvent *e)
{
    if (!qrySQL)
        bindQueries();
    PageControl1->setCurrentIndex(0);
    TFrmEditBase::showEvent(e);
}

void TFrmPrint::resetTagged(QWidget *w, bool header)
{
    TFrmEditBase::resetTagged(w, header);
    // The fact labels paint their own background.
    if (auto *l = qobject_cast<QLabel *>(w)) {
        QPalette p = l->palette();
        p.setColor(QPalette::Window, header ? Silver : White);
        l->setPalette(p);
    }
}

void TFrmPrint::beforeCancel() { PageControl1->setCurrentIndex(0); }

void TFrmPrint::loadInput(int n)
{
    if (!qrySQL)
        bindQueries();
    // A missing file keeps the settings the component already has.
    plSetPrinter.LoadSettings(DataFolder() + QStringLiteral("PlPrint") + QString::number(n) + QStringLiteral(".plv"));
    edtTakasago->setText(QStringLiteral("高　　砂"));

    // No resolution means no printer: the sizes have no value then.
    const int dpiX = plSetPrinter.GetDeviceValue(1);
    const int dpiY = plSetPrinter.GetDeviceValue(2);
    lblPHeight->setText(dpiY > 0 ? QString::number(paperSizeMm(plSetPrinter.GetDeviceValue(4), dpiY)) : QString());
    lblPWidth->setText(dpiX > 0 ? QString::number(paperSizeMm(plSetPrinter.GetDeviceValue(3), dpiX)) : QString());
    lblPName->setText(plSetPrinter.GetPaperName());
    lblPMuki->setText(plSetPrinter.IsLandscape() ? QStringLiteral("横") : QStringLiteral("縦"));

    TQuery &q = *qrySQL;
    q.Close();
    try {
        q << QStringLiteral("SELECT * FROM D_HED WHERE KANRINO = :KANRINO");
        q.SetParam(QStringLiteral("KANRINO"), n);
        q.Open();
        if (!q.Eof()) {
            lblSinroSei->setText(text::trimRight(q.AsString(QStringLiteral("SINROSEI"))));
            lblSinpuSei->setText(text::trimRight(q.AsString(QStringLiteral("SINPUSEI"))));
            lblEnTitle->setText(text::trimRight(q.AsString(QStringLiteral("ENTITLE"))));
            edtEndStr->setText(text::trimRight(q.AsString(QStringLiteral("ENDSTR"))));
            edtSikijo1->setText(text::trimRight(q.AsString(QStringLiteral("SIKIJO1"))));
            edtSikijo2->setText(text::trimRight(q.AsString(QStringLiteral("SIKIJO2"))));
            // Read as the chart reads them (1 and above is the second item), so
            // an odd stored value is never written back as "nothing chosen".
            rdgLayout->setItemIndex(std::clamp(q.AsInteger(QStringLiteral("OPT1")), 0, 1));
            rdgPict->setItemIndex(std::clamp(q.AsInteger(QStringLiteral("OPT2")), 0, 1));
            // The sliders clamp: a TBLSZ of 0 shows as 2.
            trkEn->setValue(q.AsInteger(QStringLiteral("ENSZ")));
            trkHina->setValue(q.AsInteger(QStringLiteral("HINASZ")));
            trkSeki->setValue(q.AsInteger(QStringLiteral("SEKISZ")));
            trkKata->setValue(q.AsInteger(QStringLiteral("KATASZ")));
            trkLNm->setValue(q.AsInteger(QStringLiteral("LPOS")));
            trkRNm->setValue(q.AsInteger(QStringLiteral("RPOS")));
            trkTbl->setValue(q.AsInteger(QStringLiteral("ALLTPOS")));
            trkTblS->setValue(q.AsInteger(QStringLiteral("TBLSZ")));
            trkTblN->setValue(q.AsInteger(QStringLiteral("TBLFSZ")));
            trkSiki->setValue(q.AsInteger(QStringLiteral("SIKISZ")));
            chkKei->setChecked(q.AsInteger(QStringLiteral("KEISZ")) != 0);
        }
    } catch (...) {
        q.Close();
        throw;
    }
    q.Close();
}

QWidget *TFrmPrint::focusAfterSet() const { return rdgLayout->focusTarget(); }

bool TFrmPrint::updateOptions(int n)
{
    TQuery &q = *qrySQL2;
    q.Close();
    q << QStringLiteral("UPDATE D_HED SET OPT1 = :OPT1, OPT2 = :OPT2, ENDSTR = :ENDSTR")
      << QStringLiteral("     , SIKIJO1 = :SIKIJO1, SIKIJO2 = :SIKIJO2")
      << QStringLiteral("     , ENSZ = :ENSZ, HINASZ = :HINASZ, SEKISZ = :SEKISZ, KATASZ = :KATASZ")
      << QStringLiteral("     , LPOS = :LPOS, RPOS = :RPOS, ALLTPOS = :ALLTPOS")
      << QStringLiteral("     , TBLSZ = :TBLSZ, TBLFSZ = :TBLFSZ, KEISZ = :KEISZ, SIKISZ = :SIKISZ")
      << QStringLiteral(" WHERE KANRINO = :KANRINO");
    const auto orBlank = [](const QString &s) { return s.isEmpty() ? QStringLiteral(" ") : s; };
    q.SetParam(QStringLiteral("OPT1"), rdgLayout->itemIndex());
    q.SetParam(QStringLiteral("OPT2"), rdgPict->itemIndex());
    q.SetParam(QStringLiteral("ENDSTR"), edtEndStr->text());
    q.SetParam(QStringLiteral("SIKIJO1"), orBlank(edtSikijo1->text()));
    q.SetParam(QStringLiteral("SIKIJO2"), orBlank(edtSikijo2->text()));
    q.SetParam(QStringLiteral("ENSZ"), trkEn->value());
    q.SetParam(QStringLiteral("HINASZ"), trkHina->value());
    q.SetParam(QStringLiteral("SEKISZ"), trkSeki->value());
    q.SetParam(QStringLiteral("KATASZ"), trkKata->value());
    q.SetParam(QStringLiteral("LPOS"), trkLNm->value());
    q.SetParam(QStringLiteral("RPOS"), trkRNm->value());
    q.SetParam(QStringLiteral("ALLTPOS"), trkTbl->value());
    q.SetParam(QStringLiteral("TBLSZ"), trkTblS->value());
    q.SetParam(QStringLiteral("TBLFSZ"), trkTblN->value());
    q.SetParam(QStringLiteral("KEISZ"), chkKei->isChecked() ? 1 : 0);
    q.SetParam(QStringLiteral("SIKISZ"), trkSiki->value());
    q.SetParam(QStringLiteral("KANRINO"), n);
    try {
        q.ExecSQL();
    } catch (const DbError &) {
        q.Close();
        return false;
    }
    q.Close();
    return true;
}

void TFrmPrint::drawChart(int n)
{
    ChartInputs in;
    in.kanriNo = n;
    in.sikijo1 = edtSikijo1->text();
    in.sikijo2 = edtSikijo2->text();
    in.takasago = edtTakasago->text();
    in.endStr = edtEndStr->text();
    in.layout = rdgLayout->itemIndex();
    in.pict = rdgPict->itemIndex();
    in.kei = chkKei->isChecked();
    in.ssPrint = cbSSprint->isChecked();
    in.ensz = trkEn->value();
    in.hinasz = trkHina->value();
    in.sekisz = trkSeki->value();
    in.katasz = trkKata->value();
    in.lpos = trkLNm->value();
    in.rpos = trkRNm->value();
    in.alltpos = trkTbl->value();
    in.tblsz = trkTblS->value();
    in.tblfsz = trkTblN->value();
    in.sikisz = trkSiki->value();

    ChartWriteBack wb;
    const ChartResult r = DrawChart(in, plPrev, plSetPrinter, &wb);
    // The run drew with the stored alignment, fit and end text: show them.
    if (wb.valid) {
        rdgLayout->setItemIndex(wb.opt1);
        rdgPict->setItemIndex(wb.opt2);
        edtEndStr->setText(wb.endStr);
    }
    switch (r.status) {
    case ChartStatus::Done:
        plPrev.ShowPreview();
        break;
    case ChartStatus::NoReception:
        prompter().warning(r.message.isEmpty() ? chartmsg::noReception() : r.message);
        close(); // the close question decides
        break;
    case ChartStatus::Stopped:
        prompter().warning(r.message);
        break;
    case ChartStatus::Failed:
        prompter().error(r.message);
        break;
    }
}

void TFrmPrint::bbtnExecuteClick()
{
    if (!qrySQL)
        bindQueries();
    const int n = kanriNo();

    // Table positions must have been stored once before a chart can be laid out.
    TQuery &q = *qrySQL;
    q.Close();
    bool positioned = false;
    try {
        q << QStringLiteral("SELECT * FROM D_TABPOS WHERE KANRINO = :KANRINO");
        q.SetParam(QStringLiteral("KANRINO"), n);
        q.Open();
        positioned = !q.Eof();
    } catch (...) {
        q.Close();
        throw;
    }
    q.Close();
    if (!positioned) {
        prompter().warning(QStringLiteral("テーブル位置の確認が済んでいません。\r\nテーブル位置設定で位置を確認・更新後印刷してください。"));
        return;
    }

    if (!prompter().question(QStringLiteral("印刷します。\r\nよろしいですか？")))
        return;

    if (!updateOptions(n))
        prompter().error(QStringLiteral("席次表テーブル情報更新エラー"));
    // Drawn also after a failed update, with the stored options where the run takes them.
    drawChart(n);

    if (isVisible())
        edtSikijo1->setFocus();
}
