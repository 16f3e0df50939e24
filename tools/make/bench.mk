# `make bench`: times the library against what a user would pick instead and
# prints one table (also written into docs/benchmarks.md). A Release build
# without sanitizers of its own, in BENCH_DIR. Deliberately not one of
# TEST_SUITES: a timing is no test. BENCH_ARGS go to the benchmark binary,
# e.g. BENCH_ARGS=--benchmark_filter=search for one family.
BENCH_DIR  ?= build/bench
BENCH_ARGS ?=

.PHONY: bench

bench: deps
	cmake --preset bench -B $(BENCH_DIR)
	cmake --build $(BENCH_DIR) -j $(JOBS) --target textstring_bench
	python3 tools/bench_table.py --doc docs/benchmarks.md \
	  $(BENCH_DIR)/bench/textstring_bench $(BENCH_ARGS)

# `make bench-startup`: setup.exe's time from start to exit under Wine against
# bare-launcher.exe (tests/e2e/BareLauncher.cpp), alternating, STARTUP_RUNS
# runs each; then the pinned test release's setup.exe against the unpinned
# one with the same package. The medians and ratios also go into
# docs/benchmarks.md.
STARTUP_RUNS ?= 25

.PHONY: bench-startup

bench-startup: windows
	python3 tools/bench-startup.py --doc docs/benchmarks.md --runs $(STARTUP_RUNS) \
	  --wine-run $(WINDOWS_DIR)/wine-run.sh --prefix $(WINDOWS_DIR)/wineprefix \
	  --driver $(WINDOWS_DIR)/tests/e2e/setup-driver.exe \
	  --setup $(WINDOWS_DIR)/AdminExe/setup.exe \
	  --bare $(WINDOWS_DIR)/tests/e2e/bare-launcher.exe \
	  --library $(WINDOWS_DIR)/tests/e2e/e2e-recording.dll \
	  --pinned-release $(WINDOWS_DIR)/tests/e2e/pinned-release \
	  --standin $(WINDOWS_DIR)/tests/e2e/e2e-system-standin.dll
