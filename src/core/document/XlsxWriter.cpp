// Writing an Office Open XML workbook (.xlsx) with libxlsxwriter in its constant-memory mode: the
// rows go one at a time into a workbook in a temporary folder (libxlsxwriter writes only to a file
// name, and keeps its own temporary files beside it), which is checked and then copied to its
// place through the atomic save, so that the save's disk checks and messages hold as for the
// other forms. The temporary folder goes away whatever happens.
#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <vector>

#if defined(Q_OS_UNIX)
#include <fcntl.h>
#include <locale.h>
#include <unistd.h>
#endif

#include "core/document/FileAccess.h"
#include "core/document/WorkbookPackage.h"
#include "core/document/WorkbookSheet.h"
#include "core/document/WorkbookStyle.h"
#include "core/document/WorkbookValues.h"
#include "core/document/WorkbookWriters.h"
#include "core/document/XlsxCheck.h"

namespace pellumar::workbook {

namespace {

// libxlsxwriter prints numbers with printf, which writes the decimal separator of the locale
// (a comma in many); while it works, this thread's numbers are written the C way.
class CNumbers {
public:
    CNumbers() {
#if defined(Q_OS_UNIX)
        const locale_t base = duplocale(LC_GLOBAL_LOCALE);
        c_ = base ? newlocale(LC_NUMERIC_MASK, "C", base) : static_cast<locale_t>(0);
        if (c_) {
            old_ = uselocale(c_);
        } else if (base) {
            freelocale(base);
        }
#endif
    }
    ~CNumbers() {
#if defined(Q_OS_UNIX)
        if (c_) {
            uselocale(old_);
            freelocale(c_);
        }
#endif
    }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

private:
#if defined(Q_OS_UNIX)
    locale_t c_ = static_cast<locale_t>(0);
    locale_t old_ = static_cast<locale_t>(0);
#endif
};

// libxlsxwriter writes numbers with 16 significant digits: a number whose shortest text needs
// 17 would come back as another number, so it is written as its text instead.
bool sixteenDigitsHold(double value) {
    char text[32];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    if (ec != std::errc()) {
        return false;
    }
    int digits = 0;
    for (const char* p = text; p != end && *p != 'e'; ++p) {
        digits += *p >= '0' && *p <= '9';
    }
    return digits <= 16;
}

// A cell's UTF-8 text as libxlsxwriter takes it: a C string, with what it would not keep as it
// is escaped the way spreadsheets read it back: a NUL and U+FFFE, U+FFFF as "_xHHHH_", and an
// underscore that would start such an escape as "_x005F_" (libxlsxwriter escapes the other
// control characters itself).
void cellText(std::string_view text, std::string& out) {
    static const char kHex[] = "0123456789ABCDEF";
    const auto escape = [&](unsigned code) {
        out += "_x";
        for (int shift = 12; shift >= 0; shift -= 4) {
            out += kHex[(code >> shift) & 0xf];
        }
        out += '_';
    };
    out.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == 0) {
            escape(0);
        } else if (c == '_' && i + 6 < text.size() && text[i + 1] == 'x' && text[i + 6] == '_') {
            escape('_');
        } else if (c == 0xEF && i + 2 < text.size() &&
                   static_cast<unsigned char>(text[i + 1]) == 0xBF &&
                   (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
            escape(0xFFFE | (static_cast<unsigned char>(text[i + 2]) & 1));
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
}

// A program serial as a serial of the 1900 system (which counts a 1900-02-29).
double excelSerial(double serial) {
    return serial < 61 ? serial - 1 : serial;
}

// libxlsxwriter adds the 5 pixels of a column's margins to the width it is given (in characters
// of 7 pixels, or for widths under one character of 12 pixels); this is the width that makes the
// sheet's column `twips` wide, as the reader measures it.
double lxwWidthOfTwips(int twips) {
    const double pixels = std::round(twips / 15.0);
    if (pixels - 10 >= 7) {
        return std::min((pixels - 10) / 7, 255.0);  // a sheet's widest column
    }
    return std::max(pixels - 5, 0.0) / 12;
}

struct FormatKey {
    CellLook look;
    QString code;
    bool operator==(const FormatKey&) const = default;
};

size_t qHash(const FormatKey& k, size_t seed = 0) {
    return qHashMulti(seed, k.code, k.look.alignment, k.look.foreColor, k.look.backColor,
                      int(k.look.bold) | int(k.look.italic) << 1 | int(k.look.underline) << 2 |
                          int(k.look.wrap) << 3);
}

// libxlsxwriter takes a colour of 0 for none, and black as a colour of its own.
lxw_color_t lxwColor(int rgb) {
    return rgb == 0 ? static_cast<lxw_color_t>(LXW_COLOR_BLACK) : static_cast<lxw_color_t>(rgb);
}

struct ColumnPlan {
    int type = DataTypeNone;
    int alignment = AlignGeneral;
    lxw_format* plain = nullptr;  // an unstyled cell of the column's type
    lxw_format* plainDateTime = nullptr;
    lxw_format* text = nullptr;  // an unstyled text cell
    QString numberCode;
    QString dateTimeCode;
};

class XlsxWriter {
public:
    XlsxWriter(const Table& table, lxw_workbook* book) : table_(table), book_(book) {}

    // Fills the workbook; the first error of libxlsxwriter, or none.
    lxw_error write() {
        lxw_worksheet* sheet = workbook_add_worksheet(book_, "Sheet1");
        if (!sheet) {
            return LXW_ERROR_CREATING_TMPFILE;  // its rows' temporary file could not be made
        }
        worksheet_freeze_panes(sheet, 1, 0);  // the title row
        const int cols = table_.columnCount();
        std::vector<ColumnPlan> plans(static_cast<size_t>(cols));
        for (int c = 0; c < cols; ++c) {
            const ColumnAttributes& a = table_.columnAttributes(c);
            ColumnPlan& p = plans[static_cast<size_t>(c)];
            p.type = a.dataType;
            p.alignment = a.alignment;
            const CellLook look = lookOf(nullptr, a.alignment, {}, false);
            if (a.dataType == DataTypeNumber || a.dataType == DataTypeMoney) {
                p.numberCode = numberFormatCode(a.format, a.dataType);
            } else if (a.dataType == DataTypeDate) {
                p.numberCode = numberFormatCode(a.format, a.dataType, false);
                p.dateTimeCode = numberFormatCode(a.format, a.dataType, true);
                p.plainDateTime = format(look, p.dateTimeCode);
            }
            p.plain = format(look, p.numberCode);
            p.text = format(look, QString());
            if (a.width < 0 && !a.hidden) {
                continue;
            }
            lxw_row_col_options hidden{};
            hidden.hidden = 1;
            const lxw_error error = worksheet_set_column_opt(
                sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c),
                a.width >= 0 ? lxwWidthOfTwips(a.width) : LXW_DEF_COL_WIDTH, nullptr,
                a.hidden ? &hidden : nullptr);
            if (error != LXW_NO_ERROR) {
                return error;
            }
        }
        const bool styled = table_.hasAnyStyle();
        std::vector<std::string_view> texts(static_cast<size_t>(cols));
        std::string text;
        for (int r = 0; r < table_.rowCount(); ++r) {
            table_.rowUtf8(r, texts);
            const auto row = static_cast<lxw_row_t>(r);
            bool wrote = false;
            for (int c = 0; c < cols; ++c) {
                const std::string_view cell = texts[static_cast<size_t>(c)];
                const bool hasStyle = styled && table_.hasStyle(r, c);
                if (cell.empty() && !hasStyle) {
                    continue;
                }
                const ColumnPlan& p = plans[static_cast<size_t>(c)];
                const TypedCell typed = r == 0 ? TypedCell{} : typedCell(cell, p.type);
                const bool asText =
                    typed.as == TypedCell::As::Text ||
                    (typed.as == TypedCell::As::Date && typed.number < 1) ||
                    (typed.as == TypedCell::As::Number && !sixteenDigitsHold(typed.number));
                const bool wrap = asText && cell.find('\n') != std::string_view::npos;
                lxw_format* look = asText ? p.text : typed.hasTime ? p.plainDateTime : p.plain;
                if (hasStyle || wrap || r == 0) {
                    const CellStyle style = hasStyle ? table_.style(r, c) : CellStyle{};
                    look = format(lookOf(hasStyle ? &style : nullptr, p.alignment,
                                         asText ? cell : std::string_view(), r == 0),
                                  asText          ? QString()
                                  : typed.hasTime ? p.dateTimeCode
                                                  : p.numberCode);
                }
                const auto col = static_cast<lxw_col_t>(c);
                lxw_error error = LXW_NO_ERROR;
                if (cell.empty()) {
                    if (!look) {
                        continue;  // a style that shows nothing
                    }
                    error = worksheet_write_blank(sheet, row, col, look);
                } else if (asText) {
                    cellText(cell, text);
                    error = worksheet_write_string(sheet, row, col, text.c_str(), look);
                } else if (typed.as == TypedCell::As::Boolean) {
                    error = worksheet_write_boolean(sheet, row, col, typed.number != 0, look);
                } else {
                    error = worksheet_write_number(
                        sheet, row, col,
                        typed.as == TypedCell::As::Date ? excelSerial(typed.number) : typed.number,
                        look);
                }
                if (error != LXW_NO_ERROR) {
                    return error;
                }
                wrote = true;
            }
            rowsWritten_ += wrote ? 1 : 0;
        }
        return LXW_NO_ERROR;
    }

    // The rows that hold a cell in the sheet written.
    qint64 rowsWritten() const { return rowsWritten_; }

private:
    // The cell format of a look and a number format, made once; none for the plain look.
    lxw_format* format(const CellLook& look, const QString& code) {
        const bool general = code.isEmpty() || code == u"General";
        if (look == CellLook{} && general) {
            return nullptr;
        }
        const FormatKey key{look, general ? QString() : code};
        auto it = formats_.constFind(key);
        if (it != formats_.constEnd()) {
            return *it;
        }
        lxw_format* f = workbook_add_format(book_);
        if (!f) {
            return nullptr;
        }
        if (!general) {
            format_set_num_format(f, code.toUtf8().constData());
        }
        if (look.bold) {
            format_set_bold(f);
        }
        if (look.italic) {
            format_set_italic(f);
        }
        if (look.underline) {
            format_set_underline(f, LXW_UNDERLINE_SINGLE);
        }
        if (look.foreColor >= 0) {
            format_set_font_color(f, lxwColor(look.foreColor));
        }
        if (look.backColor >= 0) {
            format_set_bg_color(f, lxwColor(look.backColor));
        }
        static const uint8_t kHorizontal[] = {LXW_ALIGN_LEFT, LXW_ALIGN_CENTER, LXW_ALIGN_RIGHT};
        static const uint8_t kVertical[] = {LXW_ALIGN_VERTICAL_TOP, LXW_ALIGN_VERTICAL_CENTER,
                                            LXW_ALIGN_VERTICAL_BOTTOM};
        if (horizontalOf(look.alignment) >= 0) {
            format_set_align(f, kHorizontal[horizontalOf(look.alignment)]);
            format_set_align(f, kVertical[verticalOf(look.alignment)]);
        }
        if (look.wrap) {
            format_set_text_wrap(f);
        }
        formats_.insert(key, f);
        return f;
    }

    const Table& table_;
    lxw_workbook* book_;
    QHash<FormatKey, lxw_format*> formats_;
    qint64 rowsWritten_ = 0;
};

// libxlsxwriter's own words for an error, without their closing full stop.
QString lxwReason(lxw_error error, int systemError) {
    if (systemError == ENOSPC
#ifdef EDQUOT
        || systemError == EDQUOT
#endif
    ) {
        return QStringLiteral("the disk is full");
    }
    QString reason = QString::fromUtf8(lxw_strerror(error));
    while (reason.endsWith(u'.')) {
        reason.chop(1);
    }
    return reason;
}

// libxlsxwriter leaves the files of a failed save open, removed from the folder but holding their
// disk space while the program runs. Each such descriptor is pointed at /dev/null instead (not
// closed: the stream over it still exists, and whatever it may write later must not land in a
// file that took its number).
void releaseFilesLeftOpen(const QString& folder) {
#if defined(Q_OS_LINUX)
    const QByteArray prefix = QFile::encodeName(folder) + '/';
    const int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0) {
        return;
    }
    const QStringList fds =
        QDir(QStringLiteral("/proc/self/fd"))
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString& fd : fds) {
        char target[4096];
        const QByteArray link = QByteArrayLiteral("/proc/self/fd/") + fd.toLatin1();
        const ssize_t n = ::readlink(link.constData(), target, sizeof target);
        if (n > 0 && QByteArrayView(target, n).startsWith(prefix) && fd.toInt() != null) {
            ::dup2(null, fd.toInt());
        }
    }
    ::close(null);
#else
    Q_UNUSED(folder);
#endif
}

// Copies the finished workbook onto the device of the atomic save.
Result<void> copyInto(QIODevice& device, const QString& shown, const QString& from) {
    QFile file(from);
    if (!file.open(QIODevice::ReadOnly)) {
        return FileError{FileError::Reason::WriteFailed,
                         QStringLiteral("Cannot save %1: its temporary copy %2 cannot be read: %3.")
                             .arg(shown, QDir::toNativeSeparators(from), file.errorString())};
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 got = file.read(buffer.data(), buffer.size());
        if (got < 0) {
            return FileError{
                FileError::Reason::WriteFailed,
                QStringLiteral("Cannot save %1: its temporary copy %2 cannot be read: %3.")
                    .arg(shown, QDir::toNativeSeparators(from), file.errorString())};
        }
        if (got == 0) {
            return {};
        }
        if (device.write(buffer.constData(), got) != got) {
            return fileaccess::writeFailed(shown, device);
        }
    }
}

}  // namespace

Result<void> saveXlsx(const Table& table, const QString& path) {
    const QString name = fileaccess::displayName(path);
    if (auto error = checkLimits(table, name, Kind::Xlsx)) {
        return *error;
    }
    QTemporaryDir temp(QDir(QDir::tempPath()).filePath(QStringLiteral("pellumar-xlsx-XXXXXX")));
    const QString tempFolder = QDir::toNativeSeparators(QDir::tempPath());
    if (!temp.isValid()) {
        return FileError{
            FileError::Reason::WriteFailed,
            QStringLiteral("Cannot save %1: no temporary folder can be made in %2: %3.")
                .arg(name, tempFolder, temp.errorString())};
    }
    const QString book = temp.filePath(QStringLiteral("book.xlsx"));
    const QByteArray bookName = QFile::encodeName(book);
    QByteArray tmpdir = QFile::encodeName(temp.path());
    qint64 rows = 0;
    {
        const CNumbers numbers;
        lxw_workbook_options options{};
        options.constant_memory = 1;
        options.use_zip64 = 1;
        options.tmpdir = tmpdir.data();
        errno = 0;
        lxw_workbook* workbook = workbook_new_opt(bookName.constData(), &options);
        lxw_error error = LXW_ERROR_MEMORY_MALLOC_FAILED;
        int systemError = errno;
        if (workbook) {
            XlsxWriter writer(table, workbook);
            error = writer.write();
            systemError = errno;
            rows = writer.rowsWritten();
            errno = 0;
            const lxw_error closed = workbook_close(workbook);  // frees it in any case
            if (error == LXW_NO_ERROR) {
                error = closed;
                systemError = errno;
            }
        }
        if (error != LXW_NO_ERROR) {
            releaseFilesLeftOpen(QFileInfo(temp.path()).canonicalFilePath());
            if (error == LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED) {
                // Under the limit as a text, over it with NULs and the like written as escapes.
                return FileError{FileError::Reason::TooLarge,
                                 QStringLiteral("Cannot save %1: a cell's text with its special "
                                                "characters written as _xHHHH_ escapes has more "
                                                "than 32,767 characters, more than a cell of %2 "
                                                "holds. Save it as a Pellumar file (.plm) or as "
                                                "comma text (.csv) instead, which hold it whole.")
                                     .arg(name, kindName(Kind::Xlsx))};
            }
            return FileError{FileError::Reason::WriteFailed,
                             QStringLiteral("Cannot save %1: the workbook cannot be written in the "
                                            "temporary folder %2: %3.")
                                 .arg(name, tempFolder, lxwReason(error, systemError))};
        }
    }
    // libxlsxwriter does not check the writes of its own temporary files: a disk that fills
    // while it works leaves a sheet with rows missing and no error.
    if (!xlsxIsWhole(book, rows)) {
        return FileError{FileError::Reason::WriteFailed,
                         QStringLiteral("Cannot save %1: its temporary copy in %2 came out "
                                        "incomplete; the disk there may be full.")
                             .arg(name, tempFolder)};
    }
    return fileaccess::saveAtomically(
        path,
        [&](QIODevice& device, const QString& shown) { return copyInto(device, shown, book); },
        static_cast<quint64>(QFileInfo(book).size()));
}

}  // namespace pellumar::workbook
