#include "PrintDialogs.h"

#include "PrinterSetupDialog.h"
#include "TplPrevForm.h"

bool execPrinterSetupDialog(QWidget *parent, PrinterSetupChoice &choice)
{
    PrinterSetupDialog dialog(choice, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    choice = dialog.choice();
    return true;
}

void execPreviewWindow(QWidget *parent, TplPrev &doc, TplSetPrinter *printer, const QString &caption)
{
    TplPrevForm form(doc, printer, caption, parent);
    form.setWindowState(form.windowState() | Qt::WindowMaximized);
    form.exec();
}
