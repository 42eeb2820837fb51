#include "gui/formreader/frmConvChr.h"

#include "gui/formreader/FormReaderController.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace pellumar {

namespace {

void setBoxBackground(QLineEdit* box, const QColor& color) {
    QPalette pal = box->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, color);
    }
    box->setPalette(pal);
}

}  // namespace

frmConvChr::frmConvChr(QWidget& parent, FormReaderController& reader)
    : QDialog(&parent), reader_(reader) {
    setObjectName(QStringLiteral("frmConvChr"));
    setWindowTitle(QStringLiteral("Separator Character Setting"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Select the separator character:"), this));

    auto* options = new QGridLayout;
    options->setContentsMargins(12, 0, 0, 0);
    auto* group = new QButtonGroup(this);
    static const char* kCaptions[] = {"(colon)", "(equal sign)", "(other, specify)"};
    for (int i = 0; i < 3; ++i) {
        auto* option = new QRadioButton(QString::fromLatin1(kCaptions[i]), this);
        option->setObjectName(QStringLiteral("optChr%1").arg(i));
        group->addButton(option, i);
        options->addWidget(option, i, 0);
        optChr.push_back(option);
    }
    txtConvChr = new QLineEdit(this);
    txtConvChr->setObjectName(QStringLiteral("txtConvChr"));
    txtConvChr->setMaximumWidth(txtConvChr->fontMetrics().horizontalAdvance(u'M') * 8);
    txtConvChr->installEventFilter(this);
    options->addWidget(txtConvChr, 2, 1, Qt::AlignLeft);
    options->setColumnStretch(2, 1);
    layout->addLayout(options);

    layout->addWidget(new QLabel(QStringLiteral("Example:"), this));
    QFont courier(QStringLiteral("Courier"));
    courier.setStyleHint(QFont::TypeWriter);
    courier.setFixedPitch(true);
    for (int i = 0; i < 2; ++i) {
        auto* example = new QLabel(this);
        example->setObjectName(QStringLiteral("lblExample%1").arg(i));
        // Shown as typed: an ampersand is a character here, never an access key.
        example->setTextFormat(Qt::PlainText);
        example->setFont(courier);
        example->setContentsMargins(12, 0, 0, 0);
        layout->addWidget(example);
        lblExample.push_back(example);
    }

    auto* note = new QLabel(QStringLiteral("Note: Make sure the variable names and values do not "
                                           "contain the separator character."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);  // until an option is chosen
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(group, &QButtonGroup::idClicked, this, [this](int id) { optChr_Click(id); });
    connect(txtConvChr, &QLineEdit::textChanged, this, [this] { txtConvChr_Change(); });
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    Form_Load();
    setFixedSize(sizeHint().expandedTo(QSize(320, 0)));
}

void frmConvChr::Form_Load() {
    const QString current = reader_.separator();
    int index = 2;
    if (current == u":") {
        index = 0;
    } else if (current == u"=") {
        index = 1;
    } else {
        txtConvChr->setText(current);
    }
    optChr[index]->setChecked(true);
    optChr_Click(index);
}

int frmConvChr::selectedOption() const {
    for (int i = 0; i < optChr.size(); ++i) {
        if (optChr[i]->isChecked()) {
            return i;
        }
    }
    return -1;
}

void frmConvChr::showExamples(const QString& separator) {
    lblExample[0]->setText(QStringLiteral("FirstName") + separator + QStringLiteral("John"));
    lblExample[1]->setText(QStringLiteral("LastName") + separator + QStringLiteral("Doe"));
}

void frmConvChr::optChr_Click(int index) {
    if (index < 0 || index > 2) {
        return;
    }
    if (!optChr[index]->isChecked()) {
        optChr[index]->setChecked(true);
    }
    if (index == 2) {
        txtConvChr->setEnabled(true);
        setBoxBackground(txtConvChr, QColor(255, 255, 255));
        showExamples(txtConvChr->text());
    } else {
        txtConvChr->setEnabled(false);
        setBoxBackground(txtConvChr, QColor(180, 180, 180));
        showExamples(index == 0 ? QStringLiteral(":") : QStringLiteral("="));
    }
    cmdOK->setEnabled(true);
}

void frmConvChr::txtConvChr_Change() {
    if (selectedOption() == 2) {
        showExamples(txtConvChr->text());
    }
}

void frmConvChr::txtConvChr_GotFocus() {
    // After the click that brought the focus has placed the cursor.
    QTimer::singleShot(0, txtConvChr, &QLineEdit::selectAll);
    txtConvChr->selectAll();
}

bool frmConvChr::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtConvChr && event->type() == QEvent::FocusIn) {
        txtConvChr_GotFocus();
    }
    return QDialog::eventFilter(watched, event);
}

void frmConvChr::cmdOK_Click() {
    switch (selectedOption()) {
        case 0:
            reader_.setSeparator(QStringLiteral(":"));
            break;
        case 1:
            reader_.setSeparator(QStringLiteral("="));
            break;
        default:
            reader_.setSeparator(txtConvChr->text());
            break;
    }
    accept();
}

void frmConvChr::cmdCancel_Click() {
    reject();
}

}  // namespace pellumar
