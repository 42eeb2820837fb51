// Helpers for tests of the main window: a private preference store and a window built the way
// the program builds it, answering its questions from a script.
#pragma once

#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

#include "ScriptedPrompter.h"
#include "core/document/Document.h"
#include "core/document/DocumentPaths.h"
#include "gui/app/CommandBar.h"
#include "gui/app/frmMain.h"
#include "gui/columns/ColumnController.h"
#include "gui/document/FileController.h"
#include "gui/formreader/DropBox.h"
#include "gui/formreader/FormReaderController.h"
#include "gui/grid/ColorPalette.h"
#include "gui/grid/FormPanelController.h"
#include "gui/grid/GridControl.h"
#include "gui/grid/NavigationController.h"
#include "gui/grid/RecordGridController.h"
#include "gui/grid/RecordViews.h"
#include "gui/grid/RowColControl.h"
#include "gui/grid/StyleController.h"
#include "gui/print/PrintController.h"

class QMimeData;

namespace pellumar {

// Points the preference store and the user's data folder (where the crash-recovery snapshots
// go) at a temporary folder for the life of the test program.
class TestSettings {
public:
    TestSettings();
    void clear();
    void set(const QString& name, const QString& value);
    QString get(const QString& name) const;
    bool has(const QString& name) const;
    QString folder() const { return dir_.path(); }
    // The user's data folder the program sees (XDG_DATA_HOME).
    QString dataFolder() const { return dir_.filePath(QStringLiteral("data")); }

private:
    QTemporaryDir dir_;
};

// A temporary folder standing in for the program's own folder (where "Untitled.plm" goes): each
// renew() makes a fresh one, for a test's init(); release() lets the program's folder be again.
class ProgramFolder {
public:
    void renew() {
        dir_ = std::make_unique<QTemporaryDir>();
        setApplicationFolderForTesting(dir_->path());
    }
    void release() { setApplicationFolderForTesting(QString()); }
    QString path() const { return dir_->path(); }
    QString filePath(const QString& name) const { return dir_->filePath(name); }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

// A main window as start-up makes it; ending the program only records that it ended.
struct TestWindow {
    explicit TestWindow(bool show = false);
    ~TestWindow();

    ScriptedPrompter prompter;
    std::unique_ptr<frmMain> window;
    int ended = 0;

    frmMain* operator->() const { return window.get(); }
};

// Drops the data onto the Drop Box as a drag from elsewhere would; gives the drop action the
// box reported back.
Qt::DropAction dropOnDropBox(frmMain* w, QMimeData* data);
Qt::DropAction dropTextOnDropBox(frmMain* w, const QString& text);

}  // namespace pellumar
