#pragma once
// The windows of the printing pipeline, reached through the prompter.
#include "Prompter.h"

class QWidget;

// Printer / paper / orientation dialog. Returns false when cancelled.
bool execPrinterSetupDialog(QWidget *parent, PrinterSetupChoice &choice);

// The modal preview window of a finished document.
void execPreviewWindow(QWidget *parent, TplPrev &doc, TplSetPrinter *printer, const QString &caption);
