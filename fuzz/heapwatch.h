#pragma once

// The most heap memory that the code under test held at once since the watch was made, counted
// through the sanitizer allocator's hooks. Without a sanitizer there are no hooks: available()
// is false and nothing is counted.
class HeapWatch {
public:
    HeapWatch();

    static bool available();
    // Bytes at the highest point above what was held when the watch was made.
    long long peakGrowth() const;

private:
    long long m_start;
};
