#pragma once
// The base of every window but the CSV import form and the about box: a
// status bar with date, time, title and hint panels, a one-second clock, and
// the keyboard rules (Esc closes, Enter moves to the next control).
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QDateTime>
#include <array>

class TStatusBar : public QFrame
{
    Q_OBJECT
public:
    explicit TStatusBar(QWidget *parent = nullptr);
    QString panelText(int i) const;
    void setPanelText(int i, const QString &text);
    QLabel *panel(int i) const { return m_panels.at(size_t(i)); }
    void setPanelWidth(int i, int width);

private:
    std::array<QLabel *, 4> m_panels{};
};

// Sets a control's hint "short|long": the short part as its tool tip, the
// long part (the whole text when there is no bar) for the status bar.
void setHint(QWidget *w, const QString &hint);
QString longHint(const QString &hint);

class TFrmOBase : public QDialog
{
    Q_OBJECT
public:
    explicit TFrmOBase(QWidget *parent = nullptr);
    ~TFrmOBase() override;

    TStatusBar *stb() const { return m_stb; }
    // The form's title in panel 2.
    void setStatusTitle(const QString &title);
    QString statusTitle() const;

    // Clock tick, also run once at creation.
    void Timer1Timer();
    void Timer1TimerAt(const QDateTime &now);

    // The question asked before the window closes; empty = no question.
    virtual QString closeQuestion() const { return QString(); }

    // Puts the form's own contents above the status bar.
    void setCentralLayout(QLayout *layout);
    QWidget *centralArea() const { return m_central; }

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool event(QEvent *e) override;
    void closeEvent(QCloseEvent *e) override;
    void showEvent(QShowEvent *e) override;
    // Enter on the focused control: move on (or press a focused button).
    virtual void enterPressed(QWidget *focus);
    // Asks the close question once per close attempt; true = may close.
    bool confirmClose();

private:
    TStatusBar *m_stb = nullptr;
    QWidget *m_central = nullptr;
    QTimer *Timer1 = nullptr;
    bool m_closeConfirmed = false;
};
