#include "TplPrevForm.h"

#include "Prompter.h"
#include "TplPrev.h"
#include "TplSetPrinter.h"

#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <cmath>

// --- page widget ---

PreviewPageWidget::PreviewPageWidget(const TplPrev &doc, QWidget *parent)
    : QWidget(parent), m_doc(doc)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PreviewPageWidget::setPage(int page)
{
    m_page = page;
    update();
}

void PreviewPageWidget::setScale(double pixelsPerUnit)
{
    m_scale = pixelsPerUnit;
    resize(sizeHint());
    updateGeometry();
    update();
}

QSize PreviewPageWidget::sizeHint() const
{
    const PageFrame f = m_doc.frame();
    return QSize(int(std::ceil(f.PaperW * m_scale)) + 2 * Margin, int(std::ceil(f.PaperH * m_scale)) + 2 * Margin);
}

void PreviewPageWidget::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(128, 128, 128));
    const PageFrame f = m_doc.frame();
    const QRectF sheet(Margin, Margin, f.PaperW * m_scale, f.PaperH * m_scale);
    p.fillRect(sheet.translated(3, 3), QColor(64, 64, 64));
    p.fillRect(sheet, Qt::white);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.translate(Margin, Margin);
    p.scale(m_scale, m_scale);
    m_doc.paintPage(p, m_page);
}

// --- window ---

TplPrevForm::TplPrevForm(TplPrev &doc, TplSetPrinter *printer, const QString &caption, QWidget *parent)
    : QDialog(parent), m_doc(doc), m_printer(printer)
{
    setObjectName(QStringLiteral("TplPrevForm"));
    setWindowTitle(caption);
    setModal(true);
    setSizeGripEnabled(true);
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    if (!m_printer)
        m_printer = m_ownPrinter = new TplSetPrinter;

    toolBar = new QToolBar(this);
    toolBar->setObjectName(QStringLiteral("toolBar"));
    toolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [this](const QString &text, const char *name, auto slot, const QKeySequence &key = {}) {
        QAction *a = toolBar->addAction(text);
        a->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    actPrint = add(QStringLiteral("印刷"), "actPrint", [this] { printDocument(); }, QKeySequence::Print);
    actSavePdf = add(QStringLiteral("PDF保存"), "actSavePdf", [this] { savePdfFile(); });
    toolBar->addSeparator();
    actZoomOut = add(QStringLiteral("縮小"), "actZoomOut", [this] { zoomOut(); }, QKeySequence::ZoomOut);
    actZoomIn = add(QStringLiteral("拡大"), "actZoomIn", [this] { zoomIn(); }, QKeySequence::ZoomIn);
    actWholePage = add(QStringLiteral("ページ全体"), "actWholePage", [this] { fitWholePage(); });
    actPageWidth = add(QStringLiteral("ページ幅"), "actPageWidth", [this] { fitPageWidth(); });
    QAction *navSep = toolBar->addSeparator();
    actFirst = add(QStringLiteral("先頭ページ"), "actFirst", [this] { firstPage(); }, QKeySequence(Qt::Key_Home));
    actPrev = add(QStringLiteral("前ページ"), "actPrev", [this] { previousPage(); }, QKeySequence(Qt::Key_PageUp));
    actNext = add(QStringLiteral("次ページ"), "actNext", [this] { nextPage(); }, QKeySequence(Qt::Key_PageDown));
    actLast = add(QStringLiteral("最終ページ"), "actLast", [this] { lastPage(); }, QKeySequence(Qt::Key_End));
    toolBar->addSeparator();
    actClose = add(QStringLiteral("閉じる"), "actClose", [this] { reject(); });
    const bool many = m_doc.pageCount() > 1;
    for (QAction *a : {navSep, actFirst, actPrev, actNext, actLast})
        a->setVisible(many);

    pageView = new PreviewPageWidget(m_doc);
    pageView->setObjectName(QStringLiteral("pageView"));
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrollArea"));
    m_scroll->setWidget(pageView);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->viewport()->installEventFilter(this);

    statusBar = new QStatusBar(this);
    statusBar->setObjectName(QStringLiteral("statusBar"));
    m_lblPage = new QLabel(statusBar);
    m_lblZoom = new QLabel(statusBar);
    statusBar->addWidget(m_lblPage);
    statusBar->addWidget(m_lblZoom);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolBar);
    layout->addWidget(m_scroll, 1);
    layout->addWidget(statusBar);

    resize(900, 700);
    fitWholePage();
}

TplPrevForm::~TplPrevForm() { delete m_ownPrinter; }

double TplPrevForm::screenUnitsScale() const { return logicalDpiX() / 254.0; }

int TplPrevForm::pageCount() const { return m_doc.pageCount(); }
int TplPrevForm::currentPage() const { return pageView->page(); }

void TplPrevForm::setCurrentPage(int page)
{
    if (pageCount() <= 0)
        return;
    pageView->setPage(std::clamp(page, 0, pageCount() - 1));
    updateStatus();
}

void TplPrevForm::setZoom(double zoom)
{
    m_mode = ZoomMode::Fixed;
    m_zoom = std::clamp(zoom, MinZoom, MaxZoom);
    applyZoom();
}

void TplPrevForm::zoomIn() { setZoom(m_zoom * 1.25); }
void TplPrevForm::zoomOut() { setZoom(m_zoom / 1.25); }

void TplPrevForm::fitWholePage()
{
    m_mode = ZoomMode::WholePage;
    applyZoom();
}

void TplPrevForm::fitPageWidth()
{
    m_mode = ZoomMode::PageWidth;
    applyZoom();
}

void TplPrevForm::applyZoom()
{
    const PageFrame f = m_doc.frame();
    if (m_mode != ZoomMode::Fixed && f.valid()) {
        // The room without scroll bars, so the fit does not depend on the
        // bars the previous zoom needed.
        const QSize view = m_scroll->maximumViewportSize();
        const double availW = std::max(50, view.width() - 2 * PreviewPageWidget::Margin - 4);
        const double availH = std::max(50, view.height() - 2 * PreviewPageWidget::Margin - 4);
        const double s = screenUnitsScale();
        double z = availW / (f.PaperW * s);
        if (m_mode == ZoomMode::WholePage)
            z = std::min(z, availH / (f.PaperH * s));
        else if (f.PaperH * s * z > availH) // a vertical scroll bar will take its room
            z = (availW - m_scroll->verticalScrollBar()->sizeHint().width()) / (f.PaperW * s);
        m_zoom = std::clamp(z, MinZoom, MaxZoom);
    }
    pageView->setScale(m_zoom * screenUnitsScale());
    updateStatus();
}

QString TplPrevForm::pageText() const
{
    return QStringLiteral("%1 / %2 ページ").arg(pageCount() > 0 ? currentPage() + 1 : 0).arg(pageCount());
}

QString TplPrevForm::zoomText() const { return QStringLiteral("倍率 %1%").arg(qRound(m_zoom * 100)); }

void TplPrevForm::updateStatus()
{
    m_lblPage->setText(pageText());
    m_lblZoom->setText(zoomText());
    const int p = currentPage();
    actFirst->setEnabled(p > 0);
    actPrev->setEnabled(p > 0);
    actNext->setEnabled(p < pageCount() - 1);
    actLast->setEnabled(p < pageCount() - 1);
    actZoomIn->setEnabled(m_zoom < MaxZoom);
    actZoomOut->setEnabled(m_zoom > MinZoom);
}

void TplPrevForm::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_mode != ZoomMode::Fixed)
        applyZoom();
}

void TplPrevForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_mode != ZoomMode::Fixed)
        applyZoom();
}

bool TplPrevForm::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl + wheel zooms, as in other viewers; the plain wheel scrolls.
    if (watched == m_scroll->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() > 0)
                zoomIn();
            else if (wheel->angleDelta().y() < 0)
                zoomOut();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString TplPrevForm::pdfFileName(const QString &caption)
{
    const QString start = (windowTitle().isEmpty() ? QStringLiteral("kivora") : windowTitle()) + QStringLiteral(".pdf");
    QString file = prompter().saveFileName(caption, start, QStringLiteral("PDFファイル (*.pdf)"));
    if (!file.isEmpty() && QFileInfo(file).suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) != 0)
        file += QStringLiteral(".pdf");
    return file;
}

bool TplPrevForm::savePdfFile()
{
    const QString file = pdfFileName(QStringLiteral("PDF保存"));
    if (file.isEmpty())
        return false;
    QString error;
    if (!m_doc.savePdf(file, &error)) {
        prompter().error(QStringLiteral("PDFファイルを保存できませんでした。\n%1\n%2").arg(file, error));
        return false;
    }
    statusBar->showMessage(QStringLiteral("保存しました: %1").arg(file), 5000);
    return true;
}

bool TplPrevForm::printDocument()
{
    if (m_printer->isPdfPrinter()) {
        const QString file = pdfFileName(QStringLiteral("印刷"));
        if (file.isEmpty())
            return false;
        QString error;
        if (!m_doc.savePdf(file, &error)) {
            prompter().error(QStringLiteral("印刷できませんでした。\n%1\n%2").arg(file, error));
            return false;
        }
        statusBar->showMessage(QStringLiteral("PDFに出力しました: %1").arg(file), 5000);
        return true;
    }
    QPrinter printer(QPrinter::HighResolution);
    m_printer->applyTo(printer);
    printer.setDocName(windowTitle());
    QString error;
    if (!m_doc.renderTo(printer, &error)) {
        prompter().error(QStringLiteral("印刷できませんでした。\n%1").arg(error));
        return false;
    }
    statusBar->showMessage(QStringLiteral("印刷しました。"), 5000);
    return true;
}
