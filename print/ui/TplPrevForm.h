#pragma once
// The modal preview window of a finished document: its pages drawn from the
// recording on our own widget, zoom, page navigation, print and PDF save.
#include <QDialog>
#include <QWidget>

class QAction;
class QLabel;
class QScrollArea;
class QStatusBar;
class QToolBar;
class TplPrev;
class TplSetPrinter;

// One page of the document at a given scale, on a grey desk.
class PreviewPageWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Margin = 12;
    explicit PreviewPageWidget(const TplPrev &doc, QWidget *parent = nullptr);

    void setPage(int page);
    int page() const { return m_page; }
    // Screen pixels per page unit.
    void setScale(double pixelsPerUnit);
    double scale() const { return m_scale; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const TplPrev &m_doc;
    int m_page = 0;
    double m_scale = 0.3;
};

class TplPrevForm : public QDialog
{
    Q_OBJECT
public:
    enum class ZoomMode { WholePage, PageWidth, Fixed };
    static constexpr double MinZoom = 0.1;
    static constexpr double MaxZoom = 8.0;

    // printer may be null: the default printer settings are used then.
    TplPrevForm(TplPrev &doc, TplSetPrinter *printer, const QString &caption, QWidget *parent = nullptr);
    ~TplPrevForm() override;

    // 1.0 is the paper's real size on the screen.
    double zoom() const { return m_zoom; }
    ZoomMode zoomMode() const { return m_mode; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    void fitWholePage();
    void fitPageWidth();

    int currentPage() const; // 0-based
    int pageCount() const;
    void setCurrentPage(int page);
    void firstPage() { setCurrentPage(0); }
    void previousPage() { setCurrentPage(currentPage() - 1); }
    void nextPage() { setCurrentPage(currentPage() + 1); }
    void lastPage() { setCurrentPage(pageCount() - 1); }

    // 印刷: to the printer of the settings, or to a file on the PDF printer.
    bool printDocument();
    // PDF保存: to a file the user names, whatever the printer.
    bool savePdfFile();

    QString pageText() const;
    QString zoomText() const;

    QAction *actPrint = nullptr;
    QAction *actSavePdf = nullptr;
    QAction *actZoomOut = nullptr;
    QAction *actZoomIn = nullptr;
    QAction *actWholePage = nullptr;
    QAction *actPageWidth = nullptr;
    QAction *actFirst = nullptr;
    QAction *actPrev = nullptr;
    QAction *actNext = nullptr;
    QAction *actLast = nullptr;
    QAction *actClose = nullptr;
    QToolBar *toolBar = nullptr;
    QStatusBar *statusBar = nullptr;
    PreviewPageWidget *pageView = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyZoom();
    void updateStatus();
    double screenUnitsScale() const; // screen pixels per page unit at zoom 1
    QString pdfFileName(const QString &caption);

    TplPrev &m_doc;
    TplSetPrinter *m_printer;
    TplSetPrinter *m_ownPrinter = nullptr;
    QScrollArea *m_scroll = nullptr;
    QLabel *m_lblPage = nullptr;
    QLabel *m_lblZoom = nullptr;
    ZoomMode m_mode = ZoomMode::WholePage;
    double m_zoom = 1.0;
};
