# The two commands a newcomer needs: `make run` and `make test`. Both install
# what is missing first (tools/install-deps.sh, which uses apt-get).
NATIVE_DIR  ?= build/native
WINDOWS_DIR ?= build/windows
JOBS        ?= $(shell nproc)

.PHONY: all run test deps native windows test-native test-windows format clean

all: native windows

deps:
	@bash tools/install-deps.sh

native: deps
	cmake -S . -B $(NATIVE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTEXTSTRING_SANITIZE=ON
	cmake --build $(NATIVE_DIR) -j $(JOBS)

windows: deps
	cmake -S . -B $(WINDOWS_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	  -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-i686.cmake
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The main job. Until the launcher exists it builds both targets and lists
# what they produced.
run: native windows
	@echo "Built (native, Linux x86-64):"
	@find $(NATIVE_DIR) -maxdepth 2 -type f \( -name '*.a' -o -perm -u+x \) ! -name '*.sh' \
	  ! -path '*/CMakeFiles/*' | sort | sed 's/^/  /'
	@echo "Built (windows, 32-bit x86):"
	@find $(WINDOWS_DIR) -maxdepth 2 -type f \( -name '*.a' -o -name '*.exe' -o -name '*.dll' \) \
	  ! -path '*/googletest/*' | sort | while read f; do echo "  $$f: $$(file -b $$f | cut -c1-60)"; done

test-native: native
	ctest --test-dir $(NATIVE_DIR) --output-on-failure -j $(JOBS)

test-windows: windows
	ctest --test-dir $(WINDOWS_DIR) --output-on-failure -j $(JOBS)

# Further suites (fuzzing, memory checks) add themselves to TEST_SUITES in
# the files under tools/make/.
TEST_SUITES := test-native test-windows
-include tools/make/*.mk

test: $(TEST_SUITES)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
