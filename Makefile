# SPDX-License-Identifier: GPL-3.0-or-later
# Thin wrapper over CMake and CTest: `make run`, `make test`.
BUILD_DIR   ?= build
ASAN_DIR    ?= build-asan
TSAN_DIR    ?= build-tsan
NOQT_DIR    ?= build-noqt
PACKAGE_DIR ?= build-deb
FUZZ_DIR    ?= build-fuzz
FUZZ_SECONDS ?= 20
BUILD_TYPE  ?= RelWithDebInfo
GENERATOR   := $(shell command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
JOBS        ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test test-asan test-tsan test-noqt format-check fuzz bench install package \
        package-check clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD_DIR)/CMakeCache.txt:
	cmake -S . -B $(BUILD_DIR) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

configure: deps $(BUILD_DIR)/CMakeCache.txt

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# Starts the window; on the demo player when no player is plugged in.
run: build
	./scripts/run.sh $(BUILD_DIR)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD_DIR) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_DIR) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=Debug -DKORAL_SANITIZE=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_DIR) -j $(JOBS)
	QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(ASAN_DIR) --output-on-failure -j $(JOBS)

# The copy's threads under ThreadSanitizer: its core and koralctl tests only,
# in a build without Qt.
test-tsan: deps
	cmake -S . -B $(TSAN_DIR) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORAL_SANITIZE_THREAD=ON \
	  -DKORAL_BUILD_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON $(CMAKE_FLAGS)
	cmake --build $(TSAN_DIR) -j $(JOBS) --target copy_tests
	TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" ctest --test-dir $(TSAN_DIR) --output-on-failure -j $(JOBS) -L copy

# The core and koralctl where Qt is absent: no window, an eject that says so.
test-noqt: deps
	cmake -S . -B $(NOQT_DIR) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DKORAL_BUILD_GUI=OFF \
	  -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON $(CMAKE_FLAGS)
	cmake --build $(NOQT_DIR) -j $(JOBS)
	ctest --test-dir $(NOQT_DIR) --output-on-failure -j $(JOBS)

# The C++ sources as .clang-format lays them out; changes nothing.
format-check: deps
	git ls-files -z 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp' 'bench/*.h' | \
	  xargs -0 clang-format --dry-run --Werror

# Each libFuzzer target runs FUZZ_SECONDS from the seeds of tests/fuzz/corpus.
fuzz: deps
	cmake -S . -B $(FUZZ_DIR) -G "$(GENERATOR)" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DKORAL_BUILD_FUZZ=ON -DKORAL_BUILD_GUI=OFF -DKORAL_BUILD_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_DIR) -j $(JOBS)
	./tests/fuzz/run.sh $(FUZZ_DIR) $(FUZZ_SECONDS)

bench: build
	@./scripts/install-deps.sh --bench
	./bench/run.sh $(BUILD_DIR)

install: build
	cmake --install $(BUILD_DIR)

# A Debian package of the installation, stripped, in $(PACKAGE_DIR)/: built
# apart with Debian's own compiler and linker flags (hardening included).
package: deps
	DEB_BUILD_MAINT_OPTIONS=hardening=+all ./scripts/configure-package.sh $(PACKAGE_DIR) "$(GENERATOR)" $(CMAKE_FLAGS)
	cmake --build $(PACKAGE_DIR) -j $(JOBS)
	cd $(PACKAGE_DIR) && cpack -G DEB

# The package as Debian's checker sees it: any error or warning fails.
package-check: package
	./scripts/lintian-check.sh $(PACKAGE_DIR)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(NOQT_DIR) $(FUZZ_DIR) $(PACKAGE_DIR)
