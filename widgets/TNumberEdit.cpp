#include "TNumberEdit.h"

#include <QRegularExpressionValidator>
#include <cmath>

TNumberEdit::TNumberEdit(QWidget *parent) : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?[0-9]{0,15}(\\.[0-9]*)?")), this));
    setValue(0);
}

int TNumberEdit::valueOf(const QString &text)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || std::isnan(d) || d <= 0)
        return 0;
    if (d >= double(MaxValue))
        return int(MaxValue);
    return int(std::trunc(d));
}

int TNumberEdit::value() const { return valueOf(text()); }

void TNumberEdit::setValue(qint64 v)
{
    if (v < 0)
        v = 0;
    if (v > MaxValue)
        v = MaxValue;
    setText(QString::number(v));
}

void TNumberEdit::focusOutEvent(QFocusEvent *e)
{
    QLineEdit::focusOutEvent(e);
    setValue(value());
    emit exited();
}
