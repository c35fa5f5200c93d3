#include "PictureControls.h"

#include "FrmOBaseU.h"
#include "Prompter.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>

namespace picture {

QLabel *makePathLabel(const QString &name, QWidget *parent)
{
    auto *l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText); // paths are shown and stored as they are
    l->setFrameShape(QFrame::Panel);
    l->setFrameShadow(QFrame::Sunken);
    l->setMinimumWidth(300);
    l->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return l;
}

QToolButton *makeButton(const QString &name, const QString &hint, QStyle::StandardPixmap icon, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    // A picture button is clicked, never focused: Tab and Enter pass it by
    // instead of stopping on it (and Enter opening a file dialog).
    b->setFocusPolicy(Qt::NoFocus);
    b->setIcon(parent->style()->standardIcon(icon));
    setHint(b, hint);
    return b;
}

TableShapeGroup makeTableShapeGroup(QWidget *parent)
{
    TableShapeGroup g;
    g.box = new QGroupBox(parent);
    g.box->setObjectName(QStringLiteral("rdgTable"));
    setHint(g.box, QStringLiteral("テーブル形状指定"));
    auto *items = new QHBoxLayout(g.box);
    g.group = new QButtonGroup(g.box);
    static const char *const shapes[3] = {"円型", "四角", "画像"};
    for (int i = 0; i < 3; ++i) {
        auto *r = new QRadioButton(QString::fromUtf8(shapes[i]), g.box);
        r->setObjectName(QStringLiteral("rdgTable%1").arg(i));
        g.group->addButton(r, i);
        items->addWidget(r);
        g.items[size_t(i)] = r;
    }
    g.items[0]->setChecked(true);
    return g;
}

void choose(const QString &title, const QString &filter, QString &path, QLabel *label)
{
    const QString file = prompter().openFileName(title, path, filter);
    if (file.isEmpty())
        return;
    path = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    label->setText(path);
}

} // namespace picture
