#pragma once
// Every modal interaction of the program (message boxes, file dialogs, the
// printer setup dialog, the preview window) goes through one Prompter. The
// application installs a real one; tests install a scripted one that answers
// and records what it was asked.
#include <QString>
#include <QStringList>

class TplPrev;
class TplSetPrinter;

struct PrinterSetupChoice
{
    QStringList printers;   // printers offered, first is the default
    QString printerName;    // in: current, out: chosen
    QStringList papers;     // paper names offered for the current printer
    QString paperName;      // in: current, out: chosen
    bool landscape = false; // in: current, out: chosen
};

class Prompter
{
public:
    virtual ~Prompter() = default;

    // Message boxes. Titles and buttons are fixed per kind: question "情報"
    // (はい/いいえ, Yes default, Esc = No), information "情報", warning "警告",
    // error "エラー". Returns true for Yes.
    virtual bool question(const QString &text) = 0;
    virtual void information(const QString &text) = 0;
    virtual void warning(const QString &text) = 0;
    virtual void error(const QString &text) = 0;

    // File dialogs; an empty result means cancelled.
    virtual QString openFileName(const QString &caption, const QString &startPath, const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &startPath, const QString &filter) = 0;

    // Printer / paper / orientation dialog; false when cancelled.
    virtual bool printerSetup(PrinterSetupChoice &choice) = 0;

    // The modal preview window of a finished document.
    virtual void showPreview(TplPrev &doc, TplSetPrinter *printer, const QString &caption) = 0;
};

// The installed prompter. Setting one does not take ownership.
Prompter &prompter();
void setPrompter(Prompter *p);
