#include "QtPrompter.h"

#include "PrintDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {
QWidget *owner() { return QApplication::activeModalWidget() ? QApplication::activeModalWidget() : QApplication::activeWindow(); }

void box(QMessageBox::Icon icon, const QString &title, const QString &text)
{
    QMessageBox mb(icon, title, QtPrompter::displayText(text), QMessageBox::NoButton, owner());
    QPushButton *ok = mb.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    mb.setDefaultButton(ok);
    mb.setEscapeButton(ok);
    mb.exec();
}
} // namespace

QString QtPrompter::displayText(const QString &text)
{
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

bool QtPrompter::question(const QString &text)
{
    QMessageBox mb(QMessageBox::Question, QStringLiteral("情報"), displayText(text), QMessageBox::NoButton, owner());
    QPushButton *yes = mb.addButton(QStringLiteral("はい(&Y)"), QMessageBox::YesRole);
    QPushButton *no = mb.addButton(QStringLiteral("いいえ(&N)"), QMessageBox::NoRole);
    mb.setDefaultButton(yes);
    mb.setEscapeButton(no);
    mb.exec();
    return mb.clickedButton() == yes;
}

void QtPrompter::information(const QString &text) { box(QMessageBox::Information, QStringLiteral("情報"), text); }

void QtPrompter::warning(const QString &text) { box(QMessageBox::Warning, QStringLiteral("警告"), text); }

void QtPrompter::error(const QString &text) { box(QMessageBox::Critical, QStringLiteral("エラー"), text); }

QString QtPrompter::openFileName(const QString &caption, const QString &startPath, const QString &filter)
{
    return QFileDialog::getOpenFileName(owner(), caption, startPath, filter);
}

QString QtPrompter::saveFileName(const QString &caption, const QString &startPath, const QString &filter)
{
    return QFileDialog::getSaveFileName(owner(), caption, startPath, filter);
}

bool QtPrompter::printerSetup(PrinterSetupChoice &choice) { return execPrinterSetupDialog(owner(), choice); }

void QtPrompter::showPreview(TplPrev &doc, TplSetPrinter *printer, const QString &caption)
{
    execPreviewWindow(owner(), doc, printer, caption);
}
