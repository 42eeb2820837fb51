// pellumar-convert: converts between Pellumar's file forms from the command line.
//
//   pellumar-convert [--first-line-data] [--sheet NAME|NUMBER] IN OUT
//
// Each file's kind comes from its extension: .plm native grid file, .csv comma text, .txt and
// .tsv tab text, .xlsx Excel workbook, .ods OpenDocument spreadsheet. A workbook IN gives its
// first sheet, or the one --sheet names (a name, or a number from 1). A text IN has its first line
// taken as the column titles, or with
// --first-line-data as the first record below an empty title row (the flag has no meaning for a
// .plm IN, which carries its own title row). A text OUT is written in the encoding a text IN was
// read in, else UTF-8. What the user should know about an IN that loaded (a mix of encodings, a
// quoted field left open, formulas without a computed value) goes to standard error. Exit status: 0
// done (warnings or not), 1 the conversion failed (the message says why; OUT is left as it was), 2
// wrong usage.
#include <QCoreApplication>
#include <QStringList>

#include <cstdio>
#include <optional>

#include "core/document/Document.h"
#include "core/document/NativeFile.h"
#include "core/document/TextFile.h"
#include "core/document/Workbook.h"

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
                 "default)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
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
