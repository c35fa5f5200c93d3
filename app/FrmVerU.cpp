#include "FrmVerU.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TFrmVer::TFrmVer(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmVer"));
    setWindowTitle(QStringLiteral("バージョン情報"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    lblProduct = new QLabel(this);
    lblProduct->setObjectName(QStringLiteral("lblProduct"));
    QFont f = lblProduct->font();
    f.setBold(true);
    lblProduct->setFont(f);
    lblVersion = new QLabel(QStringLiteral("[ Version 1.1.1 ]"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    // The build's own version replaces the placeholder.
    lblVersion->setText(versionText());

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblProduct);
    layout->addWidget(lblVersion);
    layout->addWidget(ok, 0, Qt::AlignRight);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFrmVer::setProductName(const QString &name) { lblProduct->setText(name); }

QString TFrmVer::versionText() { return QStringLiteral("Version " KIVORA_VERSION); }
