#pragma once
// Which DXCC entity a call sign belongs to, from the country file cty.csv: one line per entity
// (primary prefix, name, DXCC number, continent, CQ zone, ITU zone, latitude, longitude, UTC
// offset, then its prefixes and whole call signs, ended by ';'). QtCore only.
//
// A call sign resolves by these rules:
// - letter case and blanks around it do not matter;
// - a whole call sign listed as `=CALL` wins over any prefix, otherwise the longest listed
//   prefix the call starts with;
// - /P, /M, /QRP, /A, /B and a lone call-area digit (/4) do not change the entity; a whole call
//   listed with such a suffix still wins, since whole calls are looked up first;
// - /MM and /AM (maritime and aeronautical mobile) have no entity;
// - PREFIX/CALL and CALL/PREFIX resolve by the part that is a prefix: the shortest part with a
//   listed prefix (EA8/DL1ABC and DL1ABC/EA8 are both Canary Islands).
#include "dxcc/CallTables.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <memory>
#include <string_view>
#include <vector>

struct CountryEntity
{
    QString prefix;        // the primary prefix as the file writes it, e.g. "EA8" or "3D2/c"
    QString name;
    int dxcc = 0;
    QString continent;     // AF, AN, AS, EU, NA, OC or SA
    int cqZone = 0;
    int ituZone = 0;
};

struct CallEntity                   // what a call sign resolves to
{
    int entity = -1;                // index into CallResolver::entities(), -1 for none
    int cqZone = 0, ituZone = 0;    // after the entry's overrides
    char continent[3] = {};         // after the entry's overrides, e.g. "SA"
    bool found() const { return entity >= 0; }
};

class CallResolver;

struct CountryFileRead
{
    bool ok = false;
    QString error;          // set when !ok: a Spanish sentence naming the file and the line
    qint64 line = 0;        // the line at fault, 0 when it is not one line's fault
    std::shared_ptr<const CallResolver> resolver;   // set only when ok
};

class CallResolver
{
public:
    // The whole file or nothing: a malformed line refuses the file. Lines whose primary prefix
    // starts with '*' (areas that are not DXCC entities) are skipped unread. `shownName` is
    // the name used in messages (the path when empty).
    static CountryFileRead read(const QString &path, const QString &shownName = QString());
    static CountryFileRead fromBytes(const QByteArray &bytes, const QString &shownName);

    // Text longer than kMaxCallLength characters is no call sign and resolves to nothing.
    CallEntity resolve(QStringView call) const;
    CallEntity resolve(std::string_view utf8Call) const;  // hot path: no heap allocation per call
    const std::vector<CountryEntity> &entities() const { return m_entities; }

    static constexpr int kMaxCallLength = 64;

private:
    CallResolver() = default;
    CallEntity resolveNormalized(const char *call, size_t size) const;
    CallEntity entityOf(const CallData &data) const;

    std::vector<CountryEntity> m_entities;
    PrefixTrie m_prefixes;
    WholeCallTable m_wholeCalls;
};

// The country file to use: cty.csv in `workingFolder` in any letter case, so a user can drop
// in a newer one; otherwise the one installed with the program. Empty when there is neither.
QString findCountryFile(const QString &workingFolder);
// The folder the installed program keeps its data in (the country file, the DXCC list).
QString installedDataFolder();
