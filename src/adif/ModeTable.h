#pragma once
// Modes as operators type them, to the ADIF Mode and Submode enumerations, and the class of
// a mode for the worked-entities statistics.
#include <QStringView>
#include <algorithm>
#include <string>
#include <string_view>

enum class ModeClass { Phone, Cw, Digital, Unknown };
// SSB, USB, LSB, AM, FM and digital voice are Phone; CW is Cw; every ADIF data mode and the
// combo's "DIGIMODOS" are Digital; anything else is Unknown. Case does not matter.
ModeClass modeClassOf(QStringView modeText);
ModeClass modeClassOf(std::string_view utf8);

// The class of each mode text met lately, kept: a log or a file has few modes, and looking
// one up costs more than comparing a few texts.
template<ModeClass (*Classify)(std::string_view)>
class RecentModes
{
public:
    ModeClass of(std::string_view text)
    {
        // Only the slots filled so far: an unused one would pass for the empty mode.
        const unsigned filled = std::min<unsigned>(m_next, kSlots);
        for (unsigned i = 0; i < filled; ++i) {
            if (m_texts[i] == text)
                return m_classes[i];
        }
        const unsigned slot = m_next++ % kSlots;
        m_texts[slot].assign(text);
        m_classes[slot] = Classify(text);
        return m_classes[slot];
    }

private:
    static constexpr unsigned kSlots = 8;
    std::string m_texts[kSlots];
    ModeClass m_classes[kSlots] = {};
    unsigned m_next = 0;
};

namespace adif {

// The standard MODE and SUBMODE for a typed mode (SUBMODE empty when the mode has none);
// false when the text names no ADIF mode. The views are static.
bool standardMode(std::string_view typed, std::string_view &mode, std::string_view &submode);

} // namespace adif
