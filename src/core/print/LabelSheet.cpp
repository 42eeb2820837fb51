#include "core/print/LabelSheet.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr double twipsToMm(int twips) {
    return twips / kTwipsPerMillimetre;
}

constexpr QSizeF kLetter(215.9, 279.4);
constexpr QSizeF kA4(210, 297);

struct FormatEntry {
    const char16_t* name;
    LabelSheetFigures figures;
};

// The letter formats: margins of 0.4 inch left and 0.5 inch top, the sheet's columns and rows.
// The A4 formats: the labels of the common A4 sheets, with their side and top margins worked out
// so that the labels sit in the middle of the 210 x 297 mm paper.
const std::array<FormatEntry, kLabelFormats> kFormats = {{
    {u"3 x 10",
     {kLetter,
      3,
      10,
      {twipsToMm(3976), 25.4},
      twipsToMm(3300),
      {10.16, 12.7},
      {twipsToMm(3976), 25.4}}},
    {u"2 x 10",
     {kLetter,
      2,
      10,
      {twipsToMm(6120), 25.4},
      twipsToMm(5100),
      {10.16, 12.7},
      {twipsToMm(6120), 25.4}}},
    {u"2 x 5",
     {kLetter,
      2,
      5,
      {twipsToMm(6120), 50.8},
      twipsToMm(5100),
      {10.16, 12.7},
      {twipsToMm(6120), 50.8}}},
    {u"3 x 7 A4", {kA4, 3, 7, {63.5, 38.1}, 63.5, {7.25, 15.15}, {66.0, 38.1}}},
    {u"3 x 8 A4", {kA4, 3, 8, {63.5, 33.9}, 63.5, {7.25, 12.9}, {66.0, 33.9}}},
    {u"2 x 7 A4", {kA4, 2, 7, {99.1, 38.1}, 99.1, {4.65, 15.15}, {101.6, 38.1}}},
    {u"2 x 8 A4", {kA4, 2, 8, {99.1, 33.9}, 99.1, {4.65, 12.9}, {101.6, 33.9}}},
    {u"2 x 4 A4", {kA4, 2, 4, {99.1, 67.7}, 99.1, {4.65, 13.1}, {101.6, 67.7}}},
}};

const FormatEntry& entry(LabelFormat format) {
    const auto i = static_cast<size_t>(format);
    return kFormats[i < kFormats.size() ? i : 0];
}

// A stored number, or nothing when it is missing or not a finite number.
bool storedNumber(const QString& text, double* value) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v)) {
        return false;
    }
    *value = v;
    return true;
}

}  // namespace

QString labelFormatName(LabelFormat format) {
    return QString::fromUtf16(entry(format).name);
}

QStringList labelFormatNames() {
    QStringList names;
    for (const FormatEntry& e : kFormats) {
        names << QString::fromUtf16(e.name);
    }
    return names;
}

LabelFormat labelFormatAt(int index) {
    return index >= 0 && index < kLabelFormats ? static_cast<LabelFormat>(index)
                                               : LabelFormat::ThreeByTen;
}

bool isA4Format(LabelFormat format) {
    return entry(format).figures.paper == kA4;
}

int labelsAcross(LabelFormat format) {
    return entry(format).figures.across;
}

int labelsDown(LabelFormat format) {
    return entry(format).figures.down;
}

int labelsPerSheet(LabelFormat format) {
    return labelsAcross(format) * labelsDown(format);
}

LabelSheetFigures labelSheetFigures(LabelFormat format) {
    return entry(format).figures;
}

QRectF labelRect(LabelFormat format, int slot, QPointF offset) {
    const LabelSheetFigures& f = entry(format).figures;
    const int col = slot % f.across;
    const int row = slot / f.across;
    const double width = col == f.across - 1 ? f.lastWidth : f.label.width();
    return QRectF(f.margin.x() + col * f.pitch.width() + offset.x(),
                  f.margin.y() + row * f.pitch.height() + offset.y(), width, f.label.height());
}

LabelPlace labelPlace(int k, int startLabel, int perSheet) {
    const int at = k + std::clamp(startLabel, 1, std::max(1, perSheet)) - 1;
    return {at / std::max(1, perSheet), at % std::max(1, perSheet)};
}

int labelSheetCount(int labels, int startLabel, int perSheet) {
    if (labels <= 0) {
        return 1;
    }
    return labelPlace(labels - 1, startLabel, perSheet).sheet + 1;
}

LabelLineLayout labelLineLayout(double labelHeight, double lineHeight) {
    constexpr int kLines = 5;
    if (lineHeight <= 0) {
        return {kLabelPadding, 0};
    }
    const double room = labelHeight - 2 * kLabelPadding;
    if (kLines * lineHeight <= room) {
        return {(labelHeight - kLines * lineHeight) / 2, kLines};
    }
    // A hair of tolerance so that a line ending exactly on the padding fits.
    const int fitting = static_cast<int>(std::floor(room / lineHeight + 1e-9));
    return {kLabelPadding, std::clamp(fitting, 0, kLines)};
}

LabelSettings boundedLabelSettings(LabelSettings s) {
    s.format = labelFormatAt(static_cast<int>(s.format));
    s.startLabel = std::clamp(s.startLabel, 1, labelsPerSheet(s.format));
    s.offsetX = std::clamp(s.offsetX, -kMaxLabelOffset, kMaxLabelOffset);
    s.offsetY = std::clamp(s.offsetY, -kMaxLabelOffset, kMaxLabelOffset);
    return s;
}

LabelSettings readLabelSettings(const std::function<QString(const char* name)>& read) {
    LabelSettings s;
    const int index = int(labelFormatNames().indexOf(read("LabelFormat")));
    s.format = labelFormatAt(index);
    double v = 0;
    if (storedNumber(read("LabelStart"), &v)) {
        s.startLabel = static_cast<int>(std::clamp(std::round(v), -1e6, 1e6));
    }
    if (storedNumber(read("LabelOffsetX"), &v)) {
        s.offsetX = v;
    }
    if (storedNumber(read("LabelOffsetY"), &v)) {
        s.offsetY = v;
    }
    return boundedLabelSettings(s);
}

void writeLabelSettings(const LabelSettings& settings,
                        const std::function<void(const char* name, const QString& text)>& write) {
    const LabelSettings s = boundedLabelSettings(settings);
    write("LabelFormat", labelFormatName(s.format));
    write("LabelStart", QString::number(s.startLabel));
    write("LabelOffsetX", QString::number(s.offsetX, 'f', 1));
    write("LabelOffsetY", QString::number(s.offsetY, 'f', 1));
}

}  // namespace pellumar
