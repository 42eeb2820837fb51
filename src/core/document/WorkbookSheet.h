// What both workbook readers share: building the table from a sheet's cells row by row, the
// columns' types, widths and hidden flags, the warning about formulas without a value, and
// choosing the sheet to read.
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/Workbook.h"
#include "core/document/WorkbookValues.h"

namespace pellumar::workbook {

class SheetBuilder {
public:
    SheetBuilder(const QString& name, quint64 memoryLimit);

    // Rows come in order, from 0 (the title row); a row past the last one added leaves the rows
    // between empty. False (with error() set) when the row is beyond a table's limits.
    bool beginRow(qint64 row);
    // A non-empty cell of the row begun; the last text given for a column stands.
    bool cell(qint64 col, std::string_view text, CellKind kind, QStringView format = {});
    // Adds the row to the table (nothing for a row without cells); `repeat` times in all.
    bool endRow(qint64 repeat = 1);

    void setWidth(qint64 col, int twips);
    void setHidden(qint64 col);
    void countFormulaWithoutValue() { ++formulasWithoutValue_; }

    // The file's name in messages.
    const QString& name() const { return name_; }
    bool failed() const { return error_.has_value(); }
    const FileError& error() const { return *error_; }
    void fail(FileError error);

    WorkbookLoad finish();

private:
    QString name_;
    quint64 limit_;
    Table table_;
    ColumnTyper typer_;
    qint64 row_ = -1;
    std::string texts_;
    std::vector<std::pair<size_t, size_t>> spans_;  // per column: offset and length in texts_
    std::vector<std::string_view> fields_;
    int widest_ = 0;
    std::vector<std::pair<int, int>> widths_;  // column, twips
    std::vector<int> hidden_;
    qint64 formulasWithoutValue_ = 0;
    std::optional<FileError> error_;
};

// The index of the sheet `wanted` names among `names` (empty: the first); nothing, with the
// error in `error`, when there is none.
std::optional<int> chooseSheet(const QStringList& names, const QString& wanted,
                               const QString& fileName, std::optional<FileError>& error);

// Appends `text` to `out` in UTF-8 (plain ASCII, most cells, without a conversion of its own).
void appendUtf8(QStringView text, std::string& out);

// An .xlsx width (characters of the default font) in twips, and back.
int twipsOfCharacters(double characters);
double charactersOfTwips(int twips);
// An OpenDocument length ("2.54cm", "1in", "72pt", "25.4mm") in twips; -1 when unreadable.
int twipsOfLength(QStringView length);

}  // namespace pellumar::workbook
