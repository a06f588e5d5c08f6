# `make run` and `make test` install what they need, then build the three trees:
# build/host (native tools and tests), build/win64 (Windows tests under Wine) and
# build/win32 (the deliverable setup.exe).
BUILD := build
HOST := $(BUILD)/host
WIN64 := $(BUILD)/win64
WIN32 := $(BUILD)/win32
JOBS ?= 2
CMAKE_COMMON := -G Ninja -DCMAKE_BUILD_TYPE=Release
# A release engineer may pack a real product folder: make PRODUCT_DIR=/path/to/product
PRODUCT_DIR ?=
WIN_COMMON := $(CMAKE_COMMON) -DYZ_HOST_BIN=$(CURDIR)/$(HOST)/bin \
              $(if $(PRODUCT_DIR),-DYZ_PRODUCT_DIR=$(abspath $(PRODUCT_DIR)))

.PHONY: all deps host win64 win32 test run fuzz clean
all: win32

deps:
	@tools/install_deps.sh

host: deps
	cmake -S . -B $(HOST) $(CMAKE_COMMON)
	cmake --build $(HOST) -j$(JOBS)

win64: host
	cmake -S . -B $(WIN64) $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw64.cmake
	cmake --build $(WIN64) -j$(JOBS)

win32: win64
	cmake -S . -B $(WIN32) $(WIN_COMMON) -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw32.cmake \
	      -DYZ_PAYLOAD_FILE=$(CURDIR)/$(WIN64)/resources/ruzavar.yzz
	cmake --build $(WIN32) -j$(JOBS)

test: win32
	ctest --test-dir $(HOST) --output-on-failure -j$(JOBS)
	ctest --test-dir $(WIN64) --output-on-failure -j$(JOBS)

run: win32
	@tools/run_main_job.sh $(CURDIR)/$(BUILD)

fuzz: host
	tests/fuzz/run_fuzzer.sh $(or $(SECONDS),60)

clean:
	rm -rf $(BUILD)
