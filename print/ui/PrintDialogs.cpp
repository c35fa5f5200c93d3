#include "PrintDialogs.h"

#include <QMessageBox>

// Replaced by the real dialogs of the printing pipeline.
bool execPrinterSetupDialog(QWidget *, PrinterSetupChoice &) { return false; }

void execPreviewWindow(QWidget *, TplPrev &, TplSetPrinter *, const QString &) {}
