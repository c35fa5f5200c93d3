#include "PrinterSetupDialog.h"

#include "TplSetPrinter.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

PrinterSetupDialog::PrinterSetupDialog(const PrinterSetupChoice &choice, QWidget *parent)
    : QDialog(parent), m_in(choice)
{
    setWindowTitle(QStringLiteral("プリンタの設定"));
    setObjectName(QStringLiteral("PrinterSetupDialog"));

    cmbPrinter = new QComboBox(this);
    cmbPrinter->setObjectName(QStringLiteral("cmbPrinter"));
    cmbPrinter->addItems(choice.printers);
    if (!choice.printerName.isEmpty() && !choice.printers.contains(choice.printerName))
        cmbPrinter->addItem(choice.printerName);
    cmbPrinter->setCurrentIndex(std::max(0, cmbPrinter->findText(choice.printerName)));

    cmbPaper = new QComboBox(this);
    cmbPaper->setObjectName(QStringLiteral("cmbPaper"));
    fillPapers(choice.papers, choice.paperName);

    rdoPortrait = new QRadioButton(QStringLiteral("縦"), this);
    rdoPortrait->setObjectName(QStringLiteral("rdoPortrait"));
    rdoLandscape = new QRadioButton(QStringLiteral("横"), this);
    rdoLandscape->setObjectName(QStringLiteral("rdoLandscape"));
    (choice.landscape ? rdoLandscape : rdoPortrait)->setChecked(true);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("プリンタ名"), cmbPrinter);
    form->addRow(QStringLiteral("用紙サイズ"), cmbPaper);
    auto *orient = new QGroupBox(QStringLiteral("印刷の向き"), this);
    auto *ol = new QHBoxLayout(orient);
    ol->addWidget(rdoPortrait);
    ol->addWidget(rdoLandscape);
    ol->addStretch();

    bbtnOK = new QPushButton(QStringLiteral("OK"), this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    bbtnOK->setDefault(true);
    bbtnCancel = new QPushButton(QStringLiteral("キャンセル"), this);
    bbtnCancel->setObjectName(QStringLiteral("bbtnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);

    auto *root = new QVBoxLayout(this);
    root->addLayout(form);
    root->addWidget(orient);
    root->addLayout(buttons);

    connect(cmbPrinter, &QComboBox::currentIndexChanged, this, &PrinterSetupDialog::cmbPrinterChange);
    connect(bbtnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(420, sizeHint().height());
}

void PrinterSetupDialog::fillPapers(const QStringList &papers, const QString &current)
{
    cmbPaper->clear();
    cmbPaper->addItems(papers);
    int i = cmbPaper->findText(current);
    if (i < 0 && !current.isEmpty() && papers.isEmpty()) {
        cmbPaper->addItem(current);
        i = 0;
    }
    if (i < 0)
        i = std::max(0, cmbPaper->findText(QStringLiteral("A4")));
    cmbPaper->setCurrentIndex(i);
}

void PrinterSetupDialog::cmbPrinterChange()
{
    // Each printer offers its own papers; keep the chosen one when it can.
    const QString keep = cmbPaper->currentText();
    fillPapers(TplSetPrinter::paperNamesFor(cmbPrinter->currentText()), keep);
}

PrinterSetupChoice PrinterSetupDialog::choice() const
{
    PrinterSetupChoice c = m_in;
    c.printerName = cmbPrinter->currentText();
    c.papers.clear();
    for (int i = 0; i < cmbPaper->count(); ++i)
        c.papers.append(cmbPaper->itemText(i));
    c.paperName = cmbPaper->currentText();
    c.landscape = rdoLandscape->isChecked();
    return c;
}
