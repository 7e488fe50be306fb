# Front door: `make run` and `make test`. Everything else is for developers.
JOBS ?= $(shell nproc)
BUILD := build
ASAN_BUILD := build-asan
BENCH_BUILD := build-bench
FUZZ_BUILD := build-fuzz
PACKAGE_BUILD := build-package
FUZZ_SECONDS ?= 300
# Seconds for each target in `make test`.
FUZZ_SMOKE_SECONDS ?= 15
# The decoder in memory, the whole way from a file to a picture, a file in
# pieces as the image loader gets it, and disk images.
FUZZERS := $(FUZZ_BUILD)/fuzz/fuzz_decoder $(FUZZ_BUILD)/fuzz/fuzz_screen $(FUZZ_BUILD)/fuzz/fuzz_screen_reader \
  $(FUZZ_BUILD)/fuzz/fuzz_disk_reader
# Screens up to a few line tables long; the committed samples are ~25 KB.
FUZZ_FLAGS := -max_len=65536 -timeout=20 -rss_limit_mb=2048 -artifact_prefix=$(FUZZ_BUILD)/

.PHONY: all deps build build-asan build-fuzz fuzz-seeds package install test run bench fuzz clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSELON_SANITIZE=ON

# The fuzz build is clang's (libFuzzer); only the fuzz targets and the
# libraries they need are built there.
$(FUZZ_BUILD)/build.ninja:
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTESSELON_FUZZ=ON

# The Debian package's build: Release, for /usr, with the hardening Debian
# builds packages with (fortified calls, read-only relocations bound at start).
$(PACKAGE_BUILD)/build.ninja:
	cmake -S . -B $(PACKAGE_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DTESSELON_PACKAGE_TESTS=ON -DCMAKE_CXX_FLAGS="-D_FORTIFY_SOURCE=2 -fstack-protector-strong" \
	  -DCMAKE_EXE_LINKER_FLAGS="-Wl,-z,relro,-z,now" -DCMAKE_MODULE_LINKER_FLAGS="-Wl,-z,relro,-z,now" \
	  -DCMAKE_SHARED_LINKER_FLAGS="-Wl,-z,relro,-z,now"

$(BENCH_BUILD)/build.ninja:
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELON_BENCH=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_decoder fuzz_screen fuzz_screen_reader \
	  fuzz_disk_reader screen_reader_seeds disk_reader_seeds corpus

# build-package/tesselon_VERSION_ARCH.deb, from only what it installs (the two
# programs, the image loader, data), not the tests.
package: deps $(PACKAGE_BUILD)/build.ninja
	cmake --build $(PACKAGE_BUILD) -j $(JOBS) --target package_contents
	cd $(PACKAGE_BUILD) && cpack -G DEB

# Builds only what is installed (the three programs and the image loader),
# in the normal build, and installs it under PREFIX, binaries stripped.
PREFIX ?= /usr/local
install: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target package_contents
	cmake --install $(BUILD) --prefix "$(PREFIX)" --strip

fuzz-seeds:
	@scripts/fuzz_seeds.sh $(FUZZ_BUILD)/seeds $(FUZZ_BUILD)/samples/corpus $(FUZZ_BUILD)/fuzz/screen_reader_seeds \
	  $(FUZZ_BUILD)/fuzz/disk_reader_seeds

# Ends with a summary: each build's tests, each fuzz target's inputs, the
# package's checks and its lintian findings.
test: build build-asan build-fuzz fuzz-seeds package
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -O ctest.log
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS) -O ctest.log
	cd $(PACKAGE_BUILD) && ctest --output-on-failure -L package -j $(JOBS) -O ctest.log
	@echo "Fuzzing each target for $(FUZZ_SMOKE_SECONDS) seconds..."
	@for f in $(FUZZERS); do \
	  scripts/fuzz_smoke.sh $$f $(FUZZ_SMOKE_SECONDS) $(FUZZ_BUILD) $(FUZZ_BUILD)/seeds $(FUZZ_FLAGS) \
	    >> $(FUZZ_BUILD)/smoke-summary.new || { cat $(FUZZ_BUILD)/smoke-summary.new; rm -f $(FUZZ_BUILD)/smoke-summary.new; exit 1; }; \
	done
	@mv $(FUZZ_BUILD)/smoke-summary.new $(FUZZ_BUILD)/smoke-summary
	@echo; echo "Summary"
	@for b in $(BUILD) $(ASAN_BUILD) $(PACKAGE_BUILD); do \
	  sed -n "s|.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*|  $$b: \2 tests, \1 failed|p" $$b/ctest.log; \
	done
	@sed 's/^/  /' $(FUZZ_BUILD)/smoke-summary
	@sed 's/^/  /' $(PACKAGE_BUILD)/package-summary

fuzz: build-fuzz fuzz-seeds
	@for f in $(FUZZERS); do \
	  scripts/fuzz_smoke.sh $$f $(FUZZ_SECONDS) $(FUZZ_BUILD) $(FUZZ_BUILD)/seeds $(FUZZ_FLAGS) || exit 1; \
	done

SAMPLE := samples/raster_bars.ss4
RUN_OUTPUT := $(BUILD)/run/raster_bars.png

# Opens the viewer on the bundled sample. Without an X display (the viewer
# runs on X11, under Wayland through its X server) there is no window to
# open: the sample is rendered to PNG instead, as the viewer saves it.
# Only the two programs are built, not the tests.
run: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target tesselon ss4topng
	@if [ -n "$$DISPLAY" ]; then \
	  $(BUILD)/src/tesselon/tesselon $(SAMPLE); \
	else \
	  mkdir -p $(dir $(RUN_OUTPUT)); \
	  $(BUILD)/tools/ss4topng/ss4topng -o $(RUN_OUTPUT) $(SAMPLE); \
	  echo "No display to open the viewer on; rendered $(SAMPLE) at double size: $(RUN_OUTPUT)"; \
	fi

bench: deps $(BENCH_BUILD)/build.ninja
	cmake --build $(BENCH_BUILD) -j $(JOBS)
	@for b in $(BENCH_BUILD)/bench/bench_*; do \
	  [ -x "$$b" ] && "$$b" --benchmark_repetitions=9 --benchmark_report_aggregates_only=true; \
	done

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD) $(PACKAGE_BUILD)
