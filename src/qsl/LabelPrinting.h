#pragma once
// Labels painted on paper: the printer, the PDF file and the preview share this code, so what
// is seen is what is printed.
#include "LabelSheet.h"
#include "QslLabels.h"
#include <QImage>

class QPagedPaintDevice;
class QPainter;

// One label's text within `rect` (device units), `perMm` device units to the millimetre.
void paintLabel(QPainter &painter, const QRectF &rect, double perMm, const QslLabel &label);

// Every label on the device, a sheet per page; the device's page size is set from the sheet and
// its origin must be the paper's corner (no margins). False when nothing could be painted.
bool printLabels(QPagedPaintDevice &device, const LabelSheet &sheet, int start, const std::vector<QslLabel> &labels);

// The first sheet as an image `width` pixels wide, with the outline of every label on it.
QImage previewSheet(const LabelSheet &sheet, int start, const std::vector<QslLabel> &labels, int width);
