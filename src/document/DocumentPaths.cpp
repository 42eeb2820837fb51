#include "document/DocumentPaths.h"

#include <QFileInfo>

namespace pellumar {

QString FolderOfPath(const QString& path) {
    const qsizetype last = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return last < 0 ? QString() : path.left(last + 1);
}

bool isCancelledFileName(const QString& name) {
    return name.isEmpty() || name == u"*.*" || name == u"*.plm" || name == u"*.csv" ||
           name == u"*.txt";
}

QString withDefaultExtension(const QString& name, const QString& extension) {
    const QString file = name.mid(FolderOfPath(name).size());
    if (file.isEmpty() || file.contains(u'.')) {
        return name;
    }
    return name + u'.' + extension;
}

}  // namespace pellumar
