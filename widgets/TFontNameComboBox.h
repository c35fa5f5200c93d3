#pragma once
#include <QComboBox>

// Font name box: a drop-down list of the installed font families, each name
// drawn in its own face. A name that is not installed (a reception saved on
// another machine, or a Windows face the printing side maps to a stand-in)
// is still shown and handed back unchanged, so saving never rewrites it.
class TFontNameComboBox : public QComboBox
{
    Q_OBJECT
public:
    static const QString InitialFont; // "ＭＳ Ｐ明朝"

    explicit TFontNameComboBox(QWidget *parent = nullptr);

    QString fontName() const { return currentText(); }
    // Selects the family; an unknown name is added as an item of its own.
    void setFontName(const QString &name);

    // Re-reads the installed families, keeping the current name.
    void reloadFonts();

    // True when the family is one the font database lists.
    static bool isInstalled(const QString &family);
};
