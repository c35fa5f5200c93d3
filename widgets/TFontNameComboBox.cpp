#include "TFontNameComboBox.h"

#include <QFontDatabase>

const QString TFontNameComboBox::InitialFont = QStringLiteral("ＭＳ Ｐ明朝");

namespace {
QFont faceOf(const QString &family)
{
    QFont f(family);
    // Keep the list readable even when a symbol font is picked.
    f.setStyleStrategy(QFont::PreferDefault);
    return f;
}
} // namespace

TFontNameComboBox::TFontNameComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(16);
    reloadFonts();
    setFontName(InitialFont);
}

bool TFontNameComboBox::isInstalled(const QString &family)
{
    return QFontDatabase::families().contains(family);
}

void TFontNameComboBox::reloadFonts()
{
    const QString keep = currentText();
    blockSignals(true);
    clear();
    for (const QString &family : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(family))
            continue;
        addItem(family);
        setItemData(count() - 1, faceOf(family), Qt::FontRole);
    }
    blockSignals(false);
    if (!keep.isEmpty())
        setFontName(keep);
}

void TFontNameComboBox::setFontName(const QString &stored)
{
    // A face is never stored empty; an empty one means "not chosen yet".
    const QString name = stored.isEmpty() ? InitialFont : stored;
    int i = findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (i < 0) {
        // Not installed here: show it as stored, at the top of the list.
        insertItem(0, name);
        setItemData(0, faceOf(name), Qt::FontRole);
        i = 0;
    }
    setCurrentIndex(i);
}
