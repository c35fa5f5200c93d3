#pragma once
// Controls the reception form and the defaults form share: the table shape
// choice and the picture buttons with their path labels.
#include <QStyle>
#include <QString>
#include <array>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QRadioButton;
class QToolButton;
class QWidget;

namespace picture {

// A sunken label showing a picture's path exactly as it is stored.
QLabel *makePathLabel(const QString &name, QWidget *parent);

// A picture button: clicked, never focused.
QToolButton *makeButton(const QString &name, const QString &hint, QStyle::StandardPixmap icon, QWidget *parent);

// The table shape group "rdgTable": 円型, 四角, 画像 with ids 0, 1, 2 (the
// NUM2 / TBLPTN value), 円型 checked.
struct TableShapeGroup {
    QGroupBox *box = nullptr;
    QButtonGroup *group = nullptr;
    std::array<QRadioButton *, 3> items{};
};
TableShapeGroup makeTableShapeGroup(QWidget *parent);

// Asks for a picture file, starting at path. When one is chosen, path
// becomes its absolute native path and label shows it; a cancel changes
// nothing.
void choose(const QString &title, const QString &filter, QString &path, QLabel *label);

} // namespace picture
