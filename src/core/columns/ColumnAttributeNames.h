// The names the Column Define dialog shows for a column's data type and alignment codes, the
// lists it offers while a definition is edited, and what a change of data type does to the rest
// of a definition.
//
// Conversions are forgiving both ways: every code has a name ("Text" for a type without a name of
// its own, "Left" for every alignment that is neither centre nor right) and every text has a code
// (8, text, for an unknown type name; 1, left, for an unknown alignment name). Names are compared
// exactly, as the lists offer them.
#pragma once

#include <QString>
#include <QStringView>

namespace pellumar {

// 5 "Number", 6 "Money", 7 "Date", 11 "Checkbox"; any other code "Text".
QString dataTypeName(int code);
// The inverse; any text that is not one of the five names gives 8 (text).
int dataTypeCode(QStringView name);

// 4 "Center", 7 "Right"; any other code (1 left, 9 general, ...) "Left".
QString alignmentName(int code);
// "Center" 4, "Right" 7; any other text 1 (left).
int alignmentCode(QStringView name);

// The lists offered while a definition is edited, items separated by "|".
QString dataTypeList();   // "Checkbox|Date|Money|Number|Text"
QString alignmentList();  // "Left|Center|Right"
// The display formats offered for a data type name: the number, money and date pictures; an
// empty list (a format typed freely) for every other type.
QString formatList(QStringView typeName);

// A definition's data type was changed to `typeName`: the alignment it takes and whether its
// format is cleared. Numbers and money go right and keep their format; check boxes go centre and
// dates and text left, both without a format.
struct TypeChangeEffect {
    QString alignment;  // an alignment name
    bool clearsFormat = false;
};
TypeChangeEffect typeChangeEffect(QStringView typeName);

}  // namespace pellumar
