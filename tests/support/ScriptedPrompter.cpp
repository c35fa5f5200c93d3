#include "ScriptedPrompter.h"

#include <gtest/gtest.h>

bool ScriptedPrompter::question(const QString &text)
{
    asked.append({QStringLiteral("question"), text});
    if (answers.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return false;
    }
    const bool a = answers.front();
    answers.pop_front();
    return a;
}

void ScriptedPrompter::information(const QString &text) { asked.append({QStringLiteral("information"), text}); }
void ScriptedPrompter::warning(const QString &text) { asked.append({QStringLiteral("warning"), text}); }
void ScriptedPrompter::error(const QString &text) { asked.append({QStringLiteral("error"), text}); }

QString ScriptedPrompter::openFileName(const QString &caption, const QString &, const QString &filter)
{
    asked.append({QStringLiteral("open"), caption + QStringLiteral(" | ") + filter});
    if (files.empty())
        return QString();
    const QString f = files.front();
    files.pop_front();
    return f;
}

QString ScriptedPrompter::saveFileName(const QString &caption, const QString &, const QString &filter)
{
    asked.append({QStringLiteral("save"), caption + QStringLiteral(" | ") + filter});
    if (files.empty())
        return QString();
    const QString f = files.front();
    files.pop_front();
    return f;
}

bool ScriptedPrompter::printerSetup(PrinterSetupChoice &choice)
{
    asked.append({QStringLiteral("printer"), choice.printerName});
    return onPrinterSetup ? onPrinterSetup(choice) : false;
}

void ScriptedPrompter::showPreview(TplPrev &doc, TplSetPrinter *printer, const QString &caption)
{
    asked.append({QStringLiteral("preview"), caption});
    if (onPreview)
        onPreview(doc, printer, caption);
}

QStringList ScriptedPrompter::texts(const QString &kind) const
{
    QStringList out;
    for (const Prompt &p : asked)
        if (p.kind == kind)
            out << p.text;
    return out;
}

QStringList ScriptedPrompter::all() const
{
    QStringList out;
    for (const Prompt &p : asked)
        out << p.kind + QStringLiteral(": ") + p.text;
    return out;
}

void ScriptedPrompter::clear()
{
    asked.clear();
    answers.clear();
    files.clear();
    onPrinterSetup = nullptr;
    onPreview = nullptr;
}
