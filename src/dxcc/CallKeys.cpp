#include "CallKeys.h"
#include <QString>
#include <cstring>

std::string_view CallKeys::normalize(std::string_view cell, std::string &buffer)
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

uint64_t CallKeys::hash(std::string_view key)
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
    uint64_t tail = 0;
    std::memcpy(&tail, key.data() + i, key.size() - i);
    h = (h ^ tail) * 0x94D049BB133111EBull;
    return h ^ (h >> 29);
}

void CallKeys::clear()
{
    m_bytes.clear();
    m_offsets.assign(1, 0);
    m_slots.clear();
    m_slotHashes.clear();
}

std::string_view CallKeys::key(uint32_t id) const
{
    return std::string_view(m_bytes).substr(m_offsets[id], m_offsets[id + 1] - m_offsets[id]);
}

uint32_t CallKeys::find(std::string_view key) const
{
    if (m_slots.empty())
        return kNone;
    const uint64_t h = hash(key);
    const size_t mask = m_slots.size() - 1;
    for (size_t i = size_t(h) & mask;; i = (i + 1) & mask) {
        const uint32_t id = m_slots[i];
        if (id == kNone)
            return kNone;
        if (m_slotHashes[i] == uint32_t(h >> 32) && this->key(id) == key)
            return id;
    }
}

void CallKeys::grow()
{
    const size_t capacity = std::max<size_t>(1024, m_slots.size() * 2);
    m_slots.assign(capacity, kNone);
    m_slotHashes.assign(capacity, 0);
    const size_t mask = capacity - 1;
    for (uint32_t id = 0; id < size(); ++id) {
        const uint64_t h = hash(key(id));
        size_t i = size_t(h) & mask;
        while (m_slots[i] != kNone)
            i = (i + 1) & mask;
        m_slots[i] = id;
        m_slotHashes[i] = uint32_t(h >> 32);
    }
}

uint32_t CallKeys::insert(std::string_view key)
{
    if ((size() + 1) * 2 > m_slots.size())
        grow();
    const uint64_t h = hash(key);
    const size_t mask = m_slots.size() - 1;
    size_t i = size_t(h) & mask;
    for (;; i = (i + 1) & mask) {
        const uint32_t id = m_slots[i];
        if (id == kNone)
            break;
        if (m_slotHashes[i] == uint32_t(h >> 32) && this->key(id) == key)
            return id;
    }
    const uint32_t id = size();
    m_bytes.append(key);
    m_offsets.push_back(uint32_t(m_bytes.size()));
    m_slots[i] = id;
    m_slotHashes[i] = uint32_t(h >> 32);
    return id;
}
