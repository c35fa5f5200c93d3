#pragma once
#include <QLineEdit>

// Number box: holds a whole number within 0..99999999. Typed values above the
// range become the maximum, negative ones 0; the text is shown again from the
// value when the box loses the focus.
class TNumberEdit : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr qint64 MaxValue = 99999999;

    explicit TNumberEdit(QWidget *parent = nullptr);

    // The value with any fraction dropped, clamped to 0..MaxValue.
    int value() const;
    void setValue(qint64 v);

    // Clamping rule on its own: text as typed to the value it stands for.
    static int valueOf(const QString &text);

signals:
    // Emitted after the box has lost the focus and shown its value again.
    void exited();

protected:
    void focusOutEvent(QFocusEvent *e) override;
};
