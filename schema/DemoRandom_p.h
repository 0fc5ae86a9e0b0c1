// DemoRandom: the demo generator's own pseudo-random numbers, so that a seed gives the same data on every
// machine and library version (the standard library's distributions may differ between versions).
//
// Two tools: a xoshiro256** stream for sequences drawn in a fixed order (seeded through splitmix64), and
// demoHash for values that must not depend on the order of generation: the overtime of one contract in
// one payroll run is a function of (seed, contract, date, concept) alone, so adding employees or
// reordering loops leaves every other value unchanged.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

inline std::uint64_t splitmix64(std::uint64_t& state) {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// A well-mixed 64-bit hash of a tuple of integers.
inline std::uint64_t demoHash(std::initializer_list<std::uint64_t> parts) {
    std::uint64_t state = 0x6A09E667F3BCC908ULL;
    std::uint64_t h = 0;
    for (std::uint64_t part : parts) {
        state ^= part;
        h = splitmix64(state);
    }
    return h;
}

// Uniform in [0, 1) from a hash.
inline double demoUnit(std::uint64_t h) {
    return double(h >> 11) * 0x1.0p-53;
}

class DemoRandom {
public:
    explicit DemoRandom(std::uint64_t seed) {
        std::uint64_t state = seed;
        for (auto& word : m_s)
            word = splitmix64(state);
    }

    std::uint64_t next() {
        const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const std::uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }

    // Uniform in [0, 1).
    double unit() { return demoUnit(next()); }

    // Uniform integer in [lo, hi], both included (lo <= hi).
    int between(int lo, int hi) { return lo + int(next() % std::uint64_t(hi - lo + 1)); }

    bool chance(double probability) { return unit() < probability; }

    template <typename T> const T& pick(const std::vector<T>& items) {
        return items[std::size_t(next() % items.size())];
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t m_s[4];
};
