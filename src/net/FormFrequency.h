#pragma once
// What the entry form's "Frecuencia" and "Modo" show for a frequency and a mode that come from
// outside (the radio, a cluster spot, the digital-mode program), and back again for tuning.
#include <QString>
#include <QStringView>
#include <string>

// MHz with a decimal point and at least three decimals, zeros beyond the third cut:
// 14074000 Hz -> "14.074", 14074512 -> "14.074512", 145500000 -> "145.500". Empty for no
// frequency (zero or below). The band table and the ADIF export read this form.
QString formFrequency(qint64 hertz);
std::string formFrequencyUtf8(qint64 hertz);

// The combo's word for a mode as hamlib names it: USB, LSB -> "SSB"; CW, CWR -> "CW"; FM,
// WFM -> "FM"; AM, SAM -> "AM"; RTTY, PKTUSB and the other data modes -> "DIGIMODOS". Digital
// voice keeps its ADIF name ("DSTAR", "C4FM"). Empty for a mode that says nothing to the log
// (IQ, a spectrum-only mode, an unknown name): the form's mode is then left as it is.
QString formModeOfRig(QStringView hamlibMode);

// The combo's word for a mode written in a spot's comment or by a program ("FT8", "usb",
// "PSK31"); empty when the word names no mode.
QString formModeOfWord(QStringView word);

// The hamlib mode to tune the radio to for the form's mode at a frequency: "SSB" is LSB below
// 10 MHz (except on 60 m) and USB above; "DIGIMODOS" is PKTUSB. Empty when there is none.
QString rigModeOfForm(QStringView formMode, qint64 hertz);
