#include "gui/print/LabelPages.h"

#include "core/table/Table.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace pellumar {

using namespace Qt::StringLiterals;

namespace {

constexpr double kOutlineWidth = 12;  // twips: a thin line
constexpr double kNumberPoints = 14;  // the test sheet's label numbers

QRectF toTwips(const QRectF& mm) {
    return QRectF(mm.x() * kTwipsPerMillimetre, mm.y() * kTwipsPerMillimetre,
                  mm.width() * kTwipsPerMillimetre, mm.height() * kTwipsPerMillimetre);
}

// The painter's unit is the twip: a point is 20 of them.
QFont labelFont(const QString& name, double points, bool bold = false) {
    QFont font(name);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 20))));
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setBold(bold);
    return font;
}

}  // namespace

LabelPages::LabelPages(const Table& table, const LabelJob& job)
    : table_(&table),
      job_(job),
      records_(labelRecords(table, job)),
      font_(labelFont(labelFontName(job.format), job.fontSize)),
      lineHeight_(QFontMetricsF(font_).lineSpacing()) {
    job_.startLabel = std::clamp(job_.startLabel, 1, labelsPerSheet(job_.format));
}

LabelPages::LabelPages(LabelFormat format, QPointF offset)
    : font_(labelFont(u"Arial"_s, kNumberPoints, true)) {
    job_.format = format;
    job_.offset = offset;
    lineHeight_ = QFontMetricsF(font_).lineSpacing();
}

int LabelPages::pageCount() const {
    if (!table_) {
        return 1;
    }
    return labelSheetCount(labelCount(), job_.startLabel, labelsPerSheet(job_.format));
}

QSize LabelPages::paperTwips() const {
    const QSizeF paper = labelSheetFigures(job_.format).paper * kTwipsPerMillimetre;
    return QSize(static_cast<int>(std::lround(paper.width())),
                 static_cast<int>(std::lround(paper.height())));
}

QRectF LabelPages::labelRectTwips(int k) const {
    const LabelPlace place = labelPlace(k, job_.startLabel, labelsPerSheet(job_.format));
    return toTwips(labelRect(job_.format, place.slot, job_.offset));
}

QStringList LabelPages::linesOf(int k) const {
    return labelText(*table_, records_[size_t(k)], job_);
}

void LabelPages::paintPage(QPainter& p, int index) const {
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (!table_) {
        paintTestSheet(p);
        p.restore();
        return;
    }
    p.setFont(font_);
    p.setPen(Qt::black);
    const int perSheet = labelsPerSheet(job_.format);
    const int skipped = job_.startLabel - 1;
    const int first = std::max(0, index * perSheet - skipped);
    const int last = std::min(labelCount(), (index + 1) * perSheet - skipped);
    for (int k = first; k < last; ++k) {
        paintLabel(p, labelRectTwips(k), linesOf(k));
    }
    p.restore();
}

void LabelPages::paintLabel(QPainter& p, const QRectF& label, const QStringList& lines) const {
    const double pad = kLabelPadding * kTwipsPerMillimetre;
    const LabelLineLayout layout =
        labelLineLayout(label.height() / kTwipsPerMillimetre, lineHeight_ / kTwipsPerMillimetre);
    const QRectF text = label.adjusted(pad, 0, -pad, 0);
    p.save();
    p.setClipRect(text, Qt::IntersectClip);
    for (int j = 0; j < layout.fitting && j < lines.size(); ++j) {
        if (lines[j].isEmpty()) {
            continue;
        }
        const double top = label.top() + layout.firstTop * kTwipsPerMillimetre + j * lineHeight_;
        p.drawText(QRectF(text.left(), top, text.width() * 4, lineHeight_),
                   Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines[j]);
    }
    p.restore();
}

LabelPages::Fit LabelPages::fit() const {
    Fit fit;
    if (!table_) {
        return fit;
    }
    const QFontMetricsF metrics(font_);
    const double pad = kLabelPadding * kTwipsPerMillimetre;
    for (int k = 0; k < labelCount(); ++k) {
        const QRectF label = labelRectTwips(k);
        const double width = label.width() - 2 * pad;
        const int fitting =
            labelLineLayout(label.height() / kTwipsPerMillimetre, lineHeight_ / kTwipsPerMillimetre)
                .fitting;
        const QStringList lines = linesOf(k);
        for (int j = 0; j < lines.size(); ++j) {
            if (lines[j].isEmpty()) {
                continue;
            }
            if (j >= fitting) {
                ++fit.leftOut;
            } else if (metrics.horizontalAdvance(lines[j]) > width) {
                ++fit.cut;
            }
        }
    }
    return fit;
}

void LabelPages::paintTestSheet(QPainter& p) const {
    const int perSheet = labelsPerSheet(job_.format);
    p.setFont(font_);
    for (int slot = 0; slot < perSheet; ++slot) {
        const QRectF label = toTwips(labelRect(job_.format, slot, job_.offset));
        p.setPen(QPen(Qt::black, kOutlineWidth));
        p.setBrush(Qt::NoBrush);
        p.drawRect(label);
        p.drawText(label, Qt::AlignCenter, QString::number(slot + 1));
    }
    // What the sheet shows, in the top margin.
    const QFont small = labelFont(u"Arial"_s, 8);
    p.setFont(small);
    const QString caption = u"Test sheet \"%1\", offset %2 mm across, %3 mm down"_s.arg(
        labelFormatName(job_.format), QString::number(job_.offset.x(), 'f', 1),
        QString::number(job_.offset.y(), 'f', 1));
    const double top = std::max(0.0, toTwips(labelRect(job_.format, 0, job_.offset)).top());
    p.drawText(QRectF(0, 0, paperTwips().width(), std::max(top, lineHeight_)), Qt::AlignCenter,
               caption);
}

}  // namespace pellumar
