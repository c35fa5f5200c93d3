#pragma once
// The frame shared by the editing forms: the management-number header, the
// input area below it, and the cancel / action / close row. A form states only
// what differs through EditFormSettings and the virtual hooks.
#include "FrmOBaseU.h"

#include <QColor>

class QFrame;
class QLineEdit;
class QPushButton;
class QToolButton;
class TNumberEdit;

struct EditFormSettings
{
    // Registration form: the name is an editable 60-byte box, kept on a
    // lookup miss, and the number stays when returning to the header.
    bool editableName = false;
    QString cancelCaption = QStringLiteral(" ｷｬﾝｾﾙ ");
    QString executeCaption = QStringLiteral(" 更 新 ");
    QString executeHint;
    QString closeButtonName = QStringLiteral("bbtnEnd");
    QString setHint;                     // empty: the set button has no hint
    QString inputAreaName = QStringLiteral("pnlInput");
    // Close question in the input state; empty = always "終了しますか？".
    QString inputCloseText = QStringLiteral("現在更新中のデータは保存されません。\r\n終了しますか？");
    bool resetByTag = true;              // walk the Tag 1 controls on a state change
};

class TFrmEditBase : public TFrmOBase
{
    Q_OBJECT
public:
    static const QColor Silver;
    static const QColor White;

    explicit TFrmEditBase(const EditFormSettings &settings, QWidget *parent = nullptr);
    ~TFrmEditBase() override;

    // Header elements.
    QFrame *pnlKanri = nullptr;
    TNumberEdit *nedtKanriNo = nullptr;
    QToolButton *spbKanriSrc = nullptr;
    QLabel *lblKanriNm = nullptr;     // all forms but registration
    QLineEdit *edtKanriNm = nullptr;  // registration only
    QPushButton *bbtnSet = nullptr;
    // Bottom row.
    QPushButton *bbtnCancel = nullptr;
    QPushButton *bbtnExecute = nullptr;
    QPushButton *bbtnClose = nullptr; // named bbtnEnd or bbtnClose per form

    // The input area the form fills with its own controls.
    QWidget *inputArea() const { return m_input; }
    const EditFormSettings &settings() const { return m_settings; }

    // Header state (true) or input state (false), loading the reception.
    void SetHeaderState(bool header);
    bool isHeaderState() const { return m_header; }

    void nedtKanriNoExit();
    void spbKanriSrcClick();
    void bbtnSetClick();
    void bbtnCancelClick();

    int kanriNo() const;
    QString kanriName() const;

    QString closeQuestion() const override;

    // Colours an input's editing background.
    static void setInputColor(QWidget *w, const QColor &c);
    static QColor inputColor(const QWidget *w);

protected:
    // Checks before entering the input state. The default is the existence
    // check; false stops the set (the hook has shown its message).
    virtual bool checkOnSet(int kanriNo);
    // Loads reception n into the input area (input state).
    virtual void loadInput(int kanriNo) { Q_UNUSED(kanriNo); }
    // Empties and colours the form's resettable inputs.
    virtual void resetInputs(bool header);
    // One Tag 1 control: colour and empty it.
    virtual void resetTagged(QWidget *w, bool header);
    // True in the input state, for the close question.
    virtual bool inputStateForClose() const;
    virtual QWidget *focusAfterSearch() const;
    // Where the focus goes after a successful set; null leaves it alone.
    virtual QWidget *focusAfterSet() const { return nullptr; }
    // Runs after a confirmed cancel, before the header state.
    virtual void beforeCancel() {}
    // The form's action (" 更 新 " / " 印 刷 ").
    virtual void bbtnExecuteClick() {}

    void showEvent(QShowEvent *e) override;

    // Warning box, then the focus goes to the number box.
    void refuse(const QString &text);

private:
    // Buttons, header panel and input area for a state.
    void showState(bool header);

    EditFormSettings m_settings;
    QWidget *m_input = nullptr;
    bool m_header = true;
    bool m_shownOnce = false;
};
