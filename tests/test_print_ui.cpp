// The printer setup dialog and the preview window, driven without blocking.
#include "PrintDialogs.h"
#include "PrinterSetupDialog.h"
#include "TestEnv.h"
#include "TplPrev.h"
#include "TplPrevForm.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

class PrintUiTest : public KivoraTest
{
protected:
    TplSetPrinter printer;
    TplPrev doc;
    QTemporaryDir dir;

    void SetUp() override
    {
        KivoraTest::SetUp();
        printer.setPrinterName(TplSetPrinter::PdfPrinterName);
        printer.setPaperName(QStringLiteral("A4"));
        printer.SetLandscape(false);
        doc.setPrinter(&printer);
    }

    void makeDoc(int pages)
    {
        doc.BeginDoc();
        for (int i = 0; i < pages; ++i) {
            if (i > 0)
                doc.NewPage();
            doc.SetFontHeight(120);
            doc.TextCenterMiddle(1050, 300, QStringLiteral("席次表 %1").arg(i + 1));
            // A dense block, easy to find on screen.
            for (int y = 1000; y < 1400; y += 2)
                doc.DrawLine(700, 1400, y, y);
        }
        doc.EndDoc();
    }

    static QByteArray head(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.read(4) : QByteArray();
    }
};

} // namespace

TEST_F(PrintUiTest, PrinterDialogFillsTheChoice)
{
    PrinterSetupChoice in;
    in.printers = TplSetPrinter::availablePrinters();
    in.printerName = TplSetPrinter::PdfPrinterName;
    in.papers = TplSetPrinter::paperNamesFor(in.printerName);
    in.paperName = QStringLiteral("A4");
    PrinterSetupDialog dlg(in);
    dlg.show();
    EXPECT_EQ(dlg.cmbPrinter->currentText(), TplSetPrinter::PdfPrinterName);
    EXPECT_EQ(dlg.cmbPaper->currentText(), QStringLiteral("A4"));
    EXPECT_TRUE(dlg.rdoPortrait->isChecked());
    dlg.cmbPaper->setCurrentText(QStringLiteral("A3"));
    QTest::mouseClick(dlg.rdoLandscape, Qt::LeftButton);
    QTest::mouseClick(dlg.bbtnOK, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    const PrinterSetupChoice out = dlg.choice();
    EXPECT_EQ(out.printerName, TplSetPrinter::PdfPrinterName);
    EXPECT_EQ(out.paperName, QStringLiteral("A3"));
    EXPECT_TRUE(out.landscape);

    // Through the modal entry point: cancelling leaves the choice alone.
    PrinterSetupChoice c = in;
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<PrinterSetupDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->rdoLandscape->setChecked(true);
        QTest::mouseClick(d->bbtnCancel, Qt::LeftButton);
    });
    EXPECT_FALSE(execPrinterSetupDialog(nullptr, c));
    EXPECT_FALSE(c.landscape);
    QTimer::singleShot(0, [] {
        auto *d = qobject_cast<PrinterSetupDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        d->rdoLandscape->setChecked(true);
        QTest::mouseClick(d->bbtnOK, Qt::LeftButton);
    });
    EXPECT_TRUE(execPrinterSetupDialog(nullptr, c));
    EXPECT_TRUE(c.landscape);
}

TEST_F(PrintUiTest, PreviewOpensMaximisedWithTheCallersTitle)
{
    makeDoc(1);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *f = qobject_cast<TplPrevForm *>(QApplication::activeModalWidget());
        ASSERT_NE(f, nullptr);
        seen = true;
        EXPECT_EQ(f->windowTitle(), QStringLiteral("席辞表印刷"));
        EXPECT_TRUE(f->windowState() & Qt::WindowMaximized);
        EXPECT_EQ(f->zoomMode(), TplPrevForm::ZoomMode::WholePage);
        EXPECT_FALSE(f->actNext->isVisible()) << "one page: no page buttons";
        f->actClose->trigger();
    });
    execPreviewWindow(nullptr, doc, &printer, QStringLiteral("席辞表印刷"));
    EXPECT_TRUE(seen);
}

TEST_F(PrintUiTest, ZoomAndPagesWithoutExec)
{
    makeDoc(3);
    TplPrevForm f(doc, &printer, QStringLiteral("出席者一覧表"));
    f.resize(900, 700);
    f.show();
    QApplication::processEvents();
    const QWidget *viewport = f.findChild<QScrollArea *>(QStringLiteral("scrollArea"))->viewport();

    // Whole page first: the sheet fits the view both ways.
    EXPECT_EQ(f.zoomMode(), TplPrevForm::ZoomMode::WholePage);
    EXPECT_LE(f.pageView->sizeHint().height(), viewport->height());
    EXPECT_LE(f.pageView->sizeHint().width(), viewport->width());
    EXPECT_GE(f.pageView->sizeHint().height(), viewport->height() - 40);
    const double whole = f.zoom();

    f.actZoomIn->trigger();
    EXPECT_EQ(f.zoomMode(), TplPrevForm::ZoomMode::Fixed);
    EXPECT_NEAR(f.zoom(), whole * 1.25, 1e-9);
    EXPECT_EQ(f.zoomText(), QStringLiteral("倍率 %1%").arg(qRound(whole * 125)));
    f.actZoomOut->trigger();
    f.actZoomOut->trigger();
    EXPECT_NEAR(f.zoom(), whole / 1.25, 1e-9);
    for (int i = 0; i < 40; ++i)
        f.zoomOut();
    EXPECT_DOUBLE_EQ(f.zoom(), TplPrevForm::MinZoom);
    EXPECT_FALSE(f.actZoomOut->isEnabled());

    f.actPageWidth->trigger();
    EXPECT_GT(f.zoom(), whole);
    EXPECT_LE(f.pageView->width(), viewport->width());
    EXPECT_GE(f.pageView->width(), viewport->width() - 40);
    f.actWholePage->trigger();
    EXPECT_NEAR(f.zoom(), whole, 1e-9);

    EXPECT_TRUE(f.actNext->isVisible());
    EXPECT_EQ(f.pageText(), QStringLiteral("1 / 3 ページ"));
    EXPECT_FALSE(f.actPrev->isEnabled());
    f.actNext->trigger();
    EXPECT_EQ(f.currentPage(), 1);
    f.actLast->trigger();
    EXPECT_EQ(f.pageText(), QStringLiteral("3 / 3 ページ"));
    EXPECT_FALSE(f.actNext->isEnabled());
    f.nextPage();
    EXPECT_EQ(f.currentPage(), 2);
    f.actFirst->trigger();
    EXPECT_EQ(f.currentPage(), 0);

    // The page widget paints the recording: the dense block is dark, the
    // sheet around it white.
    f.setZoom(0.5);
    QApplication::processEvents();
    const QImage shot = f.pageView->grab().toImage();
    const double s = f.pageView->scale();
    const int m = PreviewPageWidget::Margin;
    EXPECT_LT(qGray(shot.pixel(m + int(1050 * s), m + int(1200 * s))), 100);
    EXPECT_GT(qGray(shot.pixel(m + int(300 * s), m + int(2000 * s))), 250);
}

TEST_F(PrintUiTest, PrintOnThePdfPrinterAsksForAFile)
{
    makeDoc(2);
    TplPrevForm f(doc, &printer, QStringLiteral("席辞表印刷"));
    EXPECT_FALSE(f.printDocument()) << "cancelled file dialog prints nothing";
    EXPECT_EQ(scripted().texts("save").size(), 1);
    EXPECT_TRUE(scripted().texts("save").first().startsWith(QStringLiteral("印刷")));

    const QString out = dir.filePath(QStringLiteral("chart"));
    scripted().files = {out};
    f.actPrint->trigger();
    EXPECT_EQ(head(out + QStringLiteral(".pdf")), QByteArray("%PDF"));
    EXPECT_TRUE(scripted().texts("error").isEmpty());
}

TEST_F(PrintUiTest, SavePdfOnAnyPrinterAndReportsFailure)
{
    makeDoc(1);
    TplPrevForm f(doc, nullptr, QStringLiteral("席辞表印刷"));
    const QString out = dir.filePath(QStringLiteral("席次表.PDF"));
    scripted().files = {out};
    f.actSavePdf->trigger();
    EXPECT_EQ(head(out), QByteArray("%PDF"));
    EXPECT_EQ(scripted().texts("save"), QStringList{QStringLiteral("PDF保存 | PDFファイル (*.pdf)")});

    const QString bad = dir.filePath(QStringLiteral("no/such/folder/x.pdf"));
    scripted().files = {bad};
    EXPECT_FALSE(f.savePdfFile());
    ASSERT_EQ(scripted().texts("error").size(), 1);
    EXPECT_TRUE(scripted().texts("error").first().startsWith(QStringLiteral("PDFファイルを保存できませんでした。")));
    EXPECT_FALSE(QFile::exists(bad));
}

TEST_F(PrintUiTest, DocumentWithoutPagesShowsAndPrintsNothing)
{
    TplPrev empty; // never begun
    TplPrevForm f(empty, &printer, QStringLiteral("席辞表印刷"));
    f.show();
    QApplication::processEvents();
    f.zoomIn();
    f.nextPage();
    f.lastPage();
    f.fitPageWidth();
    EXPECT_EQ(f.pageText(), QStringLiteral("0 / 0 ページ"));
    QApplication::processEvents();
    (void)f.pageView->grab();
    const QString out = dir.filePath(QStringLiteral("empty.pdf"));
    scripted().files = {out};
    EXPECT_FALSE(f.savePdfFile());
    ASSERT_EQ(scripted().texts("error").size(), 1);
    EXPECT_TRUE(scripted().texts("error").first().contains(QStringLiteral("印刷するページがありません。")));
    EXPECT_FALSE(QFile::exists(out)) << "no empty file left behind";
}
