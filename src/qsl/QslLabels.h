#pragma once
// The cards still to send through the bureau, as labels: the contacts whose "Enviada" is "NO"
// and whose route is the bureau or a QSL manager, grouped by the DXCC entity the card travels
// to (the manager's for a manager route) and sorted by call sign within it, as the bureaus ask.
#include "ContactClock.h"
#include <QString>
#include <QStringList>
#include <vector>

class CallResolver;
class GridModel;

struct QslLabel
{
    int row = 0;                   // grid row of the contact
    QString to, via;               // the call sign; the manager's, or empty
    QString date, time;            // UTC: "12-Feb-2001", "01:52"; as typed when unreadable
    QString band, mode, rst;
    bool received = false;         // the other station's card came already
    QString thanks() const;        // "TNX QSL" or "PSE QSL TNX"
};

std::vector<QslLabel> labelsToSend(const GridModel &table, const CallResolver *resolver, const ContactClock &clock);

// "12-Feb-2001": the day, the English month abbreviation and the year, as cards write dates.
QString cardDate(int year, int month, int day);
