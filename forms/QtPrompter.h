#pragma once
#include "Prompter.h"

// The prompter of the running program: real modal windows.
class QtPrompter : public Prompter
{
public:
    bool question(const QString &text) override;
    void information(const QString &text) override;
    void warning(const QString &text) override;
    void error(const QString &text) override;
    QString openFileName(const QString &caption, const QString &startPath, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &startPath, const QString &filter) override;
    bool printerSetup(PrinterSetupChoice &choice) override;
    void showPreview(TplPrev &doc, TplSetPrinter *printer, const QString &caption) override;

    // "\r\n" and "\n\r" in message texts show as one line break.
    static QString displayText(const QString &text);
};
