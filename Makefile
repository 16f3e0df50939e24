# The two commands a newcomer needs: `make run` and `make test`. Both install
# what is missing first (tools/install-deps.sh, which uses apt-get).
#
# Every build folder is configured from a preset of CMakePresets.json
# (`cmake --preset native` and so on); the -B after it puts the folder where
# NATIVE_DIR, WINDOWS_DIR, ... say.
NATIVE_DIR  ?= build/native
WINDOWS_DIR ?= build/windows
JOBS        ?= $(shell nproc)

.PHONY: all run test deps native windows test-native test-windows format clean

all: native windows

deps:
	@bash tools/install-deps.sh

native: deps
	cmake --preset native -B $(NATIVE_DIR)
	cmake --build $(NATIVE_DIR) -j $(JOBS)

# `make release` (tools/make/release.mk) configures the same way.
WINDOWS_CONFIGURE = cmake --preset windows -B $(WINDOWS_DIR)

windows: deps
	$(WINDOWS_CONFIGURE)
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The main job: builds both, then starts setup.exe under Wine the way a user
# would, with the demo installer library (AdminExe/demo) beside it, and shows
# what its PreInstall received and setup.exe's exit code. setup-driver.exe
# starts it with exactly this command line and reports all 32 bits of the
# exit code (Wine alone would pass on only 8).
DEMO_DIR     = $(WINDOWS_DIR)/demo-run
DEMO_WIN_DIR = Z:$(subst /,\,$(abspath $(DEMO_DIR)))
DEMO_ARGS    = /install /lang de

run: windows
	@why=$$(bash tools/wine-can-run.sh) || { echo "make run: $$why" >&2; exit 1; }
	@rm -rf $(DEMO_DIR) && mkdir -p $(DEMO_DIR)
	@cp $(WINDOWS_DIR)/AdminExe/setup.exe $(WINDOWS_DIR)/AdminExe/demo/dropnestlib.dll $(DEMO_DIR)/
	@printf '%s\n' 'Running under Wine: "$(DEMO_WIN_DIR)\setup.exe" $(DEMO_ARGS)'
	@# The driver exits with setup.exe's code, and the demo's PreInstall
	@# returns 1 when it has logged; any other code is a failure to show.
	@$(WINDOWS_DIR)/wine-run.sh $(WINDOWS_DIR)/tests/e2e/setup-driver.exe \
	  --command-line '"$(DEMO_WIN_DIR)\setup.exe" $(DEMO_ARGS)' '$(DEMO_WIN_DIR)\setup.exe'; \
	  code=$$?; [ $$code -eq 1 ] || { echo "make run: setup.exe ended with $$code, not the demo's 1" >&2; exit 1; }
	@echo "What PreInstall received ($(DEMO_DIR)/dropnest-demo.log):"
	@sed 's/^/  /; s/\r$$//' $(DEMO_DIR)/dropnest-demo.log

test-native: native
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)

# Under load, Wine itself now and then dies of a segmentation fault while a
# test process exits, after the test has passed. Such a test is run again
# (up to three times in all); a failure of our own repeats every time.
test-windows: windows
	ctest --test-dir $(WINDOWS_DIR) --output-on-failure -j $(JOBS) --repeat until-pass:3

# Further suites (fuzzing, memory checks) add themselves to TEST_SUITES in
# the files under tools/make/.
TEST_SUITES := test-native test-windows
-include tools/make/*.mk

test: $(TEST_SUITES)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
