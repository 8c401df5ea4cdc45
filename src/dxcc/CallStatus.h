#pragma once
// The line the status bar shows while a call sign is typed: its entity (name, prefix, CQ zone,
// continent), how often the call is in the log with the date, band and mode of the latest
// contact, and whether the entity, or the band or mode of the entry form, would be new.
#include "adif/ModeTable.h"
#include <QString>

class CallIndex;
class GridModel;

// What the log still needs of an entity on a band (-1: none) and in a class of mode: the one
// rule behind the status bar's line and the marks of the cluster's spots.
enum class EntityNeed { NewEntity, NewBandAndMode, NewBand, NewMode, Worked };
EntityNeed entityNeed(CallIndex &index, int entity, int band, ModeClass mode);

QString callStatus(CallIndex &index, const GridModel &table, const QString &call, const QString &frequency,
                   const QString &mode);

// "40m" as the window shows it: "40 m".
QString bandLabel(int band);
