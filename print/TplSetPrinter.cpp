#include "TplSetPrinter.h"

#include "Prompter.h"

#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <cmath>

const QString TplSetPrinter::PdfPrinterName = QStringLiteral("PDFに出力");
const QString TplSetPrinter::SettingsMagic = QStringLiteral("KivoraPrinterSettings 1");

namespace {

// Papers the built-in PDF printer offers.
const QPageSize::PageSizeId kPdfPapers[] = {
    QPageSize::A3, QPageSize::A4, QPageSize::A5, QPageSize::B4, QPageSize::B5,
    QPageSize::JisB4, QPageSize::JisB5, QPageSize::Letter, QPageSize::Legal, QPageSize::Tabloid,
};

bool systemHasPrinters() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

// Finds a paper by key or name: first among the printer's own sizes (they
// carry the driver's names), then among all standard sizes.
std::optional<QPageSize> findPaper(const QString &printer, const QString &keyOrName)
{
    if (keyOrName.isEmpty())
        return std::nullopt;
    if (printer != TplSetPrinter::PdfPrinterName) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        if (!info.isNull()) {
            const auto sizes = info.supportedPageSizes();
            for (const QPageSize &s : sizes)
                if (s.key() == keyOrName)
                    return s;
            for (const QPageSize &s : sizes)
                if (s.name() == keyOrName)
                    return s;
        }
    }
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto pid = QPageSize::PageSizeId(id);
        if (pid == QPageSize::Custom)
            continue;
        if (QPageSize::key(pid) == keyOrName || QPageSize::name(pid) == keyOrName)
            return QPageSize(pid);
    }
    return std::nullopt;
}

QPageSize defaultPaperFor(const QString &printer)
{
    if (printer != TplSetPrinter::PdfPrinterName) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        if (!info.isNull()) {
            const QPageSize def = info.defaultPageSize();
            if (def.isValid())
                return def;
        }
    }
    return QPageSize(QPageSize::A4);
}

} // namespace

int paperSizeMm(int dots, int dpi)
{
    if (dpi <= 0)
        return 0;
    return int(std::trunc(double(dots) * 25.4 / double(dpi) + 0.5));
}

DeviceValues fullSheetDeviceValues(const QPageSize &size, QPageLayout::Orientation orientation, int dpi)
{
    // From the size's own definition: QPageSize::sizePixels goes through
    // whole points and is up to half a point off (A3 would be 420.2 mm).
    QSizeF inch;
    switch (size.definitionUnits()) {
    case QPageSize::Millimeter: inch = size.definitionSize() / 25.4; break;
    case QPageSize::Inch: inch = size.definitionSize(); break;
    default: inch = size.size(QPageSize::Point) / 72.0; break;
    }
    // Rounded up, so that the page frame (truncated to 0.1 mm) comes out as
    // the nominal paper: 297 mm at 1200 dpi is 14031.5 dots; 14032 gives 2970.
    const auto dots = [dpi](double inches) { return int(std::ceil(inches * dpi - 1e-6)); };
    QSize px(dots(inch.width()), dots(inch.height()));
    if (orientation == QPageLayout::Landscape)
        px.transpose();
    const int w = px.width();
    const int h = px.height();
    return DeviceValues{dpi, dpi, w, h, w, h, 0, h, 0, w};
}

TplSetPrinter::TplSetPrinter()
    : m_printer(defaultPrinterName()), m_pageSize(defaultPaperFor(m_printer))
{
    refreshDeviceValues();
}

QStringList TplSetPrinter::availablePrinters()
{
    // The PDF printer is always offered last, so a chart can go to a file.
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.removeAll(PdfPrinterName);
    const QString def = QPrinterInfo::defaultPrinterName();
    if (!def.isEmpty() && names.removeAll(def) > 0)
        names.prepend(def);
    names.append(PdfPrinterName);
    return names;
}

QString TplSetPrinter::defaultPrinterName()
{
    const QString def = QPrinterInfo::defaultPrinterName();
    if (!def.isEmpty())
        return def;
    const QStringList names = QPrinterInfo::availablePrinterNames();
    return names.isEmpty() ? PdfPrinterName : names.first();
}

bool TplSetPrinter::isPdfPrinter() const { return m_printer == PdfPrinterName; }

QPageLayout::Orientation TplSetPrinter::orientation() const
{
    return m_landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
}

QStringList TplSetPrinter::paperNamesFor(const QString &printer)
{
    QStringList names;
    if (printer != PdfPrinterName) {
        const QPrinterInfo info = QPrinterInfo::printerInfo(printer);
        if (!info.isNull()) {
            const auto sizes = info.supportedPageSizes();
            for (const QPageSize &s : sizes)
                if (!names.contains(s.name()))
                    names.append(s.name());
        }
        if (!names.isEmpty())
            return names;
    }
    for (auto id : kPdfPapers)
        names.append(QPageSize::name(id));
    return names;
}

QStringList TplSetPrinter::paperNames() const { return paperNamesFor(m_printer); }

void TplSetPrinter::setPrinterName(const QString &name)
{
    const bool known = name == PdfPrinterName
                       || QPrinterInfo::availablePrinterNames().contains(name);
    m_printer = known ? name : defaultPrinterName();
    refreshDeviceValues();
}

bool TplSetPrinter::setPaperName(const QString &name)
{
    const auto size = findPaper(m_printer, name);
    if (!size)
        return false;
    m_pageSize = *size;
    refreshDeviceValues();
    return true;
}

void TplSetPrinter::setPageSize(const QPageSize &size)
{
    if (!size.isValid())
        return;
    m_pageSize = size;
    refreshDeviceValues();
}

void TplSetPrinter::SetLandscape(bool landscape)
{
    m_landscape = landscape;
    refreshDeviceValues();
}

bool TplSetPrinter::IsLandscape() const { return m_landscape; }

QString TplSetPrinter::GetPaperName() const { return m_pageSize.isValid() ? m_pageSize.name() : QString(); }

int TplSetPrinter::GetDeviceValue(int kind) const
{
    if (kind < 1 || kind > 10)
        return 0;
    return deviceValues()[std::size_t(kind - 1)];
}

DeviceValues TplSetPrinter::deviceValues() const { return m_override ? *m_override : m_values; }

void TplSetPrinter::setDeviceValuesOverride(std::optional<DeviceValues> values) { m_override = values; }

void TplSetPrinter::refreshDeviceValues()
{
    if (isPdfPrinter() || !systemHasPrinters()) {
        m_values = fullSheetDeviceValues(m_pageSize, orientation(), PdfPrinterDpi);
        return;
    }
    QPrinter printer(QPrinterInfo::printerInfo(m_printer), QPrinter::HighResolution);
    printer.setPageSize(m_pageSize);
    printer.setPageOrientation(orientation());
    const int dpi = printer.resolution();
    QPageLayout layout = printer.pageLayout();
    // The printable area is the sheet less the device's own minimum margins.
    layout.setMargins(layout.minimumMargins());
    const QRect full = layout.fullRectPixels(dpi);
    const QRect paint = layout.paintRectPixels(dpi);
    if (dpi <= 0 || full.isEmpty()) {
        m_values = fullSheetDeviceValues(m_pageSize, orientation(), PdfPrinterDpi);
        return;
    }
    const int left = paint.left() - full.left();
    const int top = paint.top() - full.top();
    m_values = DeviceValues{dpi, dpi, full.width(), full.height(), paint.width(), paint.height(),
                            top, top + paint.height(), left, left + paint.width()};
}

bool TplSetPrinter::ShowPrinterSetup()
{
    PrinterSetupChoice choice;
    choice.printers = availablePrinters();
    choice.printerName = m_printer;
    choice.papers = paperNames();
    choice.paperName = GetPaperName();
    choice.landscape = m_landscape;
    if (!prompter().printerSetup(choice))
        return false;
    const QString printer = choice.printerName.isEmpty() ? m_printer : choice.printerName;
    const QPageSize keep = m_pageSize;
    setPrinterName(printer);
    if (!setPaperName(choice.paperName))
        m_pageSize = keep;
    m_landscape = choice.landscape;
    refreshDeviceValues();
    return true;
}

void TplSetPrinter::applyTo(QPrinter &printer) const
{
    if (isPdfPrinter()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setResolution(PdfPrinterDpi);
    } else {
        printer.setOutputFormat(QPrinter::NativeFormat);
        printer.setPrinterName(m_printer);
    }
    printer.setPageSize(m_pageSize);
    printer.setPageOrientation(orientation());
    printer.setFullPage(true);
}

bool TplSetPrinter::SaveSettings(const QString &path)
{
    QString text = SettingsMagic + QLatin1Char('\n');
    const QSizeF mm = m_pageSize.size(QPageSize::Millimeter);
    text += QStringLiteral("printer=%1\n").arg(m_printer);
    text += QStringLiteral("paper=%1\n").arg(m_pageSize.key());
    text += QStringLiteral("paperName=%1\n").arg(m_pageSize.name());
    text += QStringLiteral("paperSizeMm=%1x%2\n").arg(mm.width()).arg(mm.height());
    text += QStringLiteral("orientation=%1\n").arg(m_landscape ? QStringLiteral("landscape")
                                                                : QStringLiteral("portrait"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toUtf8());
    return file.commit();
}

bool TplSetPrinter::LoadSettings(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Ours are a few hundred bytes; bounded, so a device or a huge file in
    // its place is never read whole.
    constexpr qint64 kMaxSize = 64 * 1024;
    if (file.size() > kMaxSize)
        return false; // not ours
    const QByteArray bytes = file.read(kMaxSize + 1);
    file.close();
    if (bytes.size() > kMaxSize)
        return false;

    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        return false;
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &l : lines)
        if (l.endsWith(QLatin1Char('\r')))
            l.chop(1);
    if (lines.isEmpty() || lines.first() != SettingsMagic)
        return false;

    QString printer, paperKey, paperName, paperMm, orientationText;
    for (int i = 1; i < lines.size(); ++i) {
        const QString &line = lines.at(i);
        if (line.isEmpty())
            continue;
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return false;
        const QString key = line.left(eq);
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("printer"))
            printer = value;
        else if (key == QLatin1String("paper"))
            paperKey = value;
        else if (key == QLatin1String("paperName"))
            paperName = value;
        else if (key == QLatin1String("paperSizeMm"))
            paperMm = value;
        else if (key == QLatin1String("orientation"))
            orientationText = value;
        // unknown keys are left for later versions
    }
    bool landscape = false;
    if (orientationText == QLatin1String("landscape"))
        landscape = true;
    else if (orientationText != QLatin1String("portrait"))
        return false;

    // A printer that has gone falls back to the default one; the saved
    // paper and orientation still apply.
    const bool known = printer == PdfPrinterName
                       || (!printer.isEmpty() && QPrinterInfo::availablePrinterNames().contains(printer));
    const QString usePrinter = known ? printer : defaultPrinterName();

    std::optional<QPageSize> size = findPaper(usePrinter, paperKey);
    if (!size)
        size = findPaper(usePrinter, paperName);
    if (!size && !paperMm.isEmpty()) {
        const QStringList wh = paperMm.split(QLatin1Char('x'));
        bool okW = false, okH = false;
        const double w = wh.value(0).toDouble(&okW);
        const double h = wh.size() == 2 ? wh.value(1).toDouble(&okH) : 0;
        if (okW && okH && w >= 10 && h >= 10 && w <= 10000 && h <= 10000)
            size = QPageSize(QSizeF(w, h), QPageSize::Millimeter, paperName);
    }
    if (!size || !size->isValid())
        return false;

    m_printer = usePrinter;
    m_pageSize = *size;
    m_landscape = landscape;
    refreshDeviceValues();
    return true;
}
