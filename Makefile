# The two commands that do everything on a fresh Debian 12 machine: `make run` and `make test`.

BUILD_DIR ?= build
SANITIZE_DIR ?= build-sanitize
TSAN_DIR ?= build-tsan
CMAKE_FLAGS ?=

.PHONY: all deps build run test bench test-sanitize test-tsan clean

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
	$(BUILD_DIR)/src/app/kelvane-cli --help

test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j2 --timeout 600

bench: build
	bash bench/run-all.sh $(BUILD_DIR)

# The same tests under the address and undefined-behaviour sanitizers, and under the thread
# sanitizer (for the folder search).
test-sanitize: .deps-installed
	cmake -S . -B $(SANITIZE_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVANE_SANITIZE=ON
	cmake --build $(SANITIZE_DIR)
	cd $(SANITIZE_DIR) && ctest --output-on-failure -j2

test-tsan: .deps-installed
	cmake -S . -B $(TSAN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKELVANE_TSAN=ON
	cmake --build $(TSAN_DIR)
	cd $(TSAN_DIR) && ctest --output-on-failure -j2

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(TSAN_DIR)
