#include "QslLabels.h"
#include "adif/AdifFields.h"
#include "adif/BandTable.h"
#include "adif/ContactMapping.h"
#include "common/GridModel.h"
#include "dxcc/CallResolver.h"
#include <algorithm>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

using adif::Column;

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size())).trimmed();
}

} // namespace

QString QslLabel::thanks() const
{
    return received ? u"TNX QSL"_s : u"PSE QSL TNX"_s;
}

QString cardDate(int year, int month, int day)
{
    static const char *const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    if (month < 1 || month > 12)
        return {};
    return QString::asprintf("%02d-%s-%04d", day, kMonths[month - 1], year);
}

std::vector<QslLabel> labelsToSend(const GridModel &table, const CallResolver *resolver, const ContactClock &clock)
{
    struct Sorted
    {
        std::tuple<bool, QString, int, QString, int64_t, int> key; // no entity last, prefix, entity, call, time
        QslLabel label;
    };
    std::vector<Sorted> found;
    const GridStore &store = table.store();
    std::string_view cells[adif::kColumns];
    for (int row = 1; row < table.Rows(); ++row) {
        store.rowCells(row, cells);
        const std::string_view route = cells[Column::Route];
        const bool bureau = adif::sameLetters(route, "BURO"), manager = adif::sameLetters(route, "MANAGER") || adif::looksLikeCall(route);
        if (!adif::sameLetters(cells[Column::Sent], "NO") || !(bureau || manager))
            continue;
        QslLabel label;
        label.row = row;
        label.to = text(cells[Column::Call]);
        label.via = adif::looksLikeCall(route) ? text(route).toUpper() : QString();
        label.received = adif::sameLetters(cells[Column::Received], "SI");
        label.rst = text(cells[Column::Rst]);
        label.mode = text(cells[Column::Mode]);
        const int band = bandOfFrequency(cells[Column::Frequency]);
        label.band = band >= 0 ? bandName(band) : text(cells[Column::Frequency]);
        int64_t at = 0;
        if (clock.utcOf(cells[Column::Date], cells[Column::Time], at)) {
            adif::Day day;
            adif::TypedTime time;
            dayOf(at, day, time);
            label.date = cardDate(day.year, day.month, day.day);
            label.time = QString::asprintf("%02d:%02d", time.hour, time.minute);
        } else {
            label.date = text(cells[Column::Date]);
            label.time = text(cells[Column::Time]);
        }
        // The card goes to the bureau of whoever receives it.
        const QString receiver = label.via.isEmpty() ? label.to : label.via;
        const CallEntity entity = resolver ? resolver->resolve(QStringView(receiver)) : CallEntity();
        const QString prefix = entity.found() ? resolver->entities().at(size_t(entity.entity)).prefix : QString();
        found.push_back({{!entity.found(), prefix, entity.entity, receiver.toUpper(), at, row}, std::move(label)});
    }
    std::stable_sort(found.begin(), found.end(), [](const Sorted &a, const Sorted &b) { return a.key < b.key; });
    std::vector<QslLabel> labels;
    labels.reserve(found.size());
    for (Sorted &s : found)
        labels.push_back(std::move(s.label));
    return labels;
}
