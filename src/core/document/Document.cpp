#include "core/document/Document.h"

#include <QFileInfo>

namespace pellumar {

std::optional<FileKind> fileKindOfPath(const QString& path) {
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == u"plm") {
        return FileKind::Native;
    }
    if (ext == u"csv") {
        return FileKind::Comma;
    }
    if (ext == u"txt" || ext == u"tsv") {
        return FileKind::Tab;
    }
    if (ext == u"xlsx") {
        return FileKind::Xlsx;
    }
    if (ext == u"ods") {
        return FileKind::Ods;
    }
    return std::nullopt;
}

Document::Document(QObject* parent) : QObject(parent), model_(new GridModel(this)) {
    model_->setFixedRows(1);
    model_->setRecorder(&recorder_);
}

Document::~Document() {
    // The model goes before the recorder it records into.
    model_->setRecorder(nullptr);
}

void Document::setNewDocument(bool isNew) {
    const bool old = newDocument_;
    newDocument_ = isNew;
    // The state beside the table belongs to the step of the command that changes it (the blank
    // records a first Drop Box record replaced come back with the blank state); set outside a
    // step (a load) it is no change of the table.
    if (old != isNew && recording()) {
        recorder_.record(valueChange([this, old] { newDocument_ = old; },
                                     [this, isNew] { newDocument_ = isNew; }, 0));
    }
}

void Document::setLastSortCol(int col) {
    const int old = lastSortCol_;
    lastSortCol_ = col;
    if (old != col && recording()) {
        recorder_.record(valueChange([this, old] { lastSortCol_ = old; },
                                     [this, col] { lastSortCol_ = col; }, 0));
    }
}

void Document::setComboLists(const QStringList& lists) {
    const QStringList old = comboLists_;
    comboLists_ = lists;
    if (old != lists && recording()) {
        size_t bytes = 0;
        for (const QString& s : old + lists) {
            bytes += static_cast<size_t>(s.size()) * 2 + sizeof(QString);
        }
        recorder_.record(valueChange([this, old] { comboLists_ = old; },
                                     [this, lists] { comboLists_ = lists; }, bytes));
    }
}

void Document::MakeModified(bool bWhat) {
    const bool changed = modified_ != bWhat;
    modified_ = bWhat;
    if (changed) {
        emit modifiedChanged(modified_);
    }
}

void Document::setFile(const QString& path, FileKind kind, TextEncoding encoding) {
    currentFile_ = path;
    fileKind_ = kind;
    encoding_ = encoding;
    emit fileChanged();
}

void Document::setTitle(const QString& title) {
    title_ = title;
    emit titleChanged(title_);
}

bool Document::writesTitleLine() const {
    if (!firstLineData_ || model_->rows() < 1) {
        return true;
    }
    for (int c = 0; c < model_->cols(); ++c) {
        if (!model_->table().isEmpty(0, c)) {
            return true;
        }
    }
    return false;
}

QString& Document::comboList(int col) {
    fitComboLists();
    static QString none;
    if (col < 0 || col >= comboLists_.size()) {
        none.clear();
        return none;
    }
    return comboLists_[col];
}

void Document::resetComboLists() {
    comboLists_ = QStringList(model_->cols(), QString());
}

void Document::fitComboLists() {
    comboLists_.resize(model_->cols());
}

}  // namespace pellumar
