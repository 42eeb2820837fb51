// The form-post import on a big mailbox: 100,000 form mails (about 35 MB of mbox, mixed transfer
// encodings, a tenth of them duplicates or mails without form text) into the records of a new
// document, as File > Import Form Posts... adds them: read, ordered by date, one undo step.
//
//   build/release/bench/bench_mail gen /tmp/forms.mbox [messages]   (writes the mailbox)
//   build/release/bench/bench_mail /tmp/forms.mbox                  (times the import)
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstdlib>

#include "BenchUtil.h"
#include "MailMaker.h"
#include "core/document/Document.h"
#include "core/formreader/MailImport.h"

using namespace pellumar;
using namespace pellumar::bench;
using namespace pellumar::testing;

namespace {

int generate(const QString& path, int count) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    static const char* const kEncodings[] = {"8bit", "quoted-printable", "base64", "8bit"};
    for (int i = 0; i < count; ++i) {
        // Dates out of order over a year; every 20th mail a resend, every 20th a reply.
        const int day = (i * 7919) % 365;
        MailHeaders h;
        h.from = "P " + QByteArray::number(i) + " <p" + QByteArray::number(i) + "@example.org>";
        h.subject = "Form " + QByteArray::number(i);
        h.date = QDateTime(QDate(2024, 1, 1).addDays(day), QTime(i % 24, i % 60, 0), Qt::UTC)
                     .toString(Qt::RFC2822Date)
                     .toLatin1();
        const int id = i % 20 == 19 ? i - 1 : i;
        h.messageId = "<f" + QByteArray::number(id) + "@example.org>";
        const QString body = i % 20 == 10
                                 ? QStringLiteral("Thank you, we will call you back.\r\n")
                                 : QStringLiteral(
                                       "Name=Person %1\r\nEmail=p%1@example.org\r\nCity=Zürich\r\n"
                                       "Phone=+41 44 %2\r\nComments=Call me.\r\nThanks.\r\n")
                                       .arg(i)
                                       .arg(1000000 + i);
        out.write(mbox({message(h, textPart(body, "UTF-8", kEncodings[i % 4]))}));
    }
    std::printf("%d messages, %.1f MB\n", count, static_cast<double>(out.size()) / 1e6);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 3 && args[1] == u"gen") {
        return generate(args[2], args.size() > 3 ? args[3].toInt() : 100000);
    }
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: bench_mail gen FILE [messages] | bench_mail FILE\n");
        return 2;
    }
    const double mailboxMb = static_cast<double>(QFileInfo(args[1]).size()) / (1 << 20);
    const double before = residentMb(false);
    Document doc;
    formreader::MailImport import(QStringLiteral("="), true);
    double readMs = 0;
    double applyMs = 0;
    const double cpu0 = processCpuMs();
    double cpuRead = 0;
    readMs = timeMs([&] {
        if (const auto read = import.read({args[1]}); !read) {
            std::fprintf(stderr, "%s\n", qPrintable(read.message()));
            std::exit(1);
        }
        cpuRead = processCpuMs() - cpu0;
    });
    applyMs = timeMs([&] {
        const auto step = doc.step(QStringLiteral("Import Form Posts"));
        import.apply(doc.model(), doc.isNewDocument());
    });
    const double cpu = processCpuMs() - cpu0;
    std::printf("%s\n", qPrintable(import.summary().text()));
    std::printf(
        "mailbox %.1f MB; read %.0f ms (cpu %.0f ms), records %.0f ms (cpu %.0f ms), "
        "total %.0f ms (cpu %.0f ms)\n",
        mailboxMb, readMs, cpuRead, applyMs, cpu - cpuRead, readMs + applyMs, cpu);
    std::printf("memory: %.0f MB at start, peak %.0f MB (limit 3 x mailbox + 64 MB = %.0f MB)\n",
                before, residentMb(true), 3 * mailboxMb + 64);
    return 0;
}
