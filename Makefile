# The two commands that do everything on a fresh Debian 12 machine: `make run` and `make test`.

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
TSAN_DIR ?= build-tsan
FUZZ_DIR ?= build-fuzz
# Every libFuzzer target of the project (named *_fuzz, as their short-run tests are).
FUZZ_TARGETS ?= dosattrib_fuzz id3_fuzz gif_fuzz photo_fuzz song_fuzz
CMAKE_FLAGS ?=

.PHONY: all deps build run test check-headers bench screenshots test-sanitize test-tsan test-fuzz clean

all: build

# Installs the Debian packages once per machine; the marker is local and never committed.
deps: .deps-installed
.deps-installed: scripts/install-deps
	bash scripts/install-deps
	touch $@

$(BUILD_DIR)/build.ninja: CMakeLists.txt | .deps-installed
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: .deps-installed $(BUILD_DIR)/build.ninja
	cmake --build $(BUILD_DIR)

run: build
	$(BUILD_DIR)/src/app/kelvane

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j2 --timeout 600

# The platform interface compiles for Windows with no Linux header (a MinGW syntax check).
check-headers: .deps-installed
	bash scripts/check-platform-headers

bench: build
	bash bench/run-all.sh $(BUILD_DIR)

# The pictures of the window and its components in docs/images, drawn on a virtual X server in
# a fixed locale and time zone, so that the same tree gives the same pictures.
screenshots: build
	TZ=UTC LC_ALL=en_US.UTF-8 QT_QPA_PLATFORM=xcb xvfb-run -a $(BUILD_DIR)/tests/ui/ui_screenshots docs/images

# The same tests under the address and undefined-behaviour sanitizers, and under the thread
# sanitizer (for the folder search).
test-sanitize: .deps-installed
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON
	cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j2

# The build runs some of what it builds (the pictures are drawn by a Qt program), so both steps
# know which reports to leave out.
test-tsan: export TSAN_OPTIONS = suppressions=$(CURDIR)/tests/tsan.supp
test-tsan: .deps-installed
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVANE_TSAN=ON
	cmake --build $(TSAN_DIR)
	cd $(TSAN_DIR) && ctest --output-on-failure -j2

# A short run of every fuzz target. libFuzzer exists only with clang, so the targets get a build
# folder of their own, under the address and undefined-behaviour sanitizers; -O1 lets a short
# run try more inputs while the assertions stay on.
test-fuzz: .deps-installed
	cmake -S . -B $(FUZZ_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-g -O1" \
	  -DCMAKE_CXX_COMPILER=clang++ -DKELVANE_SANITIZE=ON
	cmake --build $(FUZZ_DIR) --target $(FUZZ_TARGETS)
	cd $(FUZZ_DIR) && ctest --output-on-failure -R _fuzz

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(TSAN_DIR) $(FUZZ_DIR)
