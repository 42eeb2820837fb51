// The codes of a column's attributes: its data type and the alignment of its cells (also used
// for single cells).
#pragma once

namespace pellumar {

// Column data type codes.
enum DataType : int {
    DataTypeNone = 0,  // no type set: shown as "Text", formatted like a number or date column
    DataTypeNumber = 5,
    DataTypeMoney = 6,
    DataTypeDate = 7,
    DataTypeText = 8,
    DataTypeCheckbox = 11,
};

// Alignment codes for cells and columns: horizontal (left, centre, right) times vertical
// (top, centre, bottom), plus 9 for "general" (numbers right, text left).
enum AlignmentCode : int {
    AlignLeftTop = 0,
    AlignLeftCenter = 1,
    AlignLeftBottom = 2,
    AlignCenterTop = 3,
    AlignCenterCenter = 4,
    AlignCenterBottom = 5,
    AlignRightTop = 6,
    AlignRightCenter = 7,
    AlignRightBottom = 8,
    AlignGeneral = 9,
};

}  // namespace pellumar
