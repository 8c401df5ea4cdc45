#pragma once
// What a DX cluster sends: a telnet stream of lines, some of them spots in the form every node
// software shares,
//   DX de EA4XYZ:     14025.0  K1ABC        CW 599 up 2              1234Z
//   DX de W3LPL-#:    7074.0  JA1XYZ       FT8 -12 dB                     2359Z PM95
// (frequency in kHz, spotter, call spotted, comment, UTC time, maybe a locator). Bytes in,
// lines out; a line in, a spot or nothing out. Memory stays bounded whatever arrives.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

struct Spot
{
    qint64 hertz = 0;
    QString spotter, call, comment;
    QString time;                       // "12:34", UTC
    QString locator;                    // empty when the node sends none
};

// A spot line read; false when the line is no well-formed spot (or its frequency lies in no
// band: nobody can work it from the log).
bool readSpot(QStringView line, Spot &spot);

// The form's word for a spot's mode: its comment's first mode word ("FT8" -> "DIGIMODOS",
// "CW", "USB" -> "SSB"), else what the band plan keeps the part of the band it is in for (CW
// at the foot of each band from 160 to 6 m, the data modes above, phone above those). Empty
// where neither says anything (60 m, above 6 m).
QString spotFormMode(const Spot &spot);

// A login prompt ("login:", "Please enter your call:", any case), whole or still without its
// line end.
bool isLoginPrompt(QStringView text);

class TelnetLines
{
public:
    static constexpr qsizetype kMaxLine = 512;  // longer lines are cut there

    // Whole lines, CR LF or LF ended, each read as UTF-8 when it is that, else as Latin-1.
    // Telnet commands (IAC ...) are skipped, other control characters dropped.
    void add(QByteArrayView bytes, QStringList &lines);
    QString pending() const { return decode(m_line); } // the line so far (a prompt has no end)
    QString takePending();                      // the line so far as a whole one, answered
    void clear();

private:
    static QString decode(const QByteArray &bytes);
    enum class Telnet { Text, Command, Option, Sub, SubCommand };
    Telnet m_telnet = Telnet::Text;
    QByteArray m_line;
    bool m_cut = false;                         // the line grew past kMaxLine
};
