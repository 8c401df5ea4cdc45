#pragma once
// The pause before a client tries its server again: short after the first failure, twice as
// long after each further one, never longer than a ceiling; a success starts it over.
#include <chrono>

class ReconnectDelay
{
public:
    using ms = std::chrono::milliseconds;
    explicit ReconnectDelay(ms first = ms(1000), ms ceiling = ms(30000)) : m_first(first), m_ceiling(ceiling) {}

    ms next();                          // the pause before the next attempt, then grows it
    void reset() { m_failures = 0; }    // connected: the next failure waits the first pause again
    int failures() const { return m_failures; }

private:
    ms m_first, m_ceiling;
    int m_failures = 0;
};
