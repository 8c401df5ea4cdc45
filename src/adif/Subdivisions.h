#pragma once
// Codes of the ADIF Primary Administrative Subdivision enumeration (the STATE field) for the
// DXCC entities whose operators use this program most.
#include <string_view>

namespace adif {

// True when `code` is, letter for letter, a subdivision code of DXCC entity `dxcc`.
bool isSubdivisionCode(int dxcc, std::string_view code);

} // namespace adif
