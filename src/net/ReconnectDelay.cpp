#include "ReconnectDelay.h"
#include <algorithm>

ReconnectDelay::ms ReconnectDelay::next()
{
    const int doublings = std::min(m_failures, 16);
    ++m_failures;
    return std::min(m_ceiling, ms(m_first.count() << doublings));
}
