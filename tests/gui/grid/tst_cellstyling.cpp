// Row, Block and Drag mode, the toolbar's style buttons, the colour palette, the background
// colour and the alignment: which cells each styles, on which area, and which of them mark the
// document modified.
#include <QAction>
#include <QApplication>
#include <QToolButton>
#include <QtTest>

#include "TestWindow.h"

using namespace pellumar;

namespace {

using CellProperty = GridControl::CellProperty;

bool flag(const GridControl* grid, CellProperty property, int row, int col) {
    return grid->cell(property, row, col).toBool();
}

uint32_t foreColor(const GridControl* grid, int row, int col) {
    return grid->cell(CellProperty::ForeColor, row, col).toUInt();
}

}  // namespace

class TstCellStyling : public QObject {
    Q_OBJECT

private:
    TestSettings settings_;

    static void click(TestWindow& w, const char* key) {
        QTest::mouseClick(w->toolButton(QString::fromLatin1(key)), Qt::LeftButton);
    }
    static void focusDataGrid(TestWindow& w) {
        w->fa()->setFocus();
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::DataGrid);
    }
    static void focusFormPanel(TestWindow& w) {
        w->fb()->setFocus();
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::FormPanel);
    }

private slots:
    void init() { settings_.clear(); }

    void everyButtonOfTheseCommandsWorks() {
        TestWindow w(true);
        for (const char* key : {"New", "Open", "Bold", "Italic", "Underline", "A", "Acolor",
                                "Flood", "RowMode", "BlockMode", "DragMode", "AlternateColor"}) {
            QVERIFY2(w->toolButton(QString::fromLatin1(key))->isEnabled(), key);
        }
        for (CommandId id :
             {CommandId::OPEN_PLM, CommandId::OPEN_CSV, CommandId::OPEN_TXT,
              CommandId::mnuAlignLeft, CommandId::mnuAlignCenter, CommandId::mnuAlignRight,
              CommandId::mnuBkColor, CommandId::mnuRowHeightReset, CommandId::mnuRowHeightInc,
              CommandId::mnuRowHeightDec, CommandId::mnuMouseMode0, CommandId::mnuMouseMode1,
              CommandId::mnuDragDrop, CommandId::mnuAlternateColor, CommandId::mnuGrid}) {
            QVERIFY2(w->action(id)->isEnabled(), qPrintable(commandName(id)));
        }
        // Save keeps its start state: disabled until the first change.
        QVERIFY(!w->toolButton(QStringLiteral("Save"))->isEnabled());
    }

    void boldOnABlockInBlockMode() {
        TestWindow w(true);
        click(w, "BlockMode");
        QVERIFY(w->views().isBlockMode());
        QCOMPARE(w->panelText(3), QStringLiteral("EDIT"));
        focusDataGrid(w);
        w->fa()->select(2, 1, 3, 2);
        click(w, "Bold");
        for (int r = 1; r <= 4; ++r) {
            for (int c = 0; c <= 3; ++c) {
                QCOMPARE(flag(w->fa(), CellProperty::FontBold, r, c),
                         r >= 2 && r <= 3 && c >= 1 && c <= 2);
            }
        }
        QVERIFY(w->toolButton(QStringLiteral("Bold"))->isChecked());
        QVERIFY(w->formPanel().faStyle().bold);
        QVERIFY(w->document().isModified());
        QVERIFY(!w->fb()->grid()->table().hasStyle(3, 1));
        // The second click takes it off again.
        click(w, "Bold");
        QVERIFY(!flag(w->fa(), CellProperty::FontBold, 2, 1));
        QVERIFY(!w->toolButton(QStringLiteral("Bold"))->isChecked());
        // The flag decides, not the button's look: a flag out of step with the cell is
        // inverted as it stands.
        w->formPanel().setFaStyle({true, false, false});
        click(w, "Bold");
        QVERIFY(!flag(w->fa(), CellProperty::FontBold, 2, 1));
        QVERIFY(!w->formPanel().faStyle().bold);
        // The refresh shows the current cell again.
        w->fa()->select(2, 1);
        w->fa()->setCell(CellProperty::FontBold, 2, 1, 2, 1, true);
        w->formPanel().fa_Click();
        QVERIFY(w->toolButton(QStringLiteral("Bold"))->isChecked());
        click(w, "Bold");
        QVERIFY(!flag(w->fa(), CellProperty::FontBold, 2, 1));
    }

    void italicOnRowsInRowModeCoversEveryColumn() {
        TestWindow w(true);
        focusDataGrid(w);
        w->fa()->select(4, 0, 6, w->fa()->cols() - 1);
        click(w, "Italic");
        for (int r = 3; r <= 7; ++r) {
            for (int c = 0; c < w->fa()->cols(); ++c) {
                QCOMPARE(flag(w->fa(), CellProperty::FontItalic, r, c), r >= 4 && r <= 6);
            }
        }
        QVERIFY(w->document().isModified());
    }

    void underlineOnTheFormPanel() {
        TestWindow w(true);
        focusFormPanel(w);
        w->fb()->select(2, 0, 3, 1);
        click(w, "Underline");
        for (int r = 1; r <= 4; ++r) {
            QCOMPARE(flag(w->fb(), CellProperty::FontUnderline, r, 1), r == 2 || r == 3);
            QVERIFY(!flag(w->fb(), CellProperty::FontUnderline, r, 0));
        }
        QVERIFY(w->toolButton(QStringLiteral("Underline"))->isChecked());
        QVERIFY(w->formPanel().fbStyle().underline);
        QVERIFY(!w->document().model().table().hasAnyStyle());
        QVERIFY(!w->document().isModified());
        // The Drop Box focused last: the Form Panel is still the target.
        w->txtDrop()->setFocus();
        QTRY_VERIFY(w->views().activeArea() == ActiveArea::DropBox);
        click(w, "Underline");
        QVERIFY(!flag(w->fb(), CellProperty::FontUnderline, 2, 1));
        QVERIFY(!w->document().isModified());
    }

    void swatchesAndTheCurrentFontColour() {
        TestWindow w(true);
        ColorPalette* palette = w->styles().PanColor();
        QVERIFY(!palette->isVisible());
        const qint64 iconBefore = w->toolButton(QStringLiteral("A"))->icon().cacheKey();
        click(w, "BlockMode");
        focusDataGrid(w);
        w->fa()->select(2, 1, 3, 2);
        click(w, "Acolor");
        QVERIFY(palette->isVisible());
        QTest::mouseClick(palette->swatch(1), Qt::LeftButton);
        QVERIFY(!palette->isVisible());
        for (int r = 1; r <= 4; ++r) {
            for (int c = 0; c <= 3; ++c) {
                const bool inside = r >= 2 && r <= 3 && c >= 1 && c <= 2;
                QCOMPARE(foreColor(w->fa(), r, c), inside ? 0xffff0000u : 0u);
            }
        }
        QVERIFY(w->document().isModified());
        QCOMPARE(w->styles().fontColorIndex(), 1);
        QCOMPARE(palette->swatch(1)->frameShadow(), QFrame::Sunken);
        QCOMPARE(palette->swatch(0)->frameShadow(), QFrame::Raised);
        QVERIFY(w->toolButton(QStringLiteral("A"))->icon().cacheKey() != iconBefore);
        // "A" applies the current colour again, elsewhere.
        w->fa()->select(5, 0);
        click(w, "A");
        QCOMPARE(foreColor(w->fa(), 5, 0), 0xffff0000u);
        QCOMPARE(foreColor(w->fa(), 5, 1), 0u);

        // On the Form Panel a swatch colours its value cells only, and the document's state
        // stays as it was.
        w->document().MakeModified(false);
        focusFormPanel(w);
        w->fb()->select(2, 0);
        click(w, "Acolor");
        QTest::mouseClick(palette->swatch(3), Qt::LeftButton);
        QCOMPARE(foreColor(w->fb(), 2, 1), 0xff008000u);
        QCOMPARE(foreColor(w->fb(), 2, 0), 0u);
        QCOMPARE(foreColor(w->fb(), 3, 1), 0u);
        QCOMPARE(w->styles().fontColorIndex(), 3);
        w->fb()->select(4, 0);
        click(w, "A");
        QCOMPARE(foreColor(w->fb(), 4, 1), 0xff008000u);
        QVERIFY(!w->document().isModified());
    }

    void paletteHides() {
        TestWindow w(true);
        ColorPalette* palette = w->styles().PanColor();
        // Another toolbar button: the palette goes before that button's command runs.
        click(w, "Acolor");
        QVERIFY(palette->isVisible());
        click(w, "DragMode");
        QVERIFY(!palette->isVisible());
        click(w, "DragMode");
        // A click on its background.
        click(w, "Acolor");
        QTest::mouseClick(palette, Qt::LeftButton, {}, QPoint(1, 1));
        QVERIFY(!palette->isVisible());
        QCOMPARE(w->styles().fontColorIndex(), 0);
        // The data grid, the Form Panel or the Drop Box getting the focus.
        for (QWidget* area : {static_cast<QWidget*>(w->fa()), static_cast<QWidget*>(w->fb()),
                              static_cast<QWidget*>(w->txtDrop())}) {
            w->cmdEraser()->setFocus();
            click(w, "Acolor");
            QVERIFY(palette->isVisible());
            area->setFocus();
            QTRY_VERIFY(!palette->isVisible());
        }
        QVERIFY(!w->document().isModified());
    }

    void backgroundColour() {
        TestWindow w(true);
        focusDataGrid(w);
        w->fa()->select(3, 0);
        // Cancel changes nothing.
        w.prompter.answerColor(QColor());
        click(w, "Flood");
        QVERIFY(w.prompter.last().kind == ScriptedPrompter::Kind::Color);
        QVERIFY(!w->document().model().table().hasAnyStyle());
        QVERIFY(!w->document().isModified());
        w.prompter.answerColor(QColor(10, 20, 30));
        w->action(CommandId::mnuBkColor)->trigger();
        for (int c = 0; c < w->fa()->cols(); ++c) {
            QCOMPARE(w->fa()->cell(CellProperty::BackColor, 3, c).toUInt(), 0xff0a141eu);
        }
        QCOMPARE(w->fa()->cell(CellProperty::BackColor, 4, 0).toUInt(), 0u);
        QVERIFY(w->document().isModified());
        // The Form Panel's value cells; the document's state stays.
        w->document().MakeModified(false);
        focusFormPanel(w);
        w->fb()->select(2, 0);
        w.prompter.answerColor(QColor(200, 0, 0));
        click(w, "Flood");
        QCOMPARE(w->fb()->cell(CellProperty::BackColor, 2, 1).toUInt(), 0xffc80000u);
        QCOMPARE(w->fb()->cell(CellProperty::BackColor, 2, 0).toUInt(), 0u);
        QVERIFY(!w->document().isModified());
    }

    void alignmentAlwaysOnTheDataGrid() {
        TestWindow w(true);
        focusDataGrid(w);
        w->fa()->select(3, 0, 5, w->fa()->cols() - 1);
        w->action(CommandId::mnuAlignRight)->trigger();
        for (int r = 2; r <= 6; ++r) {
            for (int c = 0; c < w->fa()->cols(); ++c) {
                QCOMPARE(w->fa()->cell(CellProperty::Alignment, r, c).toInt(),
                         r >= 3 && r <= 5 ? int(AlignRightCenter) : int(AlignGeneral));
            }
        }
        // In Block mode, the block; with the Form Panel focused last, still the data grid.
        w->styles().mnuMouseMode_Click(1);
        w->fa()->select(7, 2, 8, 3);
        focusFormPanel(w);
        w->styles().mnuAlignCenter_Click();
        QCOMPARE(w->fa()->cell(CellProperty::Alignment, 8, 3).toInt(), int(AlignCenterCenter));
        QCOMPARE(w->fa()->cell(CellProperty::Alignment, 8, 1).toInt(), int(AlignGeneral));
        QCOMPARE(w->fb()->cell(CellProperty::Alignment, 2, 1).toInt(), w->fb()->colAlignment(1));
        // Alignment leaves the document's state alone.
        QVERIFY(!w->document().isModified());
    }

    void modesAndSwitches() {
        TestWindow w(true);
        // Row mode selects the whole current record.
        click(w, "BlockMode");
        w->fa()->select(6, 3);
        QVERIFY(w->toolButton(QStringLiteral("BlockMode"))->isChecked());
        QVERIFY(!w->toolButton(QStringLiteral("RowMode"))->isChecked());
        click(w, "RowMode");
        QVERIFY(w->toolButton(QStringLiteral("RowMode"))->isChecked());
        QVERIFY(w->action(CommandId::mnuMouseMode0)->isChecked());
        QVERIFY(!w->action(CommandId::mnuMouseMode1)->isChecked());
        QCOMPARE(w->panelText(3), QStringLiteral("ROW"));
        QCOMPARE(w->fa()->row(), 6);
        QCOMPARE(w->fa()->selectionLeft(), 0);
        QCOMPARE(w->fa()->selectionRight(), w->fa()->cols() - 1);
        // Drag mode and its panel.
        click(w, "DragMode");
        QCOMPARE(w->panelText(4), QStringLiteral("DRAG"));
        QVERIFY(w->action(CommandId::mnuDragDrop)->isChecked());
        QVERIFY(w->fa()->dragMode());
        w->action(CommandId::mnuDragDrop)->trigger();
        QCOMPARE(w->panelText(4), QString());
        QVERIFY(!w->toolButton(QStringLiteral("DragMode"))->isChecked());
        QVERIFY(!w->fa()->dragMode());
        // The alternate row colour clicked twice: off and on again, the button following.
        click(w, "AlternateColor");
        QVERIFY(!w->styles().alternateColor());
        QVERIFY(!w->toolButton(QStringLiteral("AlternateColor"))->isChecked());
        QCOMPARE(w->fa()->palette().color(QPalette::AlternateBase), QColor(255, 255, 255));
        click(w, "AlternateColor");
        QVERIFY(w->styles().alternateColor());
        QVERIFY(w->toolButton(QStringLiteral("AlternateColor"))->isChecked());
        QVERIFY(w->action(CommandId::mnuAlternateColor)->isChecked());
        QCOMPARE(w->fa()->palette().color(QPalette::AlternateBase), QColor(192, 255, 192));
        // Grid lines.
        w->action(CommandId::mnuGrid)->trigger();
        QVERIFY(!w->fa()->gridLines());
        QVERIFY(!w->action(CommandId::mnuGrid)->isChecked());
        w->action(CommandId::mnuGrid)->trigger();
        QVERIFY(w->fa()->gridLines());
        QVERIFY(!w->document().isModified());
    }

    // Records picked with Ctrl+click in Row mode: every style reaches each of them, across all
    // columns, and one Undo takes it back from all of them.
    void stylesReachEveryRecordPickedWithCtrlClick_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<int>("property");
        QTest::addColumn<QVariant>("value");
        const auto p = [](CellProperty property) { return int(property); };
        QTest::newRow("Bold") << "Bold" << p(CellProperty::FontBold) << QVariant(true);
        QTest::newRow("Italic") << "Italic" << p(CellProperty::FontItalic) << QVariant(true);
        QTest::newRow("Underline")
            << "Underline" << p(CellProperty::FontUnderline) << QVariant(true);
        QTest::newRow("swatch") << "swatch" << p(CellProperty::ForeColor)
                                << QVariant(QColor(255, 0, 0).rgba());
        QTest::newRow("A") << "A" << p(CellProperty::ForeColor) << QVariant(QColor(0, 0, 0).rgba());
        QTest::newRow("Flood") << "Flood" << p(CellProperty::BackColor)
                               << QVariant(QColor(10, 20, 30).rgba());
        QTest::newRow("Right") << "Right" << p(CellProperty::Alignment)
                               << QVariant(int(AlignRightCenter));
    }
    void stylesReachEveryRecordPickedWithCtrlClick() {
        QFETCH(QString, command);
        QFETCH(int, property);
        QFETCH(QVariant, value);
        const auto prop = CellProperty(property);
        TestWindow w(true);
        GridControl* fa = w->fa();
        const auto cellAt = [fa](int row) {
            return fa->visualRect(fa->model()->index(row - fa->fixedRows(), 1)).center();
        };
        QTest::mouseClick(fa->viewport(), Qt::LeftButton, {}, cellAt(1));
        QTest::mouseClick(fa->viewport(), Qt::LeftButton, Qt::ControlModifier, cellAt(3));
        QTest::mouseClick(fa->viewport(), Qt::LeftButton, Qt::ControlModifier, cellAt(8));
        QCOMPARE(w->panelText(5), QStringLiteral("3 Sel"));
        QCOMPARE(w->views().activeArea(), ActiveArea::DataGrid);
        const QVariant before = fa->cell(prop, 2, 0);
        if (command == QLatin1String("swatch")) {
            click(w, "Acolor");
            QTest::mouseClick(w->styles().PanColor()->swatch(1), Qt::LeftButton);
        } else if (command == QLatin1String("Right")) {
            w->action(CommandId::mnuAlignRight)->trigger();
        } else {
            w.prompter.answerColor(QColor(10, 20, 30));
            click(w, command.toLatin1().constData());
        }
        const std::vector<int> picked{1, 3, 8};
        for (int r = 1; r <= 9; ++r) {
            const bool listed = std::find(picked.begin(), picked.end(), r) != picked.end();
            for (int c = 0; c < fa->cols(); ++c) {
                QCOMPARE(fa->cell(prop, r, c), listed ? value : before);
            }
        }
        QCOMPARE(w->panelText(5), QStringLiteral("3 Sel"));
        // One step: one Undo takes the style off every picked record.
        fa->setFocus();
        QTest::keyClick(fa, Qt::Key_Z, Qt::ControlModifier);
        for (const int r : picked) {
            QCOMPARE(fa->cell(prop, r, 0), before);
        }
        QVERIFY(!w->document().model().table().hasAnyStyle());
    }

    void stylesWithNoRecords() {
        TestWindow w(true);
        w->document().model().setRows(1);
        focusDataGrid(w);
        click(w, "Bold");
        click(w, "A");
        w->styles().mnuAlignRight_Click();
        QVERIFY(!w->document().model().table().hasAnyStyle());
        QVERIFY(!w->document().isModified());
    }
};

QTEST_MAIN(TstCellStyling)
#include "tst_cellstyling.moc"
