#include "gui/grid/RowColControl.h"

#include "core/document/Document.h"
#include "core/document/FileResult.h"
#include "gui/grid/Twips.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>
#include <tuple>

namespace pellumar {

namespace {

// A spin control: an up and a down arrow stacked beside its box.
QWidget* makeUpDown(const QString& name, QWidget* parent, int height) {
    auto* upDown = new QWidget(parent);
    upDown->setObjectName(name);
    auto* layout = new QVBoxLayout(upDown);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (const Qt::ArrowType arrow : {Qt::UpArrow, Qt::DownArrow}) {
        auto* button = new QToolButton(upDown);
        button->setObjectName(
            name + (arrow == Qt::UpArrow ? QStringLiteral("Up") : QStringLiteral("Down")));
        button->setArrowType(arrow);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setFixedSize(16, std::max(8, height / 2));
        layout->addWidget(button);
    }
    return upDown;
}

QToolButton* arrowOf(QWidget* upDown, const char* which) {
    return upDown->findChild<QToolButton*>(upDown->objectName() + QLatin1StringView(which));
}

// The number in a box; an empty or non-numeric text reads 0, a text too long for any count
// reads as too large.
qint64 numberIn(const QLineEdit* box) {
    const QString text = box->text();
    if (text.size() > 12) {
        return std::numeric_limits<qint64>::max();
    }
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    return ok ? n : 0;
}

}  // namespace

RowColControl::RowColControl(Document& document, QWidget* parent)
    : QWidget(parent),
      document_(document),
      txtRow_(new QLineEdit(this)),
      txtCol_(new QLineEdit(this)) {
    setObjectName(QStringLiteral("rowColControl"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 6, 0);
    layout->setSpacing(2);
    txtRow_->setObjectName(QStringLiteral("txtRow"));
    txtCol_->setObjectName(QStringLiteral("txtCol"));
    for (QLineEdit* box : {txtRow_, txtCol_}) {
        box->setFixedWidth(twipsToPixels(900, this));
        // Only what the key filter lets through reaches a box: no pasting or dropping.
        box->setContextMenuPolicy(Qt::NoContextMenu);
        box->setAcceptDrops(false);
        box->installEventFilter(this);
    }
    upDownRow_ = makeUpDown(QStringLiteral("UpDownRow"), this, txtRow_->sizeHint().height());
    upDownCol_ = makeUpDown(QStringLiteral("UpDownCol"), this, txtCol_->sizeHint().height());
    connect(arrowOf(upDownRow_, "Up"), &QToolButton::clicked, this,
            &RowColControl::UpDownRow_UpClick);
    connect(arrowOf(upDownRow_, "Down"), &QToolButton::clicked, this,
            &RowColControl::UpDownRow_DownClick);
    connect(arrowOf(upDownCol_, "Up"), &QToolButton::clicked, this,
            &RowColControl::UpDownCol_UpClick);
    connect(arrowOf(upDownCol_, "Down"), &QToolButton::clicked, this,
            &RowColControl::UpDownCol_DownClick);

    auto* rows = new QLabel(QStringLiteral("Rows"), this);
    rows->setObjectName(QStringLiteral("SSPanel1_0"));
    auto* cols = new QLabel(QStringLiteral("Cols"), this);
    cols->setObjectName(QStringLiteral("SSPanel1_1"));
    // Assistive technology reads the boxes and their spin arrows by the captions beside them.
    rows->setBuddy(txtRow_);
    cols->setBuddy(txtCol_);
    for (const auto& [box, upDown, caption] : {std::tuple{txtRow_, upDownRow_, rows->text()},
                                               std::tuple{txtCol_, upDownCol_, cols->text()}}) {
        box->setAccessibleName(caption);
        arrowOf(upDown, "Up")->setAccessibleName(caption + QStringLiteral(" Up"));
        arrowOf(upDown, "Down")->setAccessibleName(caption + QStringLiteral(" Down"));
    }
    layout->addWidget(rows);
    layout->addWidget(txtRow_);
    layout->addWidget(upDownRow_);
    layout->addSpacing(6);
    layout->addWidget(cols);
    layout->addWidget(txtCol_);
    layout->addWidget(upDownCol_);

    const GridModel& model = document_.model();
    for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        connect(&model, signal, this, &RowColControl::showRows);
    }
    for (auto signal :
         {&QAbstractItemModel::columnsInserted, &QAbstractItemModel::columnsRemoved}) {
        connect(&model, signal, this, &RowColControl::showCols);
    }
    connect(&model, &QAbstractItemModel::modelReset, this, [this] {
        showRows();
        showCols();
    });
}

void RowColControl::showRows() {
    txtRow_->setText(QString::number(std::max(0, document_.model().rows() - 1)));
}

void RowColControl::showCols() {
    txtCol_->setText(QString::number(document_.model().cols()));
}

bool RowColControl::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == txtRow_ || watched == txtCol_) && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Keys that type no character (arrows, Home, Delete, ...) and Tab are the box's own.
        const QString text = key->text();
        if (text.size() == 1 && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
            const int code = text.at(0).unicode();
            return !keyPress(static_cast<QLineEdit*>(watched), code == '\n' ? '\r' : code);
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            return !keyPress(static_cast<QLineEdit*>(watched), '\r');
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool RowColControl::txtRow_KeyPress(int keyAscii) {
    return keyPress(txtRow_, keyAscii);
}

bool RowColControl::txtCol_KeyPress(int keyAscii) {
    return keyPress(txtCol_, keyAscii);
}

bool RowColControl::keyPress(QLineEdit* box, int keyAscii) {
    if ((keyAscii >= '0' && keyAscii <= '9') || keyAscii == '\b') {
        return true;
    }
    if (keyAscii == '\r') {
        if (box == txtRow_) {
            applyRows();
        } else {
            applyCols();
        }
        return false;
    }
    QApplication::beep();
    return false;
}

// Enter: the box's number becomes the table's count. An empty box, or a number the table cannot
// take, applies nothing.
void RowColControl::applyRows() {
    const qint64 records = numberIn(txtRow_);
    if (txtRow_->text().isEmpty() || records > kMaxRecords) {
        return;
    }
    document_.model().setRows(static_cast<int>(records) + 1);
}

void RowColControl::applyCols() {
    const qint64 cols = numberIn(txtCol_);
    if (txtCol_->text().isEmpty() || cols < 1 || cols > kMaxColumns) {
        return;
    }
    document_.model().setCols(static_cast<int>(cols));
}

void RowColControl::stepRows(int step) {
    qint64 records = numberIn(txtRow_);
    if (records > kMaxRecords) {
        return;  // a number the table cannot take: nothing to step from
    }
    if (step < 0 && records >= 1) {
        txtRow_->setText(QString::number(--records));
    } else if (step > 0 && records <= kSpinnerMaxRecords - 1) {
        txtRow_->setText(QString::number(++records));
    }
    GridModel& model = document_.model();
    const auto tableSize = document_.step(QStringLiteral("Table Size"));
    if (!txtRow_->text().isEmpty()) {
        model.setRows(static_cast<int>(numberIn(txtRow_)) + 1);
    } else {
        model.setRows(1);
        txtRow_->setText(QStringLiteral("0"));
    }
    document_.markChanged();
}

void RowColControl::stepCols(int step) {
    qint64 cols = numberIn(txtCol_);
    if (txtCol_->text().isEmpty() || cols > kMaxColumns) {
        return;
    }
    if (step < 0 && cols >= 2) {
        txtCol_->setText(QString::number(--cols));
    } else if (step > 0 && cols <= kSpinnerMaxCols - 1) {
        txtCol_->setText(QString::number(++cols));
    }
    if (cols < 1) {
        return;  // a table keeps at least one column
    }
    const auto tableSize = document_.step(QStringLiteral("Table Size"));
    document_.model().setCols(static_cast<int>(cols));
    document_.markChanged();
}

}  // namespace pellumar
