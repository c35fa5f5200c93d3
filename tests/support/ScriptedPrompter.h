#pragma once
// A prompter for tests: answers from a script and records every text it was
// shown, so a test asserts exactly what the user would have been asked.
#include "Prompter.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>

struct Prompt
{
    QString kind; // "question", "information", "warning", "error", "open", "save", "printer", "preview"
    QString text;
};

class ScriptedPrompter : public Prompter
{
public:
    // Answers for questions, in order; a question with no scripted answer
    // fails the test and answers No.
    std::deque<bool> answers;
    // File names for the file dialogs, in order; none scripted = cancelled.
    std::deque<QString> files;
    // Printer dialog: called with the choice; return false to cancel.
    std::function<bool(PrinterSetupChoice &)> onPrinterSetup;
    // Preview window: called with the document.
    std::function<void(TplPrev &, TplSetPrinter *, const QString &)> onPreview;

    QList<Prompt> asked;

    bool question(const QString &text) override;
    void information(const QString &text) override;
    void warning(const QString &text) override;
    void error(const QString &text) override;
    QString openFileName(const QString &caption, const QString &startPath, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &startPath, const QString &filter) override;
    bool printerSetup(PrinterSetupChoice &choice) override;
    void showPreview(TplPrev &doc, TplSetPrinter *printer, const QString &caption) override;

    // Texts of one kind, in the order they were shown.
    QStringList texts(const QString &kind) const;
    QStringList all() const;
    void clear();
};

// The prompter installed for the current test (reset before every test).
ScriptedPrompter &scripted();
