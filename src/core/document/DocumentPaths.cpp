#include "core/document/DocumentPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace pellumar {

QString FolderOfPath(const QString& path) {
    const qsizetype last = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return last < 0 ? QString() : path.left(last + 1);
}

bool isCancelledFileName(const QString& name) {
    return name.isEmpty() || name == u"*.*" || name == u"*.plm" || name == u"*.csv" ||
           name == u"*.txt" || name == u"*.xlsx" || name == u"*.ods";
}

QString withDefaultExtension(const QString& name, const QString& extension) {
    const QString file = name.mid(FolderOfPath(name).size());
    if (file.isEmpty() || file.contains(u'.')) {
        return name;
    }
    return name + u'.' + extension;
}

namespace {
QString& applicationFolderOverride() {
    static QString folder;
    return folder;
}
}  // namespace

void setApplicationFolderForTesting(const QString& folder) {
    applicationFolderOverride() = folder;
}

QString applicationFolder() {
    const QString programFolder = applicationFolderOverride().isEmpty()
                                      ? QCoreApplication::applicationDirPath()
                                      : applicationFolderOverride();
    const QFileInfo info(programFolder);
    QString folder = programFolder;
    if (!info.isWritable()) {
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (!documents.isEmpty()) {
            QDir().mkpath(documents);
            folder = documents;
        }
    }
    return QDir::toNativeSeparators(folder);
}

QString untitledPath() {
    return applicationFolder() + QDir::separator() + QStringLiteral("Untitled.plm");
}

}  // namespace pellumar
