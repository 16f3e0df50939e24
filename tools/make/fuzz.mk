# Fuzzing with libFuzzer, under AddressSanitizer and UndefinedBehaviorSanitizer,
# in a clang build of its own (FUZZ_DIR). Targets: fuzz/*Fuzzer.cpp.
#
#   make test-fuzz                 each target for FUZZ_TEST_SECONDS (part of `make test`)
#   make fuzz FUZZ_SECONDS=600     each target for as long as asked, one after the other
#   make fuzz-corpus               fold what `make fuzz` found into fuzz/corpus, minimised
#
# The targets never write into fuzz/corpus: test-fuzz starts each run from a
# fresh copy of it, and `make fuzz` grows a working corpus in
# FUZZ_DIR/corpus that later runs go on from. A finding is saved in
# FUZZ_DIR/artifacts and ends the run with an error; rerun it with
# `FUZZ_DIR/fuzz/<target> <file>` (FUZZ_TRACE=1 lists the operations; add
# -detect_leaks=0 to list them once, since libFuzzer now and then runs an
# input a second time to look for leaks).
FUZZ_DIR          ?= build/fuzz
FUZZ_SECONDS      ?= 600
FUZZ_TEST_SECONDS ?= 15
FUZZ_TARGETS      := string_operations command_line
# More libFuzzer flags for both commands, e.g. FUZZ_FLAGS=-seed=1.
FUZZ_FLAGS        ?=

FUZZ_ABS_DIR   = $(abspath $(FUZZ_DIR))
# Inputs up to 4 KiB: long texts come from lengths in the input, not from
# its size. The scratch directory the targets work in is private to each run.
FUZZ_RUN_FLAGS = -max_len=4096 -timeout=300 -print_final_stats=1 $(FUZZ_FLAGS)

# The committed corpus keeps an input per covered edge, not per hit count,
# and none that is slow: a few hundred small files.
FUZZ_MERGE_FLAGS = -max_len=4096 -use_counters=0 -timeout=5

TEST_SUITES += test-fuzz

.PHONY: fuzz-build test-fuzz fuzz fuzz-corpus

fuzz-build: deps
	cmake --preset fuzz -B $(FUZZ_DIR)
	cmake --build $(FUZZ_DIR) -j $(JOBS)

test-fuzz: fuzz-build
	@mkdir -p $(FUZZ_ABS_DIR)/artifacts
	@set -e; for target in $(FUZZ_TARGETS); do \
	  rm -rf $(FUZZ_ABS_DIR)/test-corpus/$$target; \
	  mkdir -p $(FUZZ_ABS_DIR)/test-corpus; \
	  cp -r fuzz/corpus/$$target $(FUZZ_ABS_DIR)/test-corpus/$$target; \
	  echo "test-fuzz: $$target for $(FUZZ_TEST_SECONDS) s"; \
	  $(FUZZ_ABS_DIR)/fuzz/$$target $(FUZZ_RUN_FLAGS) -max_total_time=$(FUZZ_TEST_SECONDS) \
	    -artifact_prefix=$(FUZZ_ABS_DIR)/artifacts/$$target- \
	    $(FUZZ_ABS_DIR)/test-corpus/$$target > $(FUZZ_ABS_DIR)/test-$$target.log 2>&1 || \
	    { tail -60 $(FUZZ_ABS_DIR)/test-$$target.log; exit 1; }; \
	  grep -E 'DONE|^stat::number_of_executed_units' $(FUZZ_ABS_DIR)/test-$$target.log || true; \
	done

fuzz: fuzz-build
	@mkdir -p $(FUZZ_ABS_DIR)/artifacts
	@set -e; for target in $(FUZZ_TARGETS); do \
	  mkdir -p $(FUZZ_ABS_DIR)/corpus/$$target; \
	  cp -n fuzz/corpus/$$target/* $(FUZZ_ABS_DIR)/corpus/$$target/; \
	  echo "fuzz: $$target for $(FUZZ_SECONDS) s (log: $(FUZZ_DIR)/fuzz-$$target.log)"; \
	  $(FUZZ_ABS_DIR)/fuzz/$$target $(FUZZ_RUN_FLAGS) -max_total_time=$(FUZZ_SECONDS) \
	    -artifact_prefix=$(FUZZ_ABS_DIR)/artifacts/$$target- \
	    $(FUZZ_ABS_DIR)/corpus/$$target > $(FUZZ_ABS_DIR)/fuzz-$$target.log 2>&1 || \
	    { tail -60 $(FUZZ_ABS_DIR)/fuzz-$$target.log; exit 1; }; \
	  grep -E 'DONE|^stat::number_of_executed_units' $(FUZZ_ABS_DIR)/fuzz-$$target.log || true; \
	done

fuzz-corpus: fuzz-build
	@set -e; for target in $(FUZZ_TARGETS); do \
	  rm -rf $(FUZZ_ABS_DIR)/merged/$$target; mkdir -p $(FUZZ_ABS_DIR)/merged/$$target; \
	  $(FUZZ_ABS_DIR)/fuzz/$$target -merge=1 $(FUZZ_MERGE_FLAGS) $(FUZZ_ABS_DIR)/merged/$$target \
	    $(CURDIR)/fuzz/corpus/$$target $(FUZZ_ABS_DIR)/corpus/$$target \
	    > $(FUZZ_ABS_DIR)/merge-$$target.log 2>&1; \
	  rm -rf fuzz/corpus/$$target; cp -r $(FUZZ_ABS_DIR)/merged/$$target fuzz/corpus/$$target; \
	  echo "fuzz-corpus: $$target: $$(ls fuzz/corpus/$$target | wc -l) files"; \
	done
