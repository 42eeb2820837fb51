// SheetBook: the program's sheet print component, a one-sheet workbook that the print dialogs
// fill and then print. It holds cell texts, column widths and headings, row heights, check-box
// objects, alignments and the page set-up (header, footer, print options, print area, scale,
// orientation, margins, font); SheetLayout lays it out on pages and the print code paints it.
//
// Rows and columns count from 1, as in a spreadsheet; a range reference names cells by column
// letters and row numbers ("A1:C20"). Sizes are in twips (1/1440 inch) unless said otherwise.
//
// A pasted clip text is kept as it came (the clipboard holds the same text, shared) with an
// index of its rows, and its cells are read when they are painted: a sheet of a million records
// costs its text and eight bytes a row. Cells set one by one are kept beside it.
#pragma once

#include <QHash>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <vector>

namespace pellumar {

// A block of cells, counting from 1; empty when row1 or col1 is 0.
struct SheetRange {
    int row1 = 0;
    int col1 = 0;
    int row2 = 0;
    int col2 = 0;

    bool isEmpty() const { return row1 < 1 || col1 < 1 || row2 < row1 || col2 < col1; }
    bool contains(int row, int col) const {
        return !isEmpty() && row >= row1 && row <= row2 && col >= col1 && col <= col2;
    }
    bool operator==(const SheetRange&) const = default;
};

// "A" -> 1, "Z" -> 26, "AA" -> 27; and back.
QString columnLetters(int col);
// "A1:C20", "$A$1:$C$20" or a single cell "B2"; an empty range for anything else.
SheetRange parseRangeRef(QStringView ref);
// "A1:C20" (a single cell as "B2"); "" for an empty range.
QString rangeRef(const SheetRange& range);

class SheetBook {
public:
    enum class WidthUnit {
        Characters,  // 1/256 of the width of a digit of the default font (the workbook's default)
        Twips,
    };
    enum class PrintOption {
        GridLines,      // lines around every printed cell
        ColHeadings,    // the column headings printed above the cells of every page
        ClipCells,      // a text is cut at its cell's edge rather than running over empty cells
        BlackAndWhite,  // every line and shade printed in black ink
    };
    enum class HAlign { General, Left, Center, Right };
    enum class VAlign { Top, Center, Bottom };
    struct Alignment {
        HAlign horizontal = HAlign::General;
        bool wordWrap = false;
        VAlign vertical = VAlign::Bottom;
        int orientation = 0;  // degrees; only 0 is printed

        bool operator==(const Alignment&) const = default;
    };
    // A check-box object in cell coordinates: whole numbers lie on cell borders, counting from
    // 0 (x 0 is the left edge of column 1, y 0 the top edge of row 1).
    struct CheckBox {
        double x1 = 0;
        double y1 = 0;
        double x2 = 0;
        double y2 = 0;
        int value = 0;  // 1 ticked, 0 not
    };

    static constexpr int kDefaultColWidth = 1440;   // twips
    static constexpr int kTwipsPerCharacter = 105;  // a digit of the default font
    static constexpr int kMaxRows = 100'000'000;
    static constexpr int kMaxCols = 16384;

    SheetBook();
    ~SheetBook();
    SheetBook(const SheetBook&) = delete;
    SheetBook& operator=(const SheetBook&) = delete;

    // --- Cells ----------------------------------------------------------------------------------
    // Empties the sheet: cells, objects, column widths and headings, row heights, alignments,
    // the selection and the print area. The page set-up stays.
    void clear();

    // The number of sheet rows and columns. Writing a cell beyond them grows them; making them
    // smaller drops the cells beyond.
    int maxRow() const { return maxRow_; }
    int maxCol() const { return maxCol_; }
    void setMaxRow(int rows);
    void setMaxCol(int cols);

    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);

    // The active cell and the selection (the active cell alone unless a block was selected).
    int activeRow() const { return activeRow_; }
    int activeCol() const { return activeCol_; }
    void setActiveCell(int row, int col);
    SheetRange selection() const { return selection_; }
    void setSelection(const SheetRange& range);
    QString selectionRef() const { return rangeRef(selection_); }

    // Writes a clip text (cells joined by tabs, rows by line breaks, a cell holding either in
    // double quotes) at the active cell; the pasted block becomes the selection. Cells set one
    // by one inside the block before are overwritten.
    void pasteText(const QString& clip);

    // Check-box objects; the id is the object's index.
    int addCheckBox(double x1, double y1, double x2, double y2);
    void setObjectValue(int id, int value);
    int objectValue(int id) const;
    const std::vector<CheckBox>& checkBoxes() const { return checkBoxes_; }

    // The alignment of the selected cells, and of one cell.
    void setAlignment(HAlign horizontal, bool wordWrap, VAlign vertical, int orientation);
    Alignment alignment(int row, int col) const;

    // --- Columns and rows -----------------------------------------------------------------------
    WidthUnit colWidthUnit() const { return widthUnit_; }
    void setColWidthUnit(WidthUnit unit) { widthUnit_ = unit; }
    // In the current unit; 0 hides the column.
    int colWidth(int col) const;
    void setColWidth(int col, int width);
    int colWidthTwips(int col) const;
    // The column's heading: its letter unless a text was set.
    QString colText(int col) const;
    void setColText(int col, const QString& text);

    // Twips; the default follows the font size. 0 hides the row.
    int rowHeight(int row) const;
    void setRowHeight(int row1, int row2, int twips);
    bool hasRowHeights() const { return !rowHeights_.empty(); }
    int defaultRowHeight() const;

    QString fontName() const { return fontName_; }
    double fontSize() const { return fontSize_; }
    void setFont(const QString& name, double points);

    // --- Page set-up ----------------------------------------------------------------------------
    // Header and footer texts: "&P" stands for the page number, "&N" for the number of pages,
    // "&&" for "&".
    QString printHeader() const { return header_; }
    void setPrintHeader(const QString& text) { header_ = text; }
    QString printFooter() const { return footer_; }
    void setPrintFooter(const QString& text) { footer_ = text; }
    // The header or footer of one page.
    static QString pageText(const QString& text, int page, int pages);

    bool printOption(PrintOption option) const;
    void setPrintOption(PrintOption option, bool on);

    // The block printed; empty means the cells in use.
    SheetRange printArea() const { return printArea_; }
    QString printAreaRef() const { return rangeRef(printArea_); }
    // False (and the area as it was) for a reference that names no block.
    bool setPrintArea(const QString& ref);
    // The block the pages show: the print area, or every row and column holding something.
    SheetRange printedRange() const;

    // Percent, 10 to 400; anything else is refused and leaves the scale as it was.
    int printScale() const { return scale_; }
    bool setPrintScale(int percent);
    bool printLandscape() const { return landscape_; }
    void setPrintLandscape(bool on) { landscape_ = on; }

    // Inches.
    double printLeftMargin() const { return margins_[0]; }
    double printTopMargin() const { return margins_[1]; }
    double printRightMargin() const { return margins_[2]; }
    double printBottomMargin() const { return margins_[3]; }
    void setPrintMargins(double left, double top, double right, double bottom);
    // Distance of the header from the top edge and of the footer from the bottom edge.
    double printHeaderMargin() const { return 0.5; }

    // The paper (portrait, inches) the sheet is meant for; empty for the printer's own.
    QSizeF paperSize() const { return paper_; }
    void setPaperSize(const QSizeF& inches) { paper_ = inches; }

private:
    struct Pasted;

    static quint64 key(int row, int col) { return (quint64(quint32(row)) << 32) | quint32(col); }
    const Pasted* pastedAt(int row, int col) const;
    void grow(int row, int col);

    int maxRow_ = 0;
    int maxCol_ = 0;
    QHash<quint64, QString> cells_;  // cells set one by one (an empty text over pasted cells)
    std::vector<Pasted> pasted_;
    // The row of a pasted block read last: painting reads a row's cells one after another.
    mutable const Pasted* cachedBlock_ = nullptr;
    mutable int cachedRow_ = -1;
    mutable QStringList cachedCells_;
    int activeRow_ = 1;
    int activeCol_ = 1;
    SheetRange selection_{1, 1, 1, 1};
    std::vector<CheckBox> checkBoxes_;
    std::vector<std::pair<SheetRange, Alignment>> alignments_;

    WidthUnit widthUnit_ = WidthUnit::Characters;
    QHash<int, int> colWidths_;  // twips
    QHash<int, QString> colTexts_;
    std::vector<int> rowHeights_;  // twips by row - 1; -1 for the default

    QString fontName_;
    double fontSize_ = 10;
    QString header_;
    QString footer_;
    bool options_[4] = {false, true, false, false};
    SheetRange printArea_;
    int scale_ = 100;
    bool landscape_ = false;
    double margins_[4] = {0.75, 1.0, 0.75, 1.0};
    QSizeF paper_;
};

}  // namespace pellumar
