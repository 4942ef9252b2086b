# Two commands set everything up on a fresh machine: `make run` and `make test`.
BUILD := build
ASAN_BUILD := build-asan
TSAN_BUILD := build-tsan
PACKAGE_BUILD := build-package
WINDOWS_BUILD := build-windows
JOBS ?= 2
MAKEFLAGS += --no-print-directory
# Our own builds turn warnings into errors and build the tests; a packager's plain build does not.
OUR_BUILD := -DKESTROLAN_WERROR=ON -DBUILD_TESTING=ON

.PHONY: all deps build asan tsan run test test-windows package bench fuzz clean

all: build

deps:
	@scripts/install-deps

build: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(OUR_BUILD) >/dev/null
	@cmake --build $(BUILD) -j$(JOBS)

# The sanitizer build covers everything but the widgets: core, platform, HTTP, update and tool.
asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DKESTROLAN_SANITIZE=ON -DKESTROLAN_GUI=OFF $(OUR_BUILD) >/dev/null
	@cmake --build $(ASAN_BUILD) -j$(JOBS)

# ThreadSanitizer over the core's tests and the archive fuzz replay, where the threads are.
tsan: deps
	@scripts/tsan $(TSAN_BUILD)

run: build
	@scripts/run-viewer $(BUILD)/app/kestrolan $(BUILD)/samples/radar.lzw

# The Debian package, as a distribution would build it: optimised, with Debian's hardening
# flags, no tests, and a viewer without the self-update. Leaves kestrolan_VERSION_ARCH.deb here.
package: deps
	@cmake -S . -B $(PACKAGE_BUILD) -DCMAKE_BUILD_TYPE=Release -DKESTROLAN_UPDATE_CHECK=OFF \
	  -DKESTROLAN_WERROR=ON -DBUILD_TESTING=OFF \
	  -DCMAKE_CXX_FLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$(dpkg-buildflags --get LDFLAGS)" >/dev/null
	@cmake --build $(PACKAGE_BUILD) -j$(JOBS)
	@cd $(PACKAGE_BUILD) && rm -f kestrolan_*.deb && { cpack -G DEB >cpack.log 2>&1 || { cat cpack.log; exit 1; }; }
	@cp $(PACKAGE_BUILD)/kestrolan_*.deb .
	@ls kestrolan_*.deb

test: build asan
	@cd $(BUILD) && ctest -j$(JOBS) --output-on-failure
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1 ctest -j$(JOBS) --output-on-failure
	@scripts/tsan $(TSAN_BUILD)
	@scripts/check-package
	@$(MAKE) test-windows

# The Qt-free core and the platform layer, cross-built for Windows with mingw-w64 and tested under
# wine in a private prefix (Qt for Windows is not packaged here, so the window is not built).
test-windows: deps
	@cmake -S . -B $(WINDOWS_BUILD) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DKESTROLAN_CORE_ONLY=ON $(OUR_BUILD) >/dev/null
	@cmake --build $(WINDOWS_BUILD) -j$(JOBS)
	@cd $(WINDOWS_BUILD) && ctest --output-on-failure

bench: build
	@scripts/bench $(BUILD)

fuzz: deps
	@scripts/fuzz $(or $(SECONDS_TO_FUZZ),60) $(or $(FUZZ_TARGET),lzw_fuzz)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(PACKAGE_BUILD) $(WINDOWS_BUILD) build-fuzz kestrolan_*.deb
