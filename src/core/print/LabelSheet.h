// Label sheets: the formats the Address Labels Printing dialog offers, where each label of a
// sheet lies on its paper, which label of which sheet the k-th printed label takes when the first
// sheet is partly used, how a label's five lines sit in its height, and the label settings the
// program remembers between sessions (format, start label, calibration offsets).
//
// Lengths are millimetres on the paper, from its top-left corner, unless said otherwise.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>

namespace pellumar {

// The three letter formats print a sheet of cells on US Letter; the A4 formats print on A4
// label sheets laid out as sold.
enum class LabelFormat {
    ThreeByTen,
    TwoByTen,
    TwoByFive,
    ThreeBySevenA4,
    ThreeByEightA4,
    TwoBySevenA4,
    TwoByEightA4,
    TwoByFourA4,
};
constexpr int kLabelFormats = 8;

QString labelFormatName(LabelFormat format);  // "3 x 10", ..., "2 x 4 A4"
QStringList labelFormatNames();               // in the order of LabelFormat
LabelFormat labelFormatAt(int index);         // the format of a list index; "3 x 10" outside
bool isA4Format(LabelFormat format);
int labelsAcross(LabelFormat format);
int labelsDown(LabelFormat format);
int labelsPerSheet(LabelFormat format);

constexpr double kMillimetresPerInch = 25.4;
constexpr double kTwipsPerMillimetre = 1440 / kMillimetresPerInch;

// A sheet's figures. The letter formats' labels are the sheet's cells: the page margins of the
// label sheet, columns 3976, 3976 and 3300 twips (two across: 6120 and 5100) and six rows of 240
// twips a label (480 for "2 x 5"); only their last column is narrower.
struct LabelSheetFigures {
    QSizeF paper;
    int across = 0;
    int down = 0;
    QSizeF label;          // width and height of a label
    double lastWidth = 0;  // the width of the labels of the last column
    QPointF margin;        // left and top edge of the first label
    QSizeF pitch;          // from one label's left (top) edge to the next one's
};
LabelSheetFigures labelSheetFigures(LabelFormat format);

// Label `slot` of a sheet (0 to labels per sheet - 1, left to right, then down), moved by the
// calibration offset (positive: right and down).
QRectF labelRect(LabelFormat format, int slot, QPointF offset = {});

// The sheet (from 0) and the slot the k-th printed label (from 0) takes when printing starts at
// label `startLabel` (1 to labels per sheet) of the first sheet.
struct LabelPlace {
    int sheet = 0;
    int slot = 0;
    bool operator==(const LabelPlace&) const = default;
};
LabelPlace labelPlace(int k, int startLabel, int perSheet);
// The sheets `labels` labels take; one (empty) sheet for none.
int labelSheetCount(int labels, int startLabel, int perSheet);

// A label's text area lies this far inside its edges; lines are cut at its right edge.
constexpr double kLabelPadding = 2.0;

// Where the five lines of a label sit: the five line slots centred in the label's height when
// they fit inside the padding, else from the top padding down, with the lines whose slot would
// pass the bottom padding left out.
struct LabelLineLayout {
    double firstTop = 0;  // the top of line 1, from the label's top edge
    int fitting = 0;      // lines 1 to `fitting` fit, 0 to 5
};
LabelLineLayout labelLineLayout(double labelHeight, double lineHeight);

// The label settings kept between sessions.
struct LabelSettings {
    LabelFormat format = LabelFormat::ThreeByTen;
    int startLabel = 1;  // 1 to the format's labels per sheet
    double offsetX = 0;  // millimetres, -10 to 10
    double offsetY = 0;
    bool operator==(const LabelSettings&) const = default;
};
constexpr double kMaxLabelOffset = 10;

// Reads the settings from the stored texts ("LabelFormat", "LabelStart", "LabelOffsetX",
// "LabelOffsetY"); a missing or unreadable value gives the default, and a number out of range
// the nearest one in range.
LabelSettings readLabelSettings(const std::function<QString(const char* name)>& read);
void writeLabelSettings(const LabelSettings& settings,
                        const std::function<void(const char* name, const QString& text)>& write);
// The start label and offsets brought into their ranges for the settings' format.
LabelSettings boundedLabelSettings(LabelSettings settings);

}  // namespace pellumar
