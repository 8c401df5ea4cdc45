#pragma once
// A vector of plain items (no constructors, copied as bytes) in memory of malloc's: growing
// and shrinking a large one goes through realloc, which moves the pages of a big block
// instead of copying its bytes, and gives back the end of one in place.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

template <typename T>
class PlainVector
{
    static_assert(std::is_trivially_copyable_v<T>);

public:
    PlainVector() = default;
    PlainVector(const PlainVector &) = delete;
    PlainVector &operator=(const PlainVector &) = delete;
    PlainVector(PlainVector &&other) noexcept { swap(other); }
    PlainVector &operator=(PlainVector &&other) noexcept
    {
        PlainVector gone(std::move(*this));
        swap(other);
        return *this;
    }
    ~PlainVector() { std::free(m_data); }

    size_t size() const { return m_size; }
    size_t capacity() const { return m_capacity; }
    bool empty() const { return m_size == 0; }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    T *begin() { return m_data; }
    T *end() { return m_data + m_size; }
    const T *begin() const { return m_data; }
    const T *end() const { return m_data + m_size; }
    T &operator[](size_t i) { return m_data[i]; }
    const T &operator[](size_t i) const { return m_data[i]; }
    T &back() { return m_data[m_size - 1]; }

    void swap(PlainVector &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
        std::swap(m_capacity, other.m_capacity);
    }

    void reserve(size_t n)
    {
        if (n > m_capacity)
            setCapacity(n);
    }
    // Room for exactly `n` items (at least as many as there are).
    void shrinkTo(size_t n)
    {
        n = std::max(n, m_size);
        if (n < m_capacity)
            setCapacity(n);
    }
    void shrink_to_fit() { shrinkTo(m_size); }

    void push_back(const T &item)
    {
        if (m_size == m_capacity)
            grow(m_size + 1);
        m_data[m_size++] = item;
    }
    void pop_back() { --m_size; }
    void clear() { m_size = 0; }
    void resize(size_t n, const T &item)
    {
        if (n > m_capacity)
            grow(n);
        std::fill(m_data + std::min(n, m_size), m_data + n, item);
        m_size = n;
    }
    void resize(size_t n) { resize(n, T{}); }

    T *insert(T *at, const T &item) { return insert(at, &item, &item + 1); }
    // [first, last) must not lie in this vector.
    T *insert(T *at, const T *first, const T *last)
    {
        const size_t i = size_t(at - m_data), n = size_t(last - first);
        if (n == 0)
            return m_data + i;
        if (m_size + n > m_capacity)
            grow(m_size + n);
        std::memmove(m_data + i + n, m_data + i, (m_size - i) * sizeof(T));
        std::memcpy(m_data + i, first, n * sizeof(T));
        m_size += n;
        return m_data + i;
    }
    T *erase(T *at)
    {
        const size_t i = size_t(at - m_data);
        std::memmove(m_data + i, m_data + i + 1, (m_size - i - 1) * sizeof(T));
        --m_size;
        return m_data + i;
    }

private:
    void grow(size_t needed) { setCapacity(std::max(needed, m_capacity * 2)); }
    void setCapacity(size_t n)
    {
        if (n == 0) {
            std::free(m_data);
            m_data = nullptr;
            m_capacity = 0;
            return;
        }
        if (n > size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        void *p = std::realloc(m_data, n * sizeof(T));
        if (!p)
            throw std::bad_alloc();
        m_data = static_cast<T *>(p);
        m_capacity = n;
    }

    T *m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};
