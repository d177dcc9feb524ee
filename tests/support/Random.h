// Seeded generators of hostile input, shared by every test that feeds random
// or malformed data. The seed is printed by the test on failure so a run can
// be repeated.
#pragma once
#include "core/String.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

class Random {
public:
    explicit Random(uint32_t seed) : m_engine(seed) {}

    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_engine); }
    bool Chance(int percent) { return Int(0, 99) < percent; }
    template <typename T>
    const T& Pick(const std::vector<T>& items) { return items[static_cast<size_t>(Int(0, static_cast<int>(items.size()) - 1))]; }

    // Units drawn from an alphabet (each unit of the string one member).
    CString FromAlphabet(const CString& alphabet, int minLength, int maxLength);
    // Any UTF-16 units but zero: controls, surrogates (paired or not), non-ASCII.
    CString AnyWide(int minLength, int maxLength);
    // Any bytes, zero included.
    std::string AnyBytes(int minLength, int maxLength);
    // Text a web page could put in a title, address or form value: markup,
    // quotes, the system's own delimiters, long runs, controls and non-ASCII.
    CString HostileText(int maxLength);

    // A damaged copy of a valid binary block: cut short, bytes flipped, or a 32-bit field
    // overwritten with a hostile length (negative, huge, just past the end).
    std::string Damaged(const std::string& valid);

    std::mt19937& Engine() { return m_engine; }

private:
    std::mt19937 m_engine;
};
