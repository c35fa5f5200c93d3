#include "FrmEditBaseU.h"

#include "ByteLimit.h"
#include "FrmSrcKanriU.h"
#include "Prompter.h"
#include "TNumberEdit.h"
#include "TextRules.h"
#include "UntDM.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

const QColor TFrmEditBase::Silver(192, 192, 192);
const QColor TFrmEditBase::White(255, 255, 255);

namespace {
QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TFrmEditBase::TFrmEditBase(const EditFormSettings &settings, QWidget *parent)
    : TFrmOBase(parent), m_settings(settings)
{
    pnlKanri = new QFrame(centralArea());
    pnlKanri->setObjectName(QStringLiteral("pnlKanri"));
    pnlKanri->setFrameShape(QFrame::StyledPanel);
    auto *header = new QHBoxLayout(pnlKanri);

    auto *label = new QLabel(QStringLiteral("管理番号"), pnlKanri);
    nedtKanriNo = new TNumberEdit(pnlKanri);
    nedtKanriNo->setObjectName(QStringLiteral("nedtKanriNo"));
    nedtKanriNo->setFixedWidth(100);
    setHint(nedtKanriNo, QStringLiteral("管理番号"));
    label->setBuddy(nedtKanriNo);
    connect(nedtKanriNo, &TNumberEdit::exited, this, &TFrmEditBase::nedtKanriNoExit);

    spbKanriSrc = new QToolButton(pnlKanri);
    spbKanriSrc->setObjectName(QStringLiteral("spbKanriSrc"));
    spbKanriSrc->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    spbKanriSrc->setFocusPolicy(Qt::NoFocus);
    setHint(spbKanriSrc, QStringLiteral("管理番号検索"));
    connect(spbKanriSrc, &QToolButton::clicked, this, &TFrmEditBase::spbKanriSrcClick);

    header->addWidget(label);
    header->addWidget(nedtKanriNo);
    header->addWidget(spbKanriSrc);
    if (m_settings.editableName) {
        edtKanriNm = new QLineEdit(pnlKanri);
        edtKanriNm->setObjectName(QStringLiteral("edtKanriNm"));
        edtKanriNm->setMinimumWidth(260);
        ByteLimit::apply(edtKanriNm, 60);
        header->addWidget(edtKanriNm, 1);
    } else {
        lblKanriNm = new QLabel(pnlKanri);
        lblKanriNm->setObjectName(QStringLiteral("lblKanriNm"));
        lblKanriNm->setAutoFillBackground(true);
        QPalette p = lblKanriNm->palette();
        p.setColor(QPalette::Window, White);
        lblKanriNm->setPalette(p);
        lblKanriNm->setFrameShape(QFrame::Panel);
        lblKanriNm->setFrameShadow(QFrame::Sunken);
        lblKanriNm->setMinimumWidth(260);
        header->addWidget(lblKanriNm, 1);
    }
    bbtnSet = makeButton(QStringLiteral("bbtnSet"), QStringLiteral(" 設 定 "), pnlKanri);
    if (!m_settings.setHint.isEmpty())
        setHint(bbtnSet, m_settings.setHint);
    connect(bbtnSet, &QPushButton::clicked, this, &TFrmEditBase::bbtnSetClick);
    header->addWidget(bbtnSet);

    m_input = new QWidget(centralArea());
    m_input->setObjectName(m_settings.inputAreaName);

    bbtnCancel = makeButton(QStringLiteral("bbtnCancel"), m_settings.cancelCaption, centralArea());
    bbtnCancel->setFocusPolicy(Qt::ClickFocus); // skipped by Tab
    setHint(bbtnCancel, QStringLiteral("入力をキャンセルします。"));
    connect(bbtnCancel, &QPushButton::clicked, this, &TFrmEditBase::bbtnCancelClick);

    bbtnExecute = makeButton(QStringLiteral("bbtnExecute"), m_settings.executeCaption, centralArea());
    if (!m_settings.executeHint.isEmpty())
        setHint(bbtnExecute, m_settings.executeHint);
    connect(bbtnExecute, &QPushButton::clicked, this, [this] { bbtnExecuteClick(); });

    bbtnClose = makeButton(m_settings.closeButtonName, QStringLiteral("閉じる"), centralArea());
    connect(bbtnClose, &QPushButton::clicked, this, [this] { close(); });

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(bbtnCancel);
    bottom->addWidget(bbtnExecute);
    bottom->addWidget(bbtnClose);

    auto *layout = new QVBoxLayout;
    layout->addWidget(pnlKanri);
    layout->addWidget(m_input, 1);
    layout->addLayout(bottom);
    setCentralLayout(layout);

    setTabOrder(nedtKanriNo, edtKanriNm ? static_cast<QWidget *>(edtKanriNm) : bbtnSet);
}

TFrmEditBase::~TFrmEditBase()
{
    // Hiding the children while the form is torn down moves the focus out of
    // the number box; its lookup must not run on a half-destroyed form.
    disconnect(nedtKanriNo, nullptr, this, nullptr);
}

void TFrmEditBase::showEvent(QShowEvent *e)
{
    TFrmOBase::showEvent(e);
    if (!m_shownOnce) {
        m_shownOnce = true;
        SetHeaderState(true);
        nedtKanriNo->setFocus();
    }
}

int TFrmEditBase::kanriNo() const { return nedtKanriNo->value(); }

QString TFrmEditBase::kanriName() const { return edtKanriNm ? edtKanriNm->text() : lblKanriNm->text(); }

void TFrmEditBase::setInputColor(QWidget *w, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, c);
    w->setPalette(p);
}

QColor TFrmEditBase::inputColor(const QWidget *w) { return w->palette().color(QPalette::Base); }

void TFrmEditBase::resetTagged(QWidget *w, bool header)
{
    setInputColor(w, header ? Silver : White);
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->clear();
    else if (auto *c = qobject_cast<QComboBox *>(w)) {
        if (c->isEditable())
            c->clearEditText();
        else
            c->setCurrentIndex(-1);
    } else if (auto *p = qobject_cast<QPlainTextEdit *>(w))
        p->clear();
    else if (auto *t = qobject_cast<QTextEdit *>(w))
        t->clear();
    else if (auto *l = qobject_cast<QLabel *>(w))
        l->clear();
}

void TFrmEditBase::resetInputs(bool header)
{
    if (!m_settings.resetByTag)
        return;
    for (QWidget *w : findChildren<QWidget *>()) {
        if (w->property("Tag").toInt() == 1)
            resetTagged(w, header);
    }
}

void TFrmEditBase::SetHeaderState(bool header)
{
    m_header = header;
    resetInputs(header);
    if (header) {
        if (!m_settings.editableName) {
            nedtKanriNo->setValue(0);
            lblKanriNm->clear();
        }
        setInputColor(nedtKanriNo, White);
    } else {
        setInputColor(nedtKanriNo, Silver);
        try {
            loadInput(kanriNo());
        } catch (...) {
            // A load that fails leaves the form whole in the header state,
            // never half in the input state; the number stays for a retry.
            m_header = true;
            resetInputs(true);
            setInputColor(nedtKanriNo, White);
            showState(true);
            throw;
        }
    }
    showState(header);
}

void TFrmEditBase::showState(bool header)
{
    bbtnSet->setVisible(header);
    bbtnCancel->setVisible(!header);
    bbtnExecute->setVisible(!header);
    pnlKanri->setEnabled(header);
    m_input->setEnabled(!header);
}

void TFrmEditBase::nedtKanriNoExit()
{
    const int n = kanriNo();
    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT KANRINM FROM D_HED WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    if (!qrySQL.Eof()) {
        const QString name = text::trim(qrySQL.AsString(QStringLiteral("KANRINM")));
        if (edtKanriNm)
            edtKanriNm->setText(name);
        else
            lblKanriNm->setText(name);
    } else if (lblKanriNm) {
        lblKanriNm->clear();
    }
    qrySQL.Close();
}

QWidget *TFrmEditBase::focusAfterSearch() const
{
    return edtKanriNm ? static_cast<QWidget *>(edtKanriNm) : bbtnSet;
}

void TFrmEditBase::spbKanriSrcClick()
{
    TFrmSrcKanri dlg(this);
    if (dlg.run() == QDialog::Accepted) {
        nedtKanriNo->setValue(dlg.SelectedNo);
        nedtKanriNoExit();
        if (QWidget *w = focusAfterSearch())
            w->setFocus();
    } else {
        nedtKanriNo->setFocus();
    }
}

void TFrmEditBase::refuse(const QString &text)
{
    prompter().warning(text);
    nedtKanriNo->setFocus();
}

bool TFrmEditBase::checkOnSet(int n)
{
    TQuery qrySQL;
    qrySQL << QStringLiteral("SELECT KANRINM FROM D_HED WHERE KANRINO = :KANRINO");
    qrySQL.SetParam(QStringLiteral("KANRINO"), n);
    qrySQL.Open();
    const bool found = !qrySQL.Eof();
    qrySQL.Close();
    if (!found) {
        refuse(QStringLiteral("登録されていない管理番号です。"));
        return false;
    }
    return true;
}

void TFrmEditBase::bbtnSetClick()
{
    const int n = kanriNo();
    if (n == 0) {
        refuse(QStringLiteral("管理番号が入力されていません。"));
        return;
    }
    if (!checkOnSet(n))
        return;
    SetHeaderState(false);
    if (QWidget *w = focusAfterSet())
        w->setFocus();
}

void TFrmEditBase::bbtnCancelClick()
{
    if (!prompter().question(QStringLiteral("管理番号入力に戻りますか？")))
        return;
    beforeCancel();
    SetHeaderState(true);
    nedtKanriNo->setFocus();
}

bool TFrmEditBase::inputStateForClose() const { return m_input->isEnabled(); }

QString TFrmEditBase::closeQuestion() const
{
    if (!m_settings.inputCloseText.isEmpty() && inputStateForClose())
        return m_settings.inputCloseText;
    return QStringLiteral("終了しますか？");
}
