// The form-post import through the main window, as File > Import Form Posts... runs it once the
// sources are chosen: read, records, one undo step, the Form Panel's refresh, the summary. With
// --show the program's own message box shows the summary (to look at; close it to end).
//
//   build/release/bench/bench_mail_window /tmp/forms.mbox
//   build/release/bench/bench_mail_window --show /tmp/forms.mbox
#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <cstdio>

#include "BenchUtil.h"
#include "BenchWindow.h"
#include "core/document/Document.h"
#include "gui/app/QtPrompter.h"
#include "gui/formreader/FormReaderController.h"

using namespace pellumar;
using namespace pellumar::bench;

namespace {

// Prints the summary instead of showing it.
class SummaryPrompter : public QuietPrompter {
public:
    void report(QWidget*, Icon, const QString&, const QString& text,
                const QStringList& details) override {
        std::printf("summary: %s (%lld skipped)\n", qPrintable(text),
                    static_cast<long long>(details.size()));
    }
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool show = args.size() == 3 && args[1] == u"--show";
    if (args.size() != 2 && !show) {
        std::fprintf(stderr, "usage: bench_mail_window [--show] MAILBOX\n");
        return 2;
    }
    ScratchSettings settings;
    SummaryPrompter quiet;
    QtPrompter qt;
    frmMain window(show ? static_cast<Prompter&>(qt) : quiet);
    showWindow(window, 1000, 700);
    window.formReader().setMailColumns(true);
    if (show) {
        // Opens the summary's list of skipped messages once the box is up.
        auto* timer = new QTimer(&app);
        QObject::connect(timer, &QTimer::timeout, [timer] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(w);
                if (box && box->isVisible()) {
                    for (QAbstractButton* b : box->buttons()) {
                        if (box->buttonRole(b) == QMessageBox::ActionRole) {
                            b->click();
                        }
                    }
                    timer->stop();
                }
            }
        });
        timer->start(200);
    }
    const double ms = timeMs([&] { window.formReader().importMail({args.last()}); });
    std::printf("import through the window: %.0f ms, %d records, peak %.0f MB\n", ms,
                window.document().recordCount(), residentMb(true));
    return 0;
}
