#include "gui/formreader/frmFormPosts.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace pellumar {

frmFormPosts::frmFormPosts(QWidget* parent, const MailSourceChoice& choice)
    : QDialog(parent), initialDir_(choice.initialDir) {
    setWindowTitle(QStringLiteral("Import Form Posts"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(
        QStringLiteral("Mailboxes (mbox), Maildir folders, folders of .eml files or .eml files "
                       "to read, one record a message:"),
        this);
    label->setWordWrap(true);
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    lstSources = new QListWidget(this);
    lstSources->setSelectionMode(QAbstractItemView::ExtendedSelection);
    row->addWidget(lstSources, 1);
    auto* buttons = new QVBoxLayout;
    cmdAddFiles = new QPushButton(QStringLiteral("Add &Files..."), this);
    cmdAddFolder = new QPushButton(QStringLiteral("Add F&older..."), this);
    cmdRemove = new QPushButton(QStringLiteral("&Remove"), this);
    buttons->addWidget(cmdAddFiles);
    buttons->addWidget(cmdAddFolder);
    buttons->addWidget(cmdRemove);
    buttons->addStretch(1);
    row->addLayout(buttons);
    layout->addLayout(row);
    chkMailColumns = new QCheckBox(
        QStringLiteral("Start each record with the &mail columns (Date, From, Subject, "
                       "Message-ID)"),
        this);
    chkMailColumns->setChecked(choice.mailColumns);
    layout->addWidget(chkMailColumns);
    auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    cmdOK = box->button(QDialogButtonBox::Ok);
    cmdOK->setText(QStringLiteral("&Import"));
    layout->addWidget(box);
    connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cmdAddFiles, &QPushButton::clicked, this, [this] { cmdAddFiles_Click(); });
    connect(cmdAddFolder, &QPushButton::clicked, this, [this] { cmdAddFolder_Click(); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { cmdRemove_Click(); });
    connect(lstSources, &QListWidget::itemSelectionChanged, this, [this] { updateButtons(); });
    addSources(choice.paths);
    resize(560, 320);
}

MailSourceChoice frmFormPosts::choice() const {
    MailSourceChoice out;
    for (int i = 0; i < lstSources->count(); ++i) {
        out.paths << lstSources->item(i)->text();
    }
    out.mailColumns = chkMailColumns->isChecked();
    out.initialDir = initialDir_;
    return out;
}

void frmFormPosts::addSources(const QStringList& paths) {
    for (const QString& path : paths) {
        const QString shown = QDir::toNativeSeparators(path);
        if (lstSources->findItems(shown, Qt::MatchExactly).isEmpty()) {
            lstSources->addItem(shown);
        }
        initialDir_ = QFileInfo(path).absolutePath();
    }
    updateButtons();
}

void frmFormPosts::cmdAddFiles_Click() {
    addSources(QFileDialog::getOpenFileNames(
        this, QStringLiteral("Add Mailboxes or Messages"), initialDir_,
        QStringLiteral("Mail (*.mbox *.mbx *.eml *.mail);;All Files (*)")));
}

void frmFormPosts::cmdAddFolder_Click() {
    const QString folder = QFileDialog::getExistingDirectory(
        this, QStringLiteral("Add a Maildir Folder or a Folder of Messages"), initialDir_);
    if (!folder.isEmpty()) {
        addSources({folder});
    }
}

void frmFormPosts::cmdRemove_Click() {
    qDeleteAll(lstSources->selectedItems());
    updateButtons();
}

void frmFormPosts::updateButtons() {
    cmdOK->setEnabled(lstSources->count() > 0);
    cmdRemove->setEnabled(!lstSources->selectedItems().isEmpty());
}

}  // namespace pellumar
