// Paths as the document commands see them.
#pragma once

#include <QString>

namespace pellumar {

// The folder part of a path, up to and including its last separator ("\\" or "/"); "" when the
// path is empty or holds no separator.
QString FolderOfPath(const QString& path);

// True when the name is one of the bare patterns an open dialog may hand back when nothing was
// chosen ("", "*.*", "*.plm", "*.csv", "*.txt").
bool isCancelledFileName(const QString& name);

// The name with the extension added when it has none ("report" -> "report.csv").
QString withDefaultExtension(const QString& name, const QString& extension);

// Where documents go by default: the program's folder, or the user's documents folder when the
// program's folder cannot be written.
QString applicationFolder();
// Tests point the application folder somewhere of their own ("" restores the real one).
void setApplicationFolderForTesting(const QString& folder);
// The file of a new document: "Untitled.plm" in the application folder.
QString untitledPath();

}  // namespace pellumar
