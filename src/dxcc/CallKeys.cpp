#include "CallKeys.h"
#include <QString>
#include <cstring>

namespace callkey {

std::string_view normalize(std::string_view cell, std::string &buffer)
{
    while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t'))
        cell.remove_prefix(1);
    while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t'))
        cell.remove_suffix(1);
    bool plain = true;
    bool lower = false;
    for (char c : cell) {
        plain = plain && static_cast<unsigned char>(c) < 0x80;
        lower = lower || (c >= 'a' && c <= 'z');
    }
    if (!plain) {
        buffer = QString::fromUtf8(cell.data(), qsizetype(cell.size())).toUpper().toStdString();
        return buffer;
    }
    if (!lower)
        return cell;
    buffer.assign(cell);
    for (char &c : buffer)
        c = c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
    return buffer;
}

uint64_t hash(std::string_view key)
{
    // Eight bytes at a time, each word mixed in with a multiply: call signs are short.
    uint64_t h = 0x9E3779B97F4A7C15ull ^ key.size();
    size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
        uint64_t w;
        std::memcpy(&w, key.data() + i, 8);
        h = (h ^ w) * 0xBF58476D1CE4E5B9ull;
        h ^= h >> 31;
    }
    // A multiply by an odd number and a shift XORed in can both be undone, so one word goes
    // through without collisions: a key of eight bytes is the word of the loop, one of up to
    // seven this word, where its size (below 8) changes the lowest three bits only and a longer
    // key has a byte other than 0 where a shorter one has 0 (control characters aside). Hence
    // exactClass().
    uint64_t tail = 0;
    std::memcpy(&tail, key.data() + i, key.size() - i);
    h = (h ^ tail) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

} // namespace callkey
