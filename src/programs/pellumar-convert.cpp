// pellumar-convert: converts between Pellumar's file forms from the command line.
//
//   pellumar-convert [--first-line-data] [--sheet NAME|NUMBER] IN OUT
//   pellumar-convert --form-posts [--separator S] [--mail-columns] SOURCE... OUT
//
// Each file's kind comes from its extension: .plm native grid file, .csv comma text, .txt and
// .tsv tab text, .xlsx Excel workbook, .ods OpenDocument spreadsheet. A workbook IN gives its
// first sheet, or the one --sheet names (a name, or a number from 1). A text IN has its first line
// taken as the column titles, or with
// --first-line-data as the first record below an empty title row (the flag has no meaning for a
// .plm IN, which carries its own title row). A text OUT is written in the encoding a text IN was
// read in, else UTF-8. With --form-posts a new table is made of the form posts in the SOURCEs
// (mbox files, Maildir folders, folders of .eml files, .eml files), one record a message, read
// by the Drop Box's rules under the separator S ("=" when not given); the summary of the import
// goes to standard error. What the user should know about an IN that loaded (a mix of
// encodings, a quoted field left open, formulas without a computed value) goes to standard error.
// Exit status: 0 done (warnings or not), 1 the conversion failed or a SOURCE cannot be read or
// holds no message (the message says why; OUT is left as it was), 2 wrong usage.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <optional>

#include "core/document/Document.h"
#include "core/document/NativeFile.h"
#include "core/document/TextFile.h"
#include "core/document/Workbook.h"
#include "core/formreader/MailImport.h"
#include "core/grid/GridModel.h"

using namespace pellumar;

namespace {

char16_t separatorOf(FileKind kind) {
    return kind == FileKind::Comma ? u',' : u'\t';
}

void say(const QString& text) {
    std::fprintf(stderr, "pellumar-convert: %s\n", qUtf8Printable(text));
}

int usage() {
    std::fprintf(stderr,
                 "usage: pellumar-convert [--first-line-data] [--sheet NAME|NUMBER] IN OUT\n"
                 "  Converts IN to OUT, each kind chosen by its extension:\n"
                 "  .plm Pellumar file, .csv comma text, .txt or .tsv tab text,\n"
                 "  .xlsx Excel workbook, .ods OpenDocument spreadsheet.\n"
                 "  --first-line-data  IN's first line is a record, not the column titles\n"
                 "  --sheet NAME|NUMBER  the sheet of a workbook IN to read (the first by "
                 "default)\n"
                 "usage: pellumar-convert --form-posts [--separator S] [--mail-columns] "
                 "SOURCE... OUT\n"
                 "  Makes OUT of the form posts in the mailboxes, Maildir folders, folders of\n"
                 "  .eml files and .eml files given, one record a message.\n"
                 "  --separator S   the separator between a name and its value (default \"=\")\n"
                 "  --mail-columns  each record starts with Date, From, Subject and Message-ID\n");
    return 2;
}

Result<void> save(const Table& table, const QString& out, FileKind kind, TextEncoding encoding) {
    if (kind == FileKind::Native) {
        return saveNative(table, out);
    }
    const auto saved = saveDelimited(table, out, separatorOf(kind), encoding);
    if (!saved) {
        return saved.error();
    }
    return {};
}

int formPosts(QStringList args) {
    QString separator = formreader::defaultSeparator();
    bool mailColumns = false;
    QStringList paths;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--separator") {
            if (++i == args.size()) {
                return usage();
            }
            separator = args[i];
        } else if (args[i] == u"--mail-columns") {
            mailColumns = true;
        } else if (args[i].startsWith(u'-')) {
            return usage();
        } else {
            paths << args[i];
        }
    }
    if (paths.size() < 2) {
        return usage();
    }
    const QString out = paths.takeLast();
    const auto outKind = fileKindOfPath(out);
    if (!outKind) {
        say(QStringLiteral("cannot tell the kind of %1 from its extension (use .plm, .csv, "
                           ".txt or .tsv).")
                .arg(out));
        return 2;
    }
    formreader::MailImport import(separator, mailColumns);
    if (const auto read = import.read(paths); !read) {
        say(read.message());
        return 1;
    }
    GridModel grid;
    grid.replaceTable(Table(1, 0));
    const auto outcome = import.apply(grid, false);
    if (outcome.columnLimit || outcome.rowLimit) {
        say(outcome.columnLimit ? tooManyColumnsMessage() : tooManyRowsMessage());
        return 1;
    }
    say(import.summary().text());
    for (const QString& line : import.summary().details()) {
        std::fprintf(stderr, "  %s\n", qUtf8Printable(line));
    }
    if (const auto saved = save(grid.table(), out, *outKind, TextEncoding::Utf8); !saved) {
        say(saved.message());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.removeAll(QStringLiteral("--form-posts")) > 0) {
        return formPosts(args);
    }
    const bool firstLineData = args.removeAll(QStringLiteral("--first-line-data")) > 0;
    QString sheet;
    if (const qsizetype at = args.indexOf(QStringLiteral("--sheet")); at >= 0) {
        if (at + 1 >= args.size()) {
            return usage();
        }
        sheet = args.takeAt(at + 1);
        args.removeAt(at);
    }
    if (args.size() != 2 || args[0].startsWith(u'-') || args[1].startsWith(u'-')) {
        return usage();
    }
    const QString& in = args[0];
    const QString& out = args[1];
    const auto inKind = fileKindOfPath(in);
    const auto outKind = fileKindOfPath(out);
    if (!inKind || !outKind) {
        say(QStringLiteral("cannot tell the kind of %1 from its extension (use .plm, .csv, "
                           ".txt, .tsv, .xlsx or .ods).")
                .arg(!inKind ? in : out));
        return 2;
    }

    Table table;
    TextEncoding encoding = TextEncoding::Utf8;
    if (*inKind == FileKind::Native) {
        auto loaded = loadNative(in);
        if (!loaded) {
            say(loaded.message());
            return 1;
        }
        table = loaded.take();
    } else if (isWorkbookKind(*inKind)) {
        auto loaded = loadWorkbook(
            in, *inKind == FileKind::Xlsx ? WorkbookKind::Xlsx : WorkbookKind::Ods, sheet);
        if (!loaded) {
            say(loaded.message());
            return 1;
        }
        table = std::move(loaded.value().table);
        for (const QString& warning : loaded.value().warnings) {
            say(warning);
        }
    } else {
        auto loaded = loadDelimited(in, separatorOf(*inKind));
        if (!loaded) {
            say(loaded.message());
            return 1;
        }
        table = std::move(loaded.value().table);
        encoding = loaded.value().encoding;
        for (const QString& warning : loaded.value().warnings) {
            say(warning);
        }
        if (firstLineData) {
            table.insertRows(0, 1);
        }
    }

    if (*outKind == FileKind::Native) {
        const auto saved = saveNative(table, out);
        if (!saved) {
            say(saved.message());
            return 1;
        }
    } else if (isWorkbookKind(*outKind)) {
        const auto saved = saveWorkbook(
            table, out, *outKind == FileKind::Xlsx ? WorkbookKind::Xlsx : WorkbookKind::Ods);
        if (!saved) {
            say(saved.message());
            return 1;
        }
    } else {
        const auto saved = saveDelimited(table, out, separatorOf(*outKind), encoding);
        if (!saved) {
            say(saved.message());
            return 1;
        }
    }
    return 0;
}
