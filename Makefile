# Two commands set everything up on a fresh machine: `make run` and `make test`.
BUILD := build
ASAN_BUILD := build-asan
JOBS ?= 2
MAKEFLAGS += --no-print-directory

.PHONY: all deps build asan run test bench fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# The sanitizer build covers everything but the widgets: core, platform, HTTP, update and tool.
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKESTROLAN_SANITIZE=ON -DKESTROLAN_GUI=OFF >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)

run: build
	@scripts/run-viewer $(BUILD)/app/kestrolan $(BUILD)/samples/radar.lzw

test: build asan
	@cd $(BUILD) && ctest -j$(JOBS) --output-on-failure
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest -j$(JOBS) --output-on-failure

bench: build
	@scripts/bench $(BUILD)

fuzz: deps
	@scripts/fuzz $(or $(SECONDS_TO_FUZZ),60) $(or $(FUZZ_TARGET),lzw_fuzz)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz
