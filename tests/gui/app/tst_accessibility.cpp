// What the window tells assistive technology: every control a user can reach has a name (its
// tool tip or caption), found by walking the window's accessibility tree as a screen reader
// does, and the data grid and the Form Panel report their cells.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

#include <functional>

#include "TestWindow.h"

using namespace pellumar;

namespace {

// The interfaces below `root`, depth first.
void walk(QAccessibleInterface* root, const std::function<void(QAccessibleInterface*)>& visit,
          int depth = 0) {
    if (!root || depth > 40) {
        return;
    }
    visit(root);
    for (int i = 0; i < root->childCount(); ++i) {
        walk(root->child(i), visit, depth + 1);
    }
}

bool isControl(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::ButtonMenu:
        case QAccessible::ButtonDropDown:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::EditableText:
        case QAccessible::SpinBox:
        case QAccessible::Table:
        case QAccessible::ComboBox:
            return true;
        default:
            return false;
    }
}

QString nameOf(QObject* object) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(object);
    return a ? a->text(QAccessible::Name) : QStringLiteral("<none>");
}

}  // namespace

class TstAccessibility : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

private slots:
    void init() { settings_.clear(); }

    // Walking the tree from the window: every control shown has a name.
    void everyControlHasAName() {
        settings_.set("WIDTH", "15000");
        TestWindow w(true);
        w->action(CommandId::mnuRowCol)->trigger();
        QTRY_VERIFY(w->rowColControl()->isVisible());
        QAccessible::setActive(true);
        QAccessibleInterface* root = QAccessible::queryAccessibleInterface(w.window.get());
        QVERIFY(root);
        QStringList unnamed;
        int controls = 0;
        walk(root, [&](QAccessibleInterface* a) {
            if (!isControl(a->role()) || a->state().invisible) {
                return;
            }
            ++controls;
            if (a->text(QAccessible::Name).trimmed().isEmpty()) {
                QObject* o = a->object();
                unnamed << (o ? o->objectName() + u'/' +
                                    QString::fromLatin1(o->metaObject()->className())
                              : QStringLiteral("role %1").arg(a->role()));
            }
        });
        QVERIFY(controls > 30);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
    }

    // The names are the controls' tool tips or captions.
    void namesFromToolTipsAndCaptions() {
        TestWindow w(true);
        QAccessible::setActive(true);
        QCOMPARE(nameOf(w->toolButton(QStringLiteral("Bold"))), w->toolButton("Bold")->toolTip());
        QCOMPARE(nameOf(w->imgBtn(0)), w->imgBtn(0)->toolTip());
        QCOMPARE(nameOf(w->imgClose()), QStringLiteral("Close Form (F2)"));
        QCOMPARE(nameOf(w->txtDrop()), QStringLiteral("Drop Box"));
        QCOMPARE(nameOf(w->txtRow()), QStringLiteral("Rows"));
        QCOMPARE(nameOf(w->txtCol()), QStringLiteral("Cols"));
        const QStringList colours{"Black", "Red",    "Dark Red", "Dark Green",
                                  "Navy",  "Purple", "Magenta",  "Blue"};
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(nameOf(w->styles().PanColor()->swatch(k)), colours[k]);
        }
        QCOMPARE(nameOf(w->fa()), QStringLiteral("Data Grid"));
        QCOMPARE(nameOf(w->fb()), QStringLiteral("Form Panel"));
    }

    // The data grid and the Form Panel report their cells: the column titles as headers, the
    // texts as shown.
    void gridsReportTheirCells() {
        TestWindow w(true);
        QAccessible::setActive(true);
        GridModel& model = w->document().model();
        model.setCols(3);
        model.setText(0, 0, QStringLiteral("Name"));
        model.setText(0, 1, QStringLiteral("City"));
        model.setText(2, 1, QStringLiteral("Oslo"));
        model.setColFormat(2, QStringLiteral("$#,###.00"));
        model.setColDataType(2, DataTypeMoney);
        model.setText(2, 2, QStringLiteral("1234.5"));
        w->fa()->select(2, 0);
        w->formPanel().setFbCol0Populated(false);
        w->formPanel().fa_Click();

        QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(w->fa());
        QVERIFY(grid && grid->tableInterface());
        QAccessibleTableInterface* table = grid->tableInterface();
        QCOMPARE(table->columnCount(), 3);
        QCOMPARE(table->rowCount(), model.rows() - 1);
        QCOMPARE(table->columnDescription(1), QStringLiteral("City"));
        QAccessibleInterface* cell = table->cellAt(1, 1);
        QVERIFY(cell);
        QCOMPARE(cell->text(QAccessible::Name), QStringLiteral("Oslo"));
        QCOMPARE(table->cellAt(1, 2)->text(QAccessible::Name), QStringLiteral("$1,234.50"));

        QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(w->fb());
        QVERIFY(panel && panel->tableInterface());
        QAccessibleTableInterface* form = panel->tableInterface();
        QCOMPARE(form->columnDescription(0), QStringLiteral("Column"));
        QCOMPARE(form->columnDescription(1), QStringLiteral("Value"));
        QCOMPARE(form->cellAt(1, 0)->text(QAccessible::Name), QStringLiteral("City"));
        QCOMPARE(form->cellAt(1, 1)->text(QAccessible::Name), QStringLiteral("Oslo"));
        QCOMPARE(form->cellAt(2, 1)->text(QAccessible::Name), QStringLiteral("$1,234.50"));
    }
};

QTEST_MAIN(TstAccessibility)
#include "tst_accessibility.moc"
