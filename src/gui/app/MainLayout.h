// The main window's work area under the toolbar, laid out in twips as the program has always
// placed it: the rule line `Line1`; the Drop Box row (label, box and its two buttons) in a band of
// its own; then the Form Panel frame `TabStrip1` on the left, the splitter bar `VBar` and the data
// grid filling the rest down to the status bar. Inside the frame sit the Form Panel grid and the
// record buttons; the row height buttons and the close box keep their distance to the splitter.
//
// Every element is placed by rule from the work area's size, the two switches (Drop Box shown,
// Form Panel shown) and the splitter's position, whenever one of them changes. A size that would
// come out negative (a window too small for it) is not applied: that element keeps its last size
// and the others are placed as usual. The layout asks for no minimum size.
#pragma once

#include <QLayout>
#include <QList>
#include <QPointer>

class QTabWidget;

namespace pellumar {

class SplitterBar;

class MainLayout : public QLayout {
    Q_OBJECT

public:
    explicit MainLayout(QWidget* workArea);
    ~MainLayout() override;

    // Fixed sizes, in twips.
    static constexpr int kDropBoxHeight = 285;
    static constexpr int kBandGap = 70;  // between the Drop Box band and the work area
    static constexpr int kButtonSize = 200;

    // The elements. All but the frame's contents are children of the work area.
    void setRuleLine(QWidget* line);
    void setDropBoxRow(QWidget* label, QWidget* box, QWidget* decode, QWidget* erase);
    void setWorkArea(QTabWidget* frame, SplitterBar* splitter, QWidget* grid);
    // In the frame: the Form Panel grid, the record buttons 0 to 5 (after the tab), the row height
    // buttons and the close box.
    void setFrameContents(QWidget* formPanel, const QList<QWidget*>& recordButtons,
                          QWidget* increase, QWidget* decrease, QWidget* closeBox);

    // The splitter's left edge, in twips. Setting it applies no limit.
    int splitterLeft() const { return splitterLeft_; }
    void setSplitterLeft(int twips);

    // The Drop Box row shown, or hidden with the work area moved up into its band.
    bool isDropBoxShown() const { return dropBoxShown_; }
    void setDropBoxShown(bool shown);

    // The Form Panel frame and the splitter shown, or hidden with the data grid across the
    // whole width.
    bool isFormPanelShown() const { return formPanelShown_; }
    void setFormPanelShown(bool shown);

    // The top of the work area (the data grid, the frame and the splitter) in twips from the
    // rule line: under the Drop Box band while it is shown.
    int workAreaTop() const;

    // Places everything again at the work area's present size.
    void relayout();

    // QLayout
    void addItem(QLayoutItem* item) override;
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    int count() const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    void manage(QWidget* w);
    // Places `w` at a rectangle given in twips relative to `origin` (pixels); a negative width or
    // height is not applied.
    void place(QWidget* w, QPoint origin, int left, int top, int width, int height) const;
    void placeFrameContents(int frameWidth, int frameHeight);
    int px(int twips) const;

    QList<QLayoutItem*> items_;
    QPointer<QWidget> line_;
    QPointer<QWidget> label_, box_, decode_, erase_;
    QPointer<QTabWidget> frame_;
    QPointer<SplitterBar> splitter_;
    QPointer<QWidget> grid_;
    QPointer<QWidget> formPanel_;
    QList<QPointer<QWidget>> recordButtons_;
    QPointer<QWidget> increase_, decrease_, closeBox_;

    int splitterLeft_ = 3570;
    bool dropBoxShown_ = true;
    bool formPanelShown_ = true;
};

}  // namespace pellumar
