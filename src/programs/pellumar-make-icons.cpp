// Writes the program's icon at the usual sizes of the desktop's icon theme, as the build does:
//
//   pellumar-make-icons FOLDER
//
// gives FOLDER/<n>x<n>/apps/org.pellumar.Pellumar.png for n = 16, 22, 24, 32, 48, 64, 128, 256.
#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

#include "gui/app/ProgramIcon.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 2) {
        std::fputs("usage: pellumar-make-icons FOLDER\n", stderr);
        return 2;
    }
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(args[1]).arg(size);
        const QString file = folder + QStringLiteral("/org.pellumar.Pellumar.png");
        if (!QDir().mkpath(folder) || !pellumar::programIconImage(size).save(file)) {
            std::fprintf(stderr, "pellumar-make-icons: cannot write %s\n", qUtf8Printable(file));
            return 1;
        }
    }
    return 0;
}
