#pragma once

#include <cstddef>

// Asks the kernel to back a large, still untouched buffer with huge pages
// where it can: a fresh buffer of many megabytes then costs a few page
// faults instead of thousands (the history's store and its file at start-up
// and close). Does nothing where that isn't available.
void AdviseHugePages(const void* data, std::size_t bytes);
