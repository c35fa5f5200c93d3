#pragma once
// The printer setup dialog: printer, its papers, orientation.
#include "Prompter.h"

#include <QDialog>

class QComboBox;
class QRadioButton;
class QPushButton;

class PrinterSetupDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PrinterSetupDialog(const PrinterSetupChoice &choice, QWidget *parent = nullptr);

    // The choice as the controls show it now.
    PrinterSetupChoice choice() const;

    QComboBox *cmbPrinter = nullptr;
    QComboBox *cmbPaper = nullptr;
    QRadioButton *rdoPortrait = nullptr;
    QRadioButton *rdoLandscape = nullptr;
    QPushButton *bbtnOK = nullptr;
    QPushButton *bbtnCancel = nullptr;

private:
    void cmbPrinterChange();
    void fillPapers(const QStringList &papers, const QString &current);

    PrinterSetupChoice m_in;
};
