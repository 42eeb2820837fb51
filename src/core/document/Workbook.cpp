#include "core/document/Workbook.h"

#include <new>

#include "core/document/FileAccess.h"
#include "core/document/WorkbookReaders.h"
#include "core/document/WorkbookWriters.h"

namespace pellumar {

Result<QStringList> workbookSheetNames(const QString& path, WorkbookKind kind) {
    try {
        auto package = workbook::Package::open(path, kind);
        if (!package) {
            return package.error();
        }
        return kind == WorkbookKind::Xlsx ? workbook::xlsxSheetNames(*package.value())
                                          : workbook::odsSheetNames(*package.value());
    } catch (const std::bad_alloc&) {
        return fileaccess::outOfMemory(fileaccess::displayName(path));
    }
}

Result<WorkbookLoad> loadWorkbook(const QString& path, WorkbookKind kind, const QString& sheet,
                                  const Progress& progress, quint64 memoryLimit) {
    try {
        auto package = workbook::Package::open(path, kind);
        if (!package) {
            return package.error();
        }
        const quint64 limit = memoryLimit > 0 ? memoryLimit : fileaccess::memoryForLoads();
        return kind == WorkbookKind::Xlsx
                   ? workbook::loadXlsx(*package.value(), sheet, progress, limit)
                   : workbook::loadOds(*package.value(), sheet, progress, limit);
    } catch (const std::bad_alloc&) {
        return fileaccess::outOfMemory(fileaccess::displayName(path));
    }
}

Result<void> saveWorkbook(const Table& table, const QString& path, WorkbookKind kind) {
    try {
        return kind == WorkbookKind::Xlsx ? workbook::saveXlsx(table, path)
                                          : workbook::saveOds(table, path);
    } catch (const std::bad_alloc&) {
        return FileError{FileError::Reason::NoMemory,
                         QStringLiteral("Cannot save %1: there is not enough memory.")
                             .arg(fileaccess::displayName(path))};
    }
}

}  // namespace pellumar
