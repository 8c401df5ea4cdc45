#pragma once
// Call signs as keys: the text a call sign cell is looked up by, and its hash.
#include <cstdint>
#include <string>
#include <string_view>

namespace callkey {

// The key of a call sign cell: blanks around it dropped, letters in capitals.
std::string_view normalize(std::string_view cell, std::string &buffer);

// A 64-bit hash of a key. Two call signs with one hash would only share a line in the
// statistics; lookups compare the text, unless both keys are of one exact class (below).
uint64_t hash(std::string_view key);

// Keys hash() gives a hash of their own within their class: up to seven bytes none of which is
// a control character (1), or exactly eight bytes (2); any other key is of class 0. Two keys of
// one class other than 0 share a hash only when they are the same key, so lookups need not read
// their text. Nearly all call signs are such keys.
inline uint8_t exactClass(std::string_view key)
{
    if (key.size() == 8)
        return 2;
    if (key.size() > 8)
        return 0;
    for (char c : key) {
        if (static_cast<unsigned char>(c) < 0x20)
            return 0;
    }
    return 1;
}

} // namespace callkey
