#include "LabelPrinting.h"
#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QFont labelFont(double perMm, double heightMm, bool bold = false)
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(std::max(1, int(heightMm * perMm + 0.5)));
    font.setBold(bold);
    return font;
}

void paintPlaces(QPainter &painter, double perMm, const std::vector<LabelPlace> &places,
                 const std::vector<QslLabel> &labels, size_t from, int page)
{
    for (size_t i = from; i < places.size() && places[i].page == page; ++i) {
        const QRectF &mm = places[i].rect;
        paintLabel(painter, QRectF(mm.x() * perMm, mm.y() * perMm, mm.width() * perMm, mm.height() * perMm), perMm,
                   labels[i]);
    }
}

} // namespace

void paintLabel(QPainter &painter, const QRectF &rect, double perMm, const QslLabel &label)
{
    // Printers do not reach the very edge of a label: 3 mm of it stay blank.
    const QRectF area = rect.adjusted(3 * perMm, 3 * perMm, -3 * perMm, -2 * perMm);
    const double line = std::min(area.height() / 5.2, 5.5 * perMm); // five lines, never crowded
    painter.save();
    painter.setClipRect(rect);
    painter.setPen(Qt::black);
    double y = area.top() + (area.height() - 5 * line) / 2;
    const auto write = [&](const QString &text, const QFont &font, double x, double width, int align) {
        painter.setFont(font);
        painter.drawText(QRectF(x, y, width, line), align | Qt::AlignVCenter, text);
    };
    write(u"To: "_s + label.to, labelFont(perMm, line * 0.78 / perMm, true), area.left(), area.width(), Qt::AlignLeft);
    y += line;
    if (!label.via.isEmpty())
        write(u"via "_s + label.via, labelFont(perMm, line * 0.62 / perMm), area.left(), area.width(), Qt::AlignLeft);
    y += line;
    // Date, time, band, mode and report in columns: headings, then the values.
    const QString headings[] = {u"Date"_s, u"UTC"_s, u"Band"_s, u"Mode"_s, u"RST"_s};
    const QString values[] = {label.date, label.time, label.band, label.mode, label.rst};
    const double widths[] = {0.33, 0.15, 0.15, 0.23, 0.14};
    const QFont small = labelFont(perMm, line * 0.45 / perMm), value = labelFont(perMm, line * 0.5 / perMm);
    for (const auto *row : {headings, values}) {
        double x = area.left();
        for (int c = 0; c < 5; ++c) {
            write(row[c], row == headings ? small : value, x, area.width() * widths[c], Qt::AlignLeft);
            x += area.width() * widths[c];
        }
        y += line;
    }
    write(label.thanks(), labelFont(perMm, line * 0.6 / perMm, true), area.left(), area.width(), Qt::AlignRight);
    painter.restore();
}

bool printLabels(QPagedPaintDevice &device, const LabelSheet &sheet, int start, const std::vector<QslLabel> &labels)
{
    device.setPageSize(QPageSize(sheet.page));
    device.setPageMargins(QMarginsF(0, 0, 0, 0));
    QPainter painter;
    if (labels.empty() || !painter.begin(&device))
        return false;
    const double perMm = device.logicalDpiX() / 25.4;
    const std::vector<LabelPlace> places = placeLabels(sheet, int(labels.size()), start);
    size_t from = 0;
    for (int page = 0; from < places.size(); ++page) {
        if (page > 0 && !device.newPage())
            return false;
        paintPlaces(painter, perMm, places, labels, from, page);
        while (from < places.size() && places[from].page == page)
            ++from;
    }
    return painter.end();
}

QImage previewSheet(const LabelSheet &sheet, int start, const std::vector<QslLabel> &labels, int width)
{
    const QSizeF paper = QPageSize(sheet.page).size(QPageSize::Millimeter);
    const double perMm = width / paper.width();
    QImage image(width, int(paper.height() * perMm + 0.5), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0xC0, 0xC0, 0xC0));
    for (const LabelPlace &place : placeLabels(sheet, sheet.perSheet(), 1)) {
        const QRectF &mm = place.rect;
        painter.drawRect(QRectF(mm.x() * perMm, mm.y() * perMm, mm.width() * perMm, mm.height() * perMm));
    }
    paintPlaces(painter, perMm, placeLabels(sheet, int(labels.size()), start), labels, 0, 0);
    return image;
}
