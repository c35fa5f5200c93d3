// Printer settings: device values, the settings file, the setup dialog seam.
#include "TestEnv.h"
#include "TplPrev.h"
#include "TplSetPrinter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>

namespace {

class PrintSettingsTest : public KivoraTest
{
protected:
    void SetUp() override
    {
        KivoraTest::SetUp();
        QDir().mkpath(dataFolder());
    }

    QString settingsPath(int n) const { return dataFolder() + QStringLiteral("PlPrint%1.plv").arg(n); }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // A3 landscape on the built-in PDF printer: differs from every default.
    static void makeA3Landscape(TplSetPrinter &p)
    {
        p.setPrinterName(TplSetPrinter::PdfPrinterName);
        ASSERT_TRUE(p.setPaperName(QStringLiteral("A3")));
        p.SetLandscape(true);
    }
};

} // namespace

TEST(PaperSizeTest, MillimetresFromDots)
{
    const struct { int dots, dpi, mm; } cases[] = {
        {7016, 600, 297}, {4960, 600, 210}, {9921, 1200, 210}, {14031, 1200, 297},
        {59, 600, 2},  // 2.497 + 0.5 truncates to 2
        {60, 600, 3},  // 2.54 + 0.5 = 3.04
        {100, 0, 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(paperSizeMm(c.dots, c.dpi), c.mm) << c.dots << " dots at " << c.dpi;
}

TEST_F(PrintSettingsTest, InjectedA4At600DpiGivesThePaperSize)
{
    TplSetPrinter p;
    p.setDeviceValuesOverride(fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Portrait, 600));
    EXPECT_EQ(p.GetDeviceValue(1), 600);
    EXPECT_EQ(paperSizeMm(p.GetDeviceValue(4), p.GetDeviceValue(2)), 297);
    EXPECT_EQ(paperSizeMm(p.GetDeviceValue(3), p.GetDeviceValue(1)), 210);
    p.setDeviceValuesOverride(fullSheetDeviceValues(QPageSize(QPageSize::A4), QPageLayout::Landscape, 600));
    EXPECT_EQ(paperSizeMm(p.GetDeviceValue(4), p.GetDeviceValue(2)), 210);
    EXPECT_EQ(paperSizeMm(p.GetDeviceValue(3), p.GetDeviceValue(1)), 297);
    EXPECT_EQ(p.GetDeviceValue(0), 0);
    EXPECT_EQ(p.GetDeviceValue(11), 0);
}

TEST_F(PrintSettingsTest, BuiltInPdfPrinterHasRealDeviceValues)
{
    TplSetPrinter p;
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        EXPECT_TRUE(p.isPdfPrinter()) << "no system printer: the PDF printer is the default";
    }
    EXPECT_TRUE(TplSetPrinter::availablePrinters().contains(TplSetPrinter::PdfPrinterName));
    p.setPrinterName(TplSetPrinter::PdfPrinterName);
    ASSERT_TRUE(p.setPaperName(QStringLiteral("A4")));
    p.SetLandscape(false);
    EXPECT_EQ(p.GetPaperName(), QStringLiteral("A4"));
    EXPECT_FALSE(p.IsLandscape());
    // 210 × 297 mm at 1200 dpi, rounded up to whole dots.
    const int want[] = {1200, 1200, 9922, 14032, 9922, 14032, 0, 14032, 0, 9922};
    for (int kind = 1; kind <= 10; ++kind)
        EXPECT_EQ(p.GetDeviceValue(kind), want[kind - 1]) << "kind " << kind;
    p.SetLandscape(true);
    EXPECT_TRUE(p.IsLandscape());
    EXPECT_EQ(p.GetDeviceValue(3), 14032);
    EXPECT_EQ(p.GetDeviceValue(4), 9922);
    const PageFrame f = computePageFrame(p.deviceValues());
    EXPECT_EQ(f.PaperW, 2970);
    EXPECT_EQ(f.PaperH, 2100);
    EXPECT_EQ(paperSizeMm(p.GetDeviceValue(3), p.GetDeviceValue(1)), 297);
    EXPECT_TRUE(p.paperNames().contains(QStringLiteral("A3")));

    QPrinter printer;
    p.applyTo(printer);
    EXPECT_EQ(printer.outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer.pageLayout().orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A4);
    EXPECT_TRUE(printer.fullPage());
}

TEST_F(PrintSettingsTest, SaveAndLoadRoundTrip)
{
    TplSetPrinter saved;
    makeA3Landscape(saved);
    ASSERT_TRUE(saved.SaveSettings(settingsPath(12)));
    QFile f(settingsPath(12));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readLine().trimmed(), QByteArray("KivoraPrinterSettings 1"));
    f.close();

    TplSetPrinter loaded;
    loaded.SetLandscape(false);
    ASSERT_TRUE(loaded.LoadSettings(settingsPath(12)));
    EXPECT_EQ(loaded.printerName(), TplSetPrinter::PdfPrinterName);
    EXPECT_EQ(loaded.GetPaperName(), QStringLiteral("A3"));
    EXPECT_TRUE(loaded.IsLandscape());
    for (int kind = 1; kind <= 10; ++kind)
        EXPECT_EQ(loaded.GetDeviceValue(kind), saved.GetDeviceValue(kind));

    // Saving again replaces the file.
    loaded.SetLandscape(false);
    ASSERT_TRUE(loaded.SaveSettings(settingsPath(12)));
    TplSetPrinter again;
    ASSERT_TRUE(again.LoadSettings(settingsPath(12)));
    EXPECT_FALSE(again.IsLandscape());
    EXPECT_FALSE(again.SaveSettings(dataFolder() + QStringLiteral("no/such/folder/PlPrint1.plv")));
}

TEST_F(PrintSettingsTest, MissingDamagedOrForeignFileChangesNothing)
{
    const QByteArray good = "KivoraPrinterSettings 1\nprinter=" + TplSetPrinter::PdfPrinterName.toUtf8()
                            + "\npaper=A4\norientation=portrait\n";
    const struct { const char *what; QByteArray bytes; } cases[] = {
        {"empty", QByteArray()},
        {"foreign binary", QByteArray("\x50\x4b\x03\x04\x00\x00\xff\xfe garbage", 18)},
        {"other magic", "OtherProgram 1\npaper=A4\norientation=portrait\n"},
        {"later version", "KivoraPrinterSettings 2\npaper=A4\norientation=portrait\n"},
        {"bad orientation", "KivoraPrinterSettings 1\npaper=A4\norientation=sideways\n"},
        {"unknown paper", "KivoraPrinterSettings 1\npaper=NoSuchPaper\norientation=portrait\n"},
        {"not UTF-8", "KivoraPrinterSettings 1\nprinter=\xff\xfe\npaper=A4\norientation=portrait\n"},
        {"line without =", "KivoraPrinterSettings 1\npaper A4\norientation=portrait\n"},
        {"truncated", good.left(30)},
    };
    TplSetPrinter p;
    makeA3Landscape(p);
    const DeviceValues before = p.deviceValues();
    const QString path = settingsPath(3);
    EXPECT_FALSE(p.LoadSettings(dataFolder() + QStringLiteral("PlPrint999.plv")));
    for (const auto &c : cases) {
        writeFile(path, c.bytes);
        EXPECT_FALSE(p.LoadSettings(path)) << c.what;
        EXPECT_EQ(p.GetPaperName(), QStringLiteral("A3")) << c.what;
        EXPECT_TRUE(p.IsLandscape()) << c.what;
        EXPECT_EQ(p.deviceValues(), before) << c.what;
    }
    // A folder where the file should be: not read, not replaced.
    const QString folder = settingsPath(4);
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_FALSE(p.LoadSettings(folder));
    EXPECT_EQ(p.deviceValues(), before);
    EXPECT_FALSE(p.SaveSettings(folder));
    EXPECT_TRUE(QFileInfo(folder).isDir());
    // An endless device is not read to its end.
    if (QFileInfo::exists(QStringLiteral("/dev/zero"))) {
        EXPECT_FALSE(p.LoadSettings(QStringLiteral("/dev/zero")));
        EXPECT_EQ(p.deviceValues(), before);
    }
    writeFile(path, good);
    EXPECT_TRUE(p.LoadSettings(path)) << "the control case must load";
    EXPECT_EQ(p.GetPaperName(), QStringLiteral("A4"));
}

TEST_F(PrintSettingsTest, VanishedPrinterFallsBackToTheDefaultWithSavedPaper)
{
    writeFile(settingsPath(5), "KivoraPrinterSettings 1\r\nprinter=Office Printer (removed)\r\n"
                               "paper=B5\r\nfutureKey=1\r\norientation=landscape\r\n");
    TplSetPrinter p;
    ASSERT_TRUE(p.LoadSettings(settingsPath(5)));
    EXPECT_EQ(p.printerName(), TplSetPrinter::defaultPrinterName());
    EXPECT_EQ(p.pageSize().id(), QPageSize::B5);
    EXPECT_TRUE(p.IsLandscape());
    EXPECT_GT(p.GetDeviceValue(3), p.GetDeviceValue(4));
}

TEST_F(PrintSettingsTest, PrinterSetupGoesThroughThePrompter)
{
    TplSetPrinter p;
    p.setPrinterName(TplSetPrinter::PdfPrinterName);
    ASSERT_TRUE(p.setPaperName(QStringLiteral("A4")));
    PrinterSetupChoice offered;
    scripted().onPrinterSetup = [&](PrinterSetupChoice &c) {
        offered = c;
        c.paperName = QStringLiteral("A3");
        c.landscape = true;
        return true;
    };
    ASSERT_TRUE(p.ShowPrinterSetup());
    EXPECT_EQ(offered.printerName, TplSetPrinter::PdfPrinterName);
    EXPECT_EQ(offered.paperName, QStringLiteral("A4"));
    EXPECT_TRUE(offered.papers.contains(QStringLiteral("A3")));
    EXPECT_TRUE(offered.printers.contains(TplSetPrinter::PdfPrinterName));
    EXPECT_EQ(p.GetPaperName(), QStringLiteral("A3"));
    EXPECT_TRUE(p.IsLandscape());
    EXPECT_EQ(paperSizeMm(p.GetDeviceValue(3), p.GetDeviceValue(1)), 420);

    scripted().onPrinterSetup = [](PrinterSetupChoice &c) {
        c.paperName = QStringLiteral("A5");
        c.landscape = false;
        return false;
    };
    EXPECT_FALSE(p.ShowPrinterSetup());
    EXPECT_EQ(p.GetPaperName(), QStringLiteral("A3"));
    EXPECT_TRUE(p.IsLandscape());
}
