#include "FrmOBaseU.h"

#include "Prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusTipEvent>
#include <QTextEdit>
#include <QVBoxLayout>

TStatusBar::TStatusBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("stb"));
    setFrameShape(QFrame::StyledPanel);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(2, 1, 2, 1);
    row->setSpacing(2);
    const int widths[4] = {80, 50, 100, 200};
    for (int i = 0; i < 4; ++i) {
        auto *l = new QLabel(this);
        l->setObjectName(QStringLiteral("stbPanel%1").arg(i));
        l->setFrameShape(QFrame::Panel);
        l->setFrameShadow(QFrame::Sunken);
        l->setAlignment(i == 3 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        l->setMinimumWidth(widths[i]);
        if (i < 3)
            l->setFixedWidth(widths[i]);
        m_panels[size_t(i)] = l;
        row->addWidget(l, i == 3 ? 1 : 0);
    }
}

QString TStatusBar::panelText(int i) const { return m_panels.at(size_t(i))->text(); }

void TStatusBar::setPanelText(int i, const QString &text) { m_panels.at(size_t(i))->setText(text); }

void TStatusBar::setPanelWidth(int i, int width)
{
    if (i < 3)
        m_panels.at(size_t(i))->setFixedWidth(width);
    else
        m_panels.at(size_t(i))->setMinimumWidth(width);
}

QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

void setHint(QWidget *w, const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    w->setToolTip(bar < 0 ? hint : hint.left(bar));
    w->setStatusTip(longHint(hint));
    w->setProperty("Hint", hint);
}

TFrmOBase::TFrmOBase(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("キボラ"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    m_central = new QWidget(this);
    m_central->setObjectName(QStringLiteral("centralArea"));
    outer->addWidget(m_central, 1);
    m_stb = new TStatusBar(this);
    outer->addWidget(m_stb);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TFrmOBase::Timer1Timer);
    Timer1->start();
    Timer1Timer();

    // Key preview: the form sees keys before its controls do.
    qApp->installEventFilter(this);
}

TFrmOBase::~TFrmOBase() { qApp->removeEventFilter(this); }

void TFrmOBase::setCentralLayout(QLayout *layout) { m_central->setLayout(layout); }

void TFrmOBase::setStatusTitle(const QString &title) { m_stb->setPanelText(2, title); }

QString TFrmOBase::statusTitle() const { return m_stb->panelText(2); }

void TFrmOBase::Timer1Timer() { Timer1TimerAt(QDateTime::currentDateTime()); }

void TFrmOBase::Timer1TimerAt(const QDateTime &now)
{
    m_stb->setPanelText(0, now.toString(QStringLiteral("yyyy/MM/dd")));
    m_stb->setPanelText(1, now.toString(QStringLiteral("HH:mm")));
}

bool TFrmOBase::event(QEvent *e)
{
    // Qt delivers the status tip of the control under the mouse to its window.
    if (e->type() == QEvent::StatusTip) {
        m_stb->setPanelText(3, static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    return QDialog::event(e);
}

void TFrmOBase::enterPressed(QWidget *focus)
{
    // A push button is pressed; check boxes and radio buttons keep their
    // state and the focus moves on, like from any other input.
    auto *button = qobject_cast<QAbstractButton *>(focus);
    if (button && !qobject_cast<QCheckBox *>(focus) && !qobject_cast<QRadioButton *>(focus)) {
        button->click();
        return;
    }
    focusNextChild();
}

bool TFrmOBase::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return QDialog::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return QDialog::eventFilter(watched, event);
    if (key->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        QWidget *focus = QApplication::focusWidget();
        if (qobject_cast<QPlainTextEdit *>(focus) || qobject_cast<QTextEdit *>(focus))
            return QDialog::eventFilter(watched, event);
        enterPressed(focus);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFrmOBase::confirmClose()
{
    if (m_closeConfirmed)
        return true;
    const QString q = closeQuestion();
    if (!q.isEmpty() && !prompter().question(q))
        return false;
    m_closeConfirmed = true;
    return true;
}

void TFrmOBase::closeEvent(QCloseEvent *e)
{
    if (!confirmClose()) {
        e->ignore();
        return;
    }
    QDialog::closeEvent(e);
}

void TFrmOBase::reject()
{
    if (!confirmClose())
        return;
    QDialog::reject();
}

void TFrmOBase::showEvent(QShowEvent *e)
{
    m_closeConfirmed = false;
    QDialog::showEvent(e);
}
