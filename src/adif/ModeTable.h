#pragma once
// Modes as operators type them, to the ADIF Mode and Submode enumerations, and the class of
// a mode for the worked-entities statistics.
#include <QStringView>
#include <string_view>

enum class ModeClass { Phone, Cw, Digital, Unknown };
// SSB, USB, LSB, AM, FM and digital voice are Phone; CW is Cw; every ADIF data mode and the
// combo's "DIGIMODOS" are Digital; anything else is Unknown. Case does not matter.
ModeClass modeClassOf(QStringView modeText);
ModeClass modeClassOf(std::string_view utf8);

namespace adif {

// The standard MODE and SUBMODE for a typed mode (SUBMODE empty when the mode has none);
// false when the text names no ADIF mode. The views are static.
bool standardMode(std::string_view typed, std::string_view &mode, std::string_view &submode);

} // namespace adif
