#pragma once
// Call signs as keys: the text a call sign cell is looked up by, and its hash.
#include <cstdint>
#include <string>
#include <string_view>

namespace callkey {

// The key of a call sign cell: blanks around it dropped, letters in capitals.
std::string_view normalize(std::string_view cell, std::string &buffer);

// A 64-bit hash of a key. Two call signs with one hash would only share a line in the
// statistics; lookups compare the text.
uint64_t hash(std::string_view key);

} // namespace callkey
