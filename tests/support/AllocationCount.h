#ifndef TESTS_SUPPORT_ALLOCATIONCOUNT_H_
#define TESTS_SUPPORT_ALLOCATIONCOUNT_H_

// LiveAllocations: the blocks taken from the global allocation operators
// (every form of operator new) and not yet given back. The test executable
// replaces those operators with counting ones (AllocationCount.cpp), so
// that a test can tell whether what an object allocated went with it, in
// both builds, sanitizer or not.
long LiveAllocations();

#endif  // TESTS_SUPPORT_ALLOCATIONCOUNT_H_
