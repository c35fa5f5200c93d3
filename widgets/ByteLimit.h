#pragma once
#include <QObject>
#include <QPointer>
#include <QLineEdit>

class QComboBox;

// Limits what the user can type into a text box (or the editor of an editable
// combo box) to a number of Shift_JIS bytes. Typing or pasting past the limit
// keeps as much of the new text as fits, never splitting a character;
// characters outside code page 932 count 2 bytes and are kept as typed.
class ByteLimit : public QObject
{
    Q_OBJECT
public:
    ByteLimit(QLineEdit *edit, int maxBytes);
    int maxBytes() const { return m_max; }

    static ByteLimit *apply(QLineEdit *edit, int maxBytes);
    static ByteLimit *apply(QComboBox *combo, int maxBytes);
    static int limitOf(const QObject *edit);

    // The rule on its own: old text, new text after an edit, the limit ->
    // what remains (the inserted part cut to fit).
    static QString fit(const QString &before, const QString &after, int maxBytes, int *cursor = nullptr);

private:
    void edited(const QString &t);

    QPointer<QLineEdit> m_edit;
    int m_max;
    QString m_last; // the text as last accepted
};
