// The names of the data type and alignment codes both ways: every code has a name and every
// text a code.
#include <QtTest>

#include "core/columns/ColumnAttributeNames.h"

using namespace pellumar;

class TstColumnAttributeNames : public QObject {
    Q_OBJECT

private slots:
    void codesToNames() {
        const std::pair<int, const char*> types[] = {
            {5, "Number"},
            {6, "Money"},
            {7, "Date"},
            {11, "Checkbox"},
            {8, "Text"},
            // No type set, and codes without a name of their own.
            {0, "Text"},
            {4, "Text"},
            {9, "Text"},
            {12, "Text"},
            {-1, "Text"}};
        for (const auto& [code, name] : types) {
            QCOMPARE(dataTypeName(code), QString(name));
        }
        const std::pair<int, const char*> alignments[] = {
            {1, "Left"},
            {4, "Center"},
            {7, "Right"},
            // General, and the top and bottom alignments the grid knows.
            {9, "Left"},
            {0, "Left"},
            {3, "Left"},
            {8, "Left"},
            {-1, "Left"}};
        for (const auto& [code, name] : alignments) {
            QCOMPARE(alignmentName(code), QString(name));
        }
    }

    void namesToCodes() {
        const std::pair<const char*, int> types[] = {
            {"Number", 5}, {"Money", 6}, {"Date", 7},  {"Checkbox", 11}, {"Text", 8},
            {"", 8},       {"money", 8}, {" Date", 8}, {"Check box", 8}, {"Left", 8}};
        for (const auto& [name, code] : types) {
            QCOMPARE(dataTypeCode(QString(name)), code);
        }
        const std::pair<const char*, int> alignments[] = {
            {"Left", 1},   {"Center", 4}, {"Right", 7},  {"", 1},
            {"Centre", 1}, {"right", 1},  {"General", 1}};
        for (const auto& [name, code] : alignments) {
            QCOMPARE(alignmentCode(QString(name)), code);
        }
    }

    // Every name offered comes back as itself through its code, so that a definition the user
    // leaves alone is written back as shown.
    void offeredNamesRoundTrip() {
        for (const QString& name : dataTypeList().split(u'|')) {
            QCOMPARE(dataTypeName(dataTypeCode(name)), name);
        }
        for (const QString& name : alignmentList().split(u'|')) {
            QCOMPARE(alignmentName(alignmentCode(name)), name);
        }
    }
};

QTEST_GUILESS_MAIN(TstColumnAttributeNames)
#include "tst_columnattributenames.moc"
