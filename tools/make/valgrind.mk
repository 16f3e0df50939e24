# Valgrind's memcheck over the native unit tests, in a build without the
# sanitizers (they and Valgrind cannot share a process): no invalid read or
# write, no use of uninitialised memory, and no leak of memory that nothing
# points to any more. Part of `make test`.
VALGRIND_DIR ?= build/valgrind
# nouserintercepts: the tests' own allocation functions (which make memory
# run out on purpose) stay theirs; Valgrind still watches the allocations
# they pass on.
VALGRIND_FLAGS = --error-exitcode=1 --leak-check=full \
  --errors-for-leak-kinds=definite,indirect --show-leak-kinds=definite,indirect \
  --soname-synonyms=somalloc=nouserintercepts -q

TEST_SUITES += test-valgrind

.PHONY: valgrind-build test-valgrind

valgrind-build: deps
	cmake --preset valgrind -B $(VALGRIND_DIR)
	cmake --build $(VALGRIND_DIR) -j $(JOBS)

# One process for all the tests: Valgrind's start-up costs more than most
# tests. The tests find their test libraries beside the executable.
test-valgrind: valgrind-build
	cd $(VALGRIND_DIR)/tests && valgrind $(VALGRIND_FLAGS) ./textstring_tests --gtest_brief=1
