#include "ByteLimit.h"

#include "TextRules.h"

#include <QComboBox>

#include <algorithm>

ByteLimit::ByteLimit(QLineEdit *edit, int maxBytes) : QObject(edit), m_edit(edit), m_max(maxBytes), m_last(edit->text())
{
    setObjectName(QStringLiteral("ByteLimit"));
    edit->setProperty("maxBytes", maxBytes);
    connect(edit, &QLineEdit::textEdited, this, &ByteLimit::edited);
    // Text set by the program (loading; setText clears the modified flag)
    // is taken as it is, even when longer than the limit.
    connect(edit, &QLineEdit::textChanged, this, [this](const QString &t) {
        if (m_edit && !m_edit->isModified())
            m_last = t;
    });
}

ByteLimit *ByteLimit::apply(QLineEdit *edit, int maxBytes) { return new ByteLimit(edit, maxBytes); }

ByteLimit *ByteLimit::apply(QComboBox *combo, int maxBytes)
{
    combo->setProperty("maxBytes", maxBytes);
    return combo->lineEdit() ? new ByteLimit(combo->lineEdit(), maxBytes) : nullptr;
}

int ByteLimit::limitOf(const QObject *edit)
{
    const QVariant v = edit->property("maxBytes");
    return v.isValid() ? v.toInt() : -1;
}

QString ByteLimit::fit(const QString &before, const QString &after, int maxBytes, int *cursor)
{
    if (text::sjisLength(after) <= maxBytes) {
        if (cursor)
            *cursor = -1;
        return after;
    }
    // The edit replaced before[prefix .. before.size()-suffix) with the middle of after.
    qsizetype prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix
           && before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    // Never start or end the inserted part inside a surrogate pair.
    if (prefix > 0 && after[prefix - 1].isHighSurrogate())
        --prefix;
    if (suffix > 0 && after[after.size() - suffix].isLowSurrogate())
        --suffix;
    const QString head = after.left(prefix);
    const QString tail = after.right(suffix);
    const QString inserted = after.mid(prefix, after.size() - prefix - suffix);
    // A text loaded longer than the limit can still be shortened; nothing
    // new goes in until it fits.
    const int room = std::max(0, maxBytes - text::sjisLength(head) - text::sjisLength(tail));
    const QString kept = text::sjisCut(inserted, room);
    if (cursor)
        *cursor = int(head.size() + kept.size());
    return head + kept + tail;
}

void ByteLimit::edited(const QString &t)
{
    if (!m_edit)
        return;
    int cursor = -1;
    const QString fitted = fit(m_last, t, m_max, &cursor);
    m_last = fitted;
    if (fitted != t) {
        m_edit->setText(fitted);
        m_edit->setModified(true);
        if (cursor >= 0)
            m_edit->setCursorPosition(cursor);
    }
}
