# Front door: `make run` and `make test`. Everything else is for developers.
JOBS ?= $(shell nproc)
BUILD := build
ASAN_BUILD := build-asan
BENCH_BUILD := build-bench
FUZZ_BUILD := build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_SMOKE_SECONDS ?= 30
FUZZER := $(FUZZ_BUILD)/fuzz/fuzz_screen
# Screens up to a few line tables long; the committed samples are ~25 KB.
FUZZ_FLAGS := -max_len=65536 -timeout=20 -rss_limit_mb=2048 -artifact_prefix=$(FUZZ_BUILD)/

.PHONY: all deps build build-asan build-fuzz fuzz-seeds test run bench fuzz clean

all: build

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN_BUILD)/build.ninja:
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTESSELON_SANITIZE=ON

# The fuzz build is clang's (libFuzzer); only the fuzz target and the
# libraries it needs are built there.
$(FUZZ_BUILD)/build.ninja:
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTESSELON_FUZZ=ON

$(BENCH_BUILD)/build.ninja:
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELON_BENCH=ON

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

build-fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_screen

# Seeds: the sample screens and files cut short around the size limit and
# inside the line-change table.
fuzz-seeds:
	@rm -rf $(FUZZ_BUILD)/seeds && mkdir -p $(FUZZ_BUILD)/seeds $(FUZZ_BUILD)/corpus
	@cp samples/*.ss4 $(FUZZ_BUILD)/seeds/
	@for n in 0 100 24616 24617 24618 24619 24620 24622; do \
	  head -c $$n samples/raster_bars.ss4 > $(FUZZ_BUILD)/seeds/cut_$$n; \
	done

test: build build-asan build-fuzz fuzz-seeds
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)
	@echo "Fuzzing the screen loader for $(FUZZ_SMOKE_SECONDS) seconds..."
	@$(FUZZER) $(FUZZ_FLAGS) -max_total_time=$(FUZZ_SMOKE_SECONDS) $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/seeds \
	  > $(FUZZ_BUILD)/smoke.log 2>&1 || { tail -n 60 $(FUZZ_BUILD)/smoke.log; exit 1; }
	@grep -E '^(#[0-9]+\s+DONE|Done)' $(FUZZ_BUILD)/smoke.log | tail -n 1 || true

fuzz: build-fuzz fuzz-seeds
	$(FUZZER) $(FUZZ_FLAGS) -max_total_time=$(FUZZ_SECONDS) $(FUZZ_BUILD)/corpus $(FUZZ_BUILD)/seeds

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
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
