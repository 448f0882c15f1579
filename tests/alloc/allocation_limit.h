// A global operator new that fails on demand, for the out-of-memory tests (which run on one thread).
#pragma once

// Allows n more allocations for as long as it lives (below 0: no limit), and counts what is made.
struct TAllocationLimit {
    explicit TAllocationLimit(long n);
    ~TAllocationLimit();
    TAllocationLimit(const TAllocationLimit&) = delete;
    TAllocationLimit& operator=(const TAllocationLimit&) = delete;
};

// Allocations made since the last limit was set.
long AllocationsMade();
