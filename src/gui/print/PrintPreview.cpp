#include "gui/print/PrintPreview.h"

#include "gui/services/PageSource.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr double kMinZoom = 0.1;
constexpr double kMaxZoom = 4.0;
constexpr double kZoomStep = 1.25;

}  // namespace

PageView::PageView(const PageSource& pages, QWidget* parent)
    : QAbstractScrollArea(parent), pages_(pages) {
    setObjectName(u"pageView"_s);
    viewport()->setAutoFillBackground(false);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(40);
    horizontalScrollBar()->setSingleStep(40);
}

QSize PageView::pagePixels() const {
    const QSize paper = pages_.paperTwips();
    const double perTwip = zoom_ * logicalDpiX() / 1440.0;
    return QSize(std::max(1, int(std::lround(paper.width() * perTwip))),
                 std::max(1, int(std::lround(paper.height() * perTwip))));
}

void PageView::setZoom(double zoom) {
    fit_ = Fit::None;
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_) {
        return;
    }
    // Keep the page in view where it was.
    const int page = currentPage();
    const int stride = pageStride();
    const double within =
        stride > 0 ? double(verticalScrollBar()->value() - page * stride) / stride : 0;
    zoom_ = zoom;
    updateScrollBars();
    verticalScrollBar()->setValue(int(page * pageStride() + within * pageStride()));
    viewport()->update();
    emit zoomChanged(zoom_);
}

void PageView::fitWidth() {
    fit_ = Fit::Width;
    applyFit();
}

void PageView::fitPage() {
    fit_ = Fit::Page;
    applyFit();
}

void PageView::applyFit() {
    const QSize paper = pages_.paperTwips();
    if (fit_ == Fit::None || paper.isEmpty()) {
        return;
    }
    const int page = currentPage();
    const double perTwipAt1 = logicalDpiX() / 1440.0;
    const double byWidth = (viewport()->width() - 2.0 * kGap) / (paper.width() * perTwipAt1);
    const double byHeight = (viewport()->height() - 2.0 * kGap) / (paper.height() * perTwipAt1);
    zoom_ =
        std::clamp(fit_ == Fit::Width ? byWidth : std::min(byWidth, byHeight), kMinZoom, kMaxZoom);
    updateScrollBars();
    verticalScrollBar()->setValue(page * pageStride());
    viewport()->update();
    emit zoomChanged(zoom_);
}

void PageView::updateScrollBars() {
    const QSize page = pagePixels();
    const qint64 height = qint64(pages_.pageCount()) * (page.height() + kGap) + kGap;
    const qint64 width = page.width() + 2 * kGap;
    const QSize view = viewport()->size();
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setRange(
        0, int(std::clamp<qint64>(height - view.height(), 0, std::numeric_limits<int>::max())));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setRange(0, int(std::max<qint64>(0, width - view.width())));
}

int PageView::currentPage() const {
    if (pages_.pageCount() == 0) {
        return 0;
    }
    const int stride = std::max(1, pageStride());
    return std::clamp((verticalScrollBar()->value() + stride / 3) / stride, 0,
                      pages_.pageCount() - 1);
}

void PageView::showPage(int index) {
    index = std::clamp(index, 0, std::max(0, pages_.pageCount() - 1));
    verticalScrollBar()->setValue(index * pageStride());
}

void PageView::noteCurrentPage() {
    const int page = currentPage();
    if (page != notedPage_) {
        notedPage_ = page;
        emit currentPageChanged(page);
    }
}

void PageView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    if (fit_ != Fit::None) {
        applyFit();
    } else {
        updateScrollBars();
    }
}

void PageView::scrollContentsBy(int, int) {
    viewport()->update();
    noteCurrentPage();
}

void PageView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int steps = event->angleDelta().y() / 120;
        if (steps != 0) {
            setZoom(zoom_ * std::pow(kZoomStep, steps));
        }
        event->accept();
        return;
    }
    QAbstractScrollArea::wheelEvent(event);
}

void PageView::paintEvent(QPaintEvent* event) {
    QPainter p(viewport());
    p.fillRect(event->rect(), palette().color(QPalette::Dark));
    paintedPages_ = 0;
    const int count = pages_.pageCount();
    if (count == 0) {
        p.setPen(palette().color(QPalette::BrightText));
        p.drawText(viewport()->rect(), Qt::AlignCenter, u"Nothing to print"_s);
        return;
    }
    const QSize page = pagePixels();
    const int stride = page.height() + kGap;
    const int scrollY = verticalScrollBar()->value();
    const int contentWidth = page.width() + 2 * kGap;
    const int left = (std::max(viewport()->width(), contentWidth) - page.width()) / 2 -
                     horizontalScrollBar()->value();
    const QSize paper = pages_.paperTwips();
    const double sx = double(page.width()) / paper.width();
    const double sy = double(page.height()) / paper.height();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    for (int i = std::max(0, (scrollY - kGap) / stride); i < count; ++i) {
        const int top = kGap + i * stride - scrollY;
        if (top >= viewport()->height()) {
            break;
        }
        const QRect sheet(left, top, page.width(), page.height());
        if (!sheet.intersects(event->rect())) {
            continue;
        }
        p.fillRect(sheet.translated(3, 3), QColor(0, 0, 0, 90));
        p.fillRect(sheet, Qt::white);
        p.save();
        p.setClipRect(sheet);
        p.translate(sheet.topLeft());
        p.scale(sx, sy);
        pages_.paintPage(p, i);
        p.restore();
        ++paintedPages_;
    }
}

PrintPreview::PrintPreview(const PageSource& pages, QWidget* parent)
    : QDialog(parent), pages_(pages), view_(new PageView(pages, this)) {
    setObjectName(u"PrintPreview"_s);
    setWindowTitle(u"Print Preview"_s);

    auto* bar = new QHBoxLayout;
    const auto button = [this, bar](const QString& text, const QString& tip) {
        auto* b = new QToolButton(this);
        b->setText(text);
        b->setToolTip(tip);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->addWidget(b);
        return b;
    };
    cmdPrint = button(u"&Print..."_s, u"Print on a printer"_s);
    cmdPrint->setObjectName(u"cmdPrint"_s);
    cmdPdf = button(u"Save as P&DF..."_s, u"Write the pages to a PDF file"_s);
    cmdPdf->setObjectName(u"cmdPdf"_s);
    bar->addSpacing(16);
    QToolButton* zoomOutButton = button(u"\u2212"_s, u"Zoom out"_s);
    QToolButton* zoomInButton = button(u"+"_s, u"Zoom in"_s);
    QToolButton* widthButton = button(u"Fit &Width"_s, u"Fit the page's width"_s);
    QToolButton* wholeButton = button(u"&Whole Page"_s, u"Show the whole page"_s);
    bar->addSpacing(16);
    QToolButton* firstButton = button(u"|<"_s, u"First page"_s);
    QToolButton* previousButton = button(u"<"_s, u"Previous page"_s);
    lbPage = new QLabel(this);
    lbPage->setObjectName(u"lbPage"_s);
    lbPage->setMinimumWidth(fontMetrics().horizontalAdvance(u"Page 000000 of 000000"_s));
    lbPage->setAlignment(Qt::AlignCenter);
    bar->addWidget(lbPage);
    QToolButton* nextButton = button(u">"_s, u"Next page"_s);
    QToolButton* lastButton = button(u">|"_s, u"Last page"_s);
    bar->addStretch(1);
    QToolButton* closeButton = button(u"&Close"_s, u"Close the preview without printing"_s);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(view_, 1);

    const bool any = pages.pageCount() > 0;
    cmdPrint->setEnabled(any);
    cmdPdf->setEnabled(any);
    connect(cmdPrint, &QToolButton::clicked, this, [this] {
        if (printHandler_ && printHandler_()) {
            accept();
        }
    });
    connect(cmdPdf, &QToolButton::clicked, this, [this] {
        if (pdfHandler_ && pdfHandler_()) {
            accept();
        }
    });
    connect(zoomOutButton, &QToolButton::clicked, this,
            [this] { view_->setZoom(view_->zoom() / kZoomStep); });
    connect(zoomInButton, &QToolButton::clicked, this,
            [this] { view_->setZoom(view_->zoom() * kZoomStep); });
    connect(widthButton, &QToolButton::clicked, view_, &PageView::fitWidth);
    connect(wholeButton, &QToolButton::clicked, view_, &PageView::fitPage);
    connect(firstButton, &QToolButton::clicked, this, [this] { view_->showPage(0); });
    connect(previousButton, &QToolButton::clicked, this,
            [this] { view_->showPage(view_->currentPage() - 1); });
    connect(nextButton, &QToolButton::clicked, this,
            [this] { view_->showPage(view_->currentPage() + 1); });
    connect(lastButton, &QToolButton::clicked, this,
            [this] { view_->showPage(pages_.pageCount() - 1); });
    connect(closeButton, &QToolButton::clicked, this, &QDialog::reject);
    connect(view_, &PageView::currentPageChanged, this, &PrintPreview::showPageNumber);
    showPageNumber(0);

    // Most of the screen, with the page as wide as the view.
    const QScreen* screen = parent ? parent->screen() : QApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(area.width() * 3 / 4, 1000), area.height() * 9 / 10);
    view_->setFocus();
}

void PrintPreview::showPageNumber(int index) {
    const int count = pages_.pageCount();
    lbPage->setText(count == 0 ? QString() : u"Page %1 of %2"_s.arg(index + 1).arg(count));
}

}  // namespace pellumar
