#pragma once
// A frequency in Hz as the entry form's "Frecuencia" shows it: MHz with a decimal point and at
// least three decimals, zeros beyond the third cut (14074000 -> "14.074", 14074512 ->
// "14.074512"), the form the band table and the ADIF export read.
#include <QString>

QString formFrequency(quint64 hz);
