#pragma once
// Printer settings of one reception: printer, paper and orientation, kept in
// a small settings file of our own. When the system offers no printer, a
// built-in PDF printer (1200 dpi, whole sheet printable) stands in, so the
// device values are always real.
#include <QPageLayout>
#include <QPageSize>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class QPrinter;

// The ten device values of GetDeviceValue, index 0 holding kind 1.
using DeviceValues = std::array<int, 10>;

// Paper size in whole millimetres from dots and dots per inch
// (dots × 25.4 ÷ dpi + 0.5, truncated); 0 when dpi is not positive.
int paperSizeMm(int dots, int dpi);

// Device values of a sheet whose whole area is printable.
DeviceValues fullSheetDeviceValues(const QPageSize &size, QPageLayout::Orientation orientation, int dpi);

class TplSetPrinter
{
public:
    // Name of the built-in PDF printer.
    static const QString PdfPrinterName;     // "PDFに出力"
    static constexpr int PdfPrinterDpi = 1200;
    // First line of a settings file.
    static const QString SettingsMagic;      // "KivoraPrinterSettings 1"

    // Starts on the system's default printer (or the PDF printer), its
    // default paper (A4 when the printer has none) and portrait.
    TplSetPrinter();

    // --- the operations the forms rely on ---
    bool LoadSettings(const QString &path);   // false: nothing changed
    bool SaveSettings(const QString &path);   // atomic replace
    void SetLandscape(bool landscape);
    bool ShowPrinterSetup();                  // through prompter().printerSetup
    int GetDeviceValue(int kind) const;       // kinds 1..10; 0 for others
    QString GetPaperName() const;
    bool IsLandscape() const;

    // --- what the preview window and the dialogs need ---
    QString printerName() const { return m_printer; }
    bool isPdfPrinter() const;
    QPageSize pageSize() const { return m_pageSize; }
    QPageLayout::Orientation orientation() const;
    DeviceValues deviceValues() const;

    // Selects a printer; an unknown name selects the default printer.
    // Paper and orientation are kept; ShowPrinterSetup then picks one of
    // the papers the printer offers.
    void setPrinterName(const QString &name);
    // Selects a paper by its name or its QPageSize key; false when unknown.
    bool setPaperName(const QString &name);
    void setPageSize(const QPageSize &size);

    // Printers offered: the system's printers, or the PDF printer alone.
    static QStringList availablePrinters();
    static QString defaultPrinterName();
    // Paper names the current (or the named) printer offers.
    QStringList paperNames() const;
    static QStringList paperNamesFor(const QString &printer);

    // Sets printer, paper, orientation and full-page mode on a QPrinter so
    // that its coordinates start at the paper's corner. For the PDF printer
    // it only sets paper and orientation (the caller chooses the file).
    void applyTo(QPrinter &printer) const;

    // Tests inject device values (e.g. 600 dpi A4) instead of asking a
    // printer; std::nullopt goes back to the real values.
    void setDeviceValuesOverride(std::optional<DeviceValues> values);

private:
    void refreshDeviceValues();

    QString m_printer;
    QPageSize m_pageSize;
    bool m_landscape = false;
    DeviceValues m_values{};
    std::optional<DeviceValues> m_override;
};
