// The print preview: the pages of a PageSource one below the other, painted only while in view
// so that a document of thousands of pages opens at once and scrolls smoothly, with the commands
// to print them, to save them as a PDF file, to zoom and to go from page to page.
#pragma once

#include <QAbstractScrollArea>
#include <QDialog>

#include <functional>

class QLabel;
class QToolButton;

namespace pellumar {

class PageSource;

class PageView : public QAbstractScrollArea {
    Q_OBJECT

public:
    explicit PageView(const PageSource& pages, QWidget* parent = nullptr);

    // 1 shows the paper at its real size on the screen.
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    void fitWidth();
    void fitPage();
    // The page at the top of the view, from 0; and scrolling a page to the top.
    int currentPage() const;
    void showPage(int index);
    // How many pages the last repaint painted (the pages in view).
    int paintedPages() const { return paintedPages_; }

signals:
    void currentPageChanged(int index);
    void zoomChanged(double zoom);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum class Fit { None, Width, Page };
    QSize pagePixels() const;
    int pageStride() const { return pagePixels().height() + kGap; }
    void updateScrollBars();
    void applyFit();
    void noteCurrentPage();

    static constexpr int kGap = 12;
    const PageSource& pages_;
    double zoom_ = 1.0;
    Fit fit_ = Fit::Width;
    int notedPage_ = -1;
    int paintedPages_ = 0;
};

class PrintPreview : public QDialog {
    Q_OBJECT

public:
    explicit PrintPreview(const PageSource& pages, QWidget* parent = nullptr);

    // What Print and Save as PDF ask; true when the user went ahead, which ends the preview.
    void setPrintHandler(std::function<bool()> handler) { printHandler_ = std::move(handler); }
    void setPdfHandler(std::function<bool()> handler) { pdfHandler_ = std::move(handler); }

    PageView* view() const { return view_; }
    QToolButton* cmdPrint = nullptr;
    QToolButton* cmdPdf = nullptr;
    QLabel* lbPage = nullptr;

private:
    void showPageNumber(int index);

    const PageSource& pages_;
    PageView* view_;
    std::function<bool()> printHandler_;
    std::function<bool()> pdfHandler_;
};

}  // namespace pellumar
