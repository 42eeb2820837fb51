// What the comma and tab forms' reader and writer share.
#pragma once

#include <QString>

#include "core/document/FileResult.h"

namespace pellumar::textfile {

inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

inline bool validSeparator(char16_t sep) {
    return sep > 0 && sep < 0x80 && sep != u'"' && sep != u'\r' && sep != u'\n';
}

inline FileError badSeparator(const QString& name) {
    return FileError{FileError::Reason::BadArgument,
                     QStringLiteral("Cannot use that separator for %1.").arg(name)};
}

}  // namespace pellumar::textfile
