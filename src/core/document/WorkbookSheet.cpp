#include "core/document/WorkbookSheet.h"

#include <cmath>

#include "core/document/FileAccess.h"

namespace pellumar::workbook {

namespace {

// The default font's character is 7 pixels wide, with 5 pixels of margin; a pixel is 15 twips.
constexpr double kCharPixels = 7.0;
constexpr double kMarginPixels = 5.0;
constexpr double kTwipsPerPixel = 15.0;

}  // namespace

SheetBuilder::SheetBuilder(const QString& name, quint64 memoryLimit)
    : name_(name), limit_(memoryLimit) {
    if (limit_ > 0) {
        table_.setStorageLimit(static_cast<size_t>(limit_));
    }
}

void SheetBuilder::fail(FileError error) {
    if (!error_) {
        error_ = std::move(error);
    }
}

bool SheetBuilder::beginRow(qint64 row) {
    if (row >= kMaxRows) {
        fail(fileaccess::tooLarge(
            name_, QStringLiteral("the sheet has more than %1 rows").arg(groupedNumber(kMaxRows))));
        return false;
    }
    row_ = std::max(row, static_cast<qint64>(table_.rowCount()));
    texts_.clear();
    spans_.clear();
    return true;
}

bool SheetBuilder::cell(qint64 col, std::string_view text, CellKind kind, QStringView format) {
    if (text.empty() || col < 0) {
        return true;
    }
    if (col >= kMaxColumns) {
        fail(fileaccess::tooLarge(name_, QStringLiteral("the sheet has more than %1 columns, the "
                                                        "most a table can have")
                                             .arg(groupedNumber(kMaxColumns))));
        return false;
    }
    const auto c = static_cast<size_t>(col);
    if (spans_.size() <= c) {
        spans_.resize(c + 1, {0, 0});
    }
    spans_[c] = {texts_.size(), text.size()};
    texts_.append(text);
    if (row_ > 0) {
        typer_.add(static_cast<int>(col), kind, format);
    }
    return true;
}

bool SheetBuilder::endRow(qint64 repeat) {
    if (spans_.empty() || repeat <= 0) {
        return true;
    }
    if (row_ > table_.rowCount()) {
        table_.insertRows(table_.rowCount(), static_cast<int>(row_ - table_.rowCount()));
    }
    fields_.resize(spans_.size());
    for (size_t i = 0; i < spans_.size(); ++i) {
        fields_[i] = std::string_view(texts_.data() + spans_[i].first, spans_[i].second);
    }
    for (qint64 n = 0; n < repeat; ++n) {
        switch (table_.appendRow(fields_)) {
            case Table::AppendResult::Stored:
                break;
            case Table::AppendResult::TooWide:
                fail(fileaccess::tooLarge(name_, QStringLiteral("the sheet has more than %1 "
                                                                "columns, the most a table can "
                                                                "have")
                                                     .arg(groupedNumber(kMaxColumns))));
                return false;
            case Table::AppendResult::TooLong:
                fail(fileaccess::tooLarge(name_, QStringLiteral("the sheet has more than %1 rows")
                                                     .arg(groupedNumber(kMaxRows))));
                return false;
            case Table::AppendResult::OverLimit:
                fail(fileaccess::notEnoughMemory(
                    name_, static_cast<double>(table_.storageBytes() + table_.shortfall()),
                    limit_));
                return false;
            case Table::AppendResult::TextTooLong:
                fail(fileaccess::tooLarge(name_,
                                          QStringLiteral("a column holds more than 4 GB of text")));
                return false;
        }
    }
    widest_ = std::max(widest_, static_cast<int>(spans_.size()));
    spans_.clear();
    texts_.clear();
    return true;
}

void SheetBuilder::setWidth(qint64 col, int twips) {
    if (col >= 0 && col < kMaxColumns && twips >= 0) {
        widths_.emplace_back(static_cast<int>(col), twips);
    }
}

void SheetBuilder::setHidden(qint64 col) {
    if (col >= 0 && col < kMaxColumns) {
        hidden_.push_back(static_cast<int>(col));
    }
}

WorkbookLoad SheetBuilder::finish() {
    WorkbookLoad load;
    table_.clearStorageLimit();
    typer_.apply(table_);
    const int cols = table_.columnCount();
    for (const auto& [col, twips] : widths_) {
        if (col < cols) {
            ColumnAttributes attrs = table_.columnAttributes(col);
            attrs.width = twips;
            table_.setColumnAttributes(col, attrs);
        }
    }
    for (const int col : hidden_) {
        if (col < cols) {
            ColumnAttributes attrs = table_.columnAttributes(col);
            attrs.hidden = true;
            table_.setColumnAttributes(col, attrs);
        }
    }
    table_.squeeze();
    if (formulasWithoutValue_ > 0) {
        load.warnings << QStringLiteral(
                             "%1 formula cell(s) of %2 have no computed value and were "
                             "left empty. Open the workbook in a spreadsheet program, "
                             "let it compute and save it to keep their values.")
                             .arg(groupedNumber(formulasWithoutValue_), name_);
    }
    load.table = std::move(table_);
    return load;
}

std::optional<int> chooseSheet(const QStringList& names, const QString& wanted,
                               const QString& fileName, std::optional<FileError>& error) {
    if (names.isEmpty()) {
        error = fileaccess::damaged(fileName, QStringLiteral("it has no sheet"));
        return std::nullopt;
    }
    if (wanted.isEmpty()) {
        return 0;
    }
    qsizetype at = names.indexOf(wanted);
    if (at < 0) {
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names[i].compare(wanted, Qt::CaseInsensitive) == 0) {
                at = i;
                break;
            }
        }
    }
    bool isNumber = false;
    const int number = wanted.toInt(&isNumber);
    if (at < 0 && isNumber && number >= 1 && number <= names.size()) {
        at = number - 1;
    }
    if (at < 0) {
        error = FileError{FileError::Reason::BadArgument,
                          QStringLiteral("Cannot open %1: it has no sheet named \"%2\" (its "
                                         "sheets: %3).")
                              .arg(fileName, wanted, names.join(QStringLiteral(", ")))};
        return std::nullopt;
    }
    return static_cast<int>(at);
}

void appendUtf8(QStringView text, std::string& out) {
    const char16_t* chars = text.utf16();
    const qsizetype size = text.size();
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(size));
    for (qsizetype i = 0; i < size; ++i) {
        if (chars[i] >= 0x80) {
            out.resize(at + static_cast<size_t>(i));
            const QByteArray rest = text.sliced(i).toUtf8();
            out.append(rest.constData(), static_cast<size_t>(rest.size()));
            return;
        }
        out[at + static_cast<size_t>(i)] = static_cast<char>(chars[i]);
    }
}

int twipsOfCharacters(double characters) {
    if (!(characters > 0) || characters > 255) {
        return -1;
    }
    return static_cast<int>(
        std::lround(std::round(characters * kCharPixels + kMarginPixels) * kTwipsPerPixel));
}

double charactersOfTwips(int twips) {
    const double pixels = twips / kTwipsPerPixel;
    return std::clamp((pixels - kMarginPixels) / kCharPixels, 0.0, 255.0);
}

int twipsOfLength(QStringView length) {
    static const struct {
        const char16_t* unit;
        double twips;
    } kUnits[] = {{u"cm", 1440 / 2.54}, {u"mm", 144 / 2.54}, {u"in", 1440},
                  {u"pt", 20},          {u"pc", 240},        {u"px", 15}};
    for (const auto& unit : kUnits) {
        if (length.endsWith(QStringView(unit.unit))) {
            bool ok = false;
            const double n = length.chopped(2).toDouble(&ok);
            if (!ok || !(n >= 0) || n > 1e6) {
                return -1;
            }
            return static_cast<int>(std::lround(n * unit.twips));
        }
    }
    return -1;
}

}  // namespace pellumar::workbook
