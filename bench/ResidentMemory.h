#pragma once
// Resident memory of the benchmark process, for the counters of benchmarks that hold a
// table: the growth while a table is built and held, and the highest point reached meanwhile.
// Linux only (/proc/self); elsewhere the figures read as zero and the peak as unknown.
#include <cstdio>
#include <cstddef>
#include <unistd.h>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace benchmem {

inline constexpr double kMB = 1024.0 * 1024.0;

// Resident bytes now. Free heap pages are handed back first: memory that an earlier
// benchmark freed but the allocator kept would otherwise be reused unseen and make a growth
// look smaller than it is.
inline size_t residentBytes()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
    long pages = 0, resident = 0;
    if (FILE *f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return size_t(resident) * size_t(sysconf(_SC_PAGESIZE));
}

// The resident high-water mark (VmHWM) since the process started or resetPeak().
inline size_t peakBytes()
{
    size_t kb = 0;
    if (FILE *f = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "VmHWM: %zu kB", &kb) == 1)
                break;
        std::fclose(f);
    }
    return kb * 1024;
}

// Lowers the high-water mark to the present resident size. False where the kernel does not
// allow it, and then a peak read later covers the whole process life: worthless.
inline bool resetPeak()
{
    FILE *f = std::fopen("/proc/self/clear_refs", "w");
    if (!f)
        return false;
    const bool written = std::fputs("5", f) >= 0;
    return std::fclose(f) == 0 && written;
}

// Growth from the moment it is made: make it just before building what is measured.
class Growth
{
public:
    Growth() : m_before(residentBytes()), m_peakKnown(resetPeak()) {}

    // Resident growth now, in MB (never below zero).
    double mb() const { return megabytes(residentBytes()); }
    // The highest growth since the start, in MB; negative when it cannot be known.
    double peakMB() const { return m_peakKnown ? megabytes(peakBytes()) : -1.0; }

private:
    double megabytes(size_t now) const { return now > m_before ? double(now - m_before) / kMB : 0.0; }
    size_t m_before;
    bool m_peakKnown;
};

} // namespace benchmem
