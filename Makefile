# Front door: `make run` and `make test` install what is missing, build, and go.

# Debian packages the build, the game and its tests need.
PACKAGES := cmake g++ make pkg-config \
	qt6-base-dev qt6-qpa-plugins \
	libsndfile1-dev libgif-dev libsdl2-dev libgtest-dev googletest clang-tidy clang-format cppcheck \
	libpulse-dev pulseaudio pulseaudio-utils pipewire pipewire-pulse wireplumber dbus \
	xvfb xauth \
	libx11-dev libxtst-dev libxcb1-dev \
	dbus-daemon at-spi2-core python3-pyatspi x11-xkb-utils \
	qt6-wayland weston qt6-base-private-dev libwayland-dev wayland-protocols \
	fonts-liberation fonts-dejavu-core \
	dpkg-dev file desktop-file-utils appstream \
	clang libclang-rt-14-dev llvm libc6-dbg

# Only for regenerating the README's screenshot.
SCREENSHOT_PACKAGES := xdotool imagemagick qt6ct

BUILD_DIR := build
# The same sources and tests under AddressSanitizer and UBSan, with clang,
# which also brings libFuzzer.
SAN_DIR := build-san
JOBS := $(shell nproc 2>/dev/null || echo 2)
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

# Stop at the first report. The leaks listed in lsan.supp are the system
# libraries' own, made once per process. use_tls=0: clang 14's leak checker
# crashes reading glibc 2.36's dynamic thread-local storage.
SAN_ENV := ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp:print_suppressions=0:use_tls=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

# How long `make fuzz` runs the tone-loading fuzzer; `make test` runs it 60 s.
FUZZ_SECONDS := 600

.PHONY: deps configure build configure-san build-san test-san fuzz run test lint package screenshot clean bench

deps:
	@missing=$$(for p in $(PACKAGES) $(EXTRA_PACKAGES); do \
		dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; \
	done); \
	if [ -n "$$missing" ]; then \
		echo "Installing missing packages:" $$missing; \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get update -q && \
		$(SUDO) env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends $$missing; \
	fi

configure: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: configure
	cmake --build $(BUILD_DIR) -j$(JOBS)

configure-san: deps
	cmake -S . -B $(SAN_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DTOLVEX_SANITIZE=ON

# The environment reaches the test listing that runs at build time.
build-san: configure-san
	env $(SAN_ENV) cmake --build $(SAN_DIR) -j$(JOBS)

# The fuzzer's totals are printed even when it passes.
test-san: build-san
	cd $(SAN_DIR) && env $(SAN_ENV) ctest -j$(JOBS) --output-on-failure --timeout 600
	@grep -h "^stat::number_of_executed_units\|^stat::average_exec_per_sec" \
		$(SAN_DIR)/Testing/Temporary/LastTest.log || true

fuzz: build-san
	env $(SAN_ENV) sh tests/fuzz/run_fuzz.sh $(SAN_DIR)/tests/fuzz_tone_loading $(FUZZ_SECONDS) \
		$(SAN_DIR)/tests/fuzz-corpus $(SAN_DIR)/tests/fuzz-seeds $(SAN_DIR)/tests/fuzz-findings

# The game looks its tones up in the working directory.
run: build
	cd assets/tones && exec $(CURDIR)/$(BUILD_DIR)/tolvex

# The sanitizer build runs beside the tests of build/, and lint beside those
# of build-san/, on the processor time the tests leave idle
# (tests/beside_the_tests.sh); a failed test run stops them.
test: build
	@sh tests/beside_the_tests.sh $(BUILD_DIR)/build-san.log '$(MAKE) --no-print-directory build-san' \
		'cd $(BUILD_DIR) && ctest -j$(JOBS) --output-on-failure --timeout 300'
	@sh tests/beside_the_tests.sh $(BUILD_DIR)/lint.log 'sh tests/lint/run_lint.sh $(BUILD_DIR)' \
		'$(MAKE) --no-print-directory test-san'

# clang-tidy and cppcheck on engine/, sound/, ui/ and gamepad/, the naming
# rule on tests/ and bench/; any finding fails.
lint: build
	sh tests/lint/run_lint.sh $(BUILD_DIR)

# Timings, latencies and footprint of the real program, written to
# bench/RESULTS.md; takes a few minutes and is not part of `make test`.
bench: build
	cmake --build $(BUILD_DIR) -j$(JOBS) --target bench_programs
	sh bench/run_bench.sh $(BUILD_DIR)

# A Debian package of the game, in build/.
package: build
	cd $(BUILD_DIR) && cpack -G DEB

# The README's pictures of the board, at 100 % and at 200 % screen scale and
# under a dark desktop scheme.
screenshot:
	$(MAKE) build EXTRA_PACKAGES="$(SCREENSHOT_PACKAGES)"
	tools/screenshot.sh $(BUILD_DIR)/tolvex docs/screenshot.png
	QT_SCALE_FACTOR=2 tools/screenshot.sh $(BUILD_DIR)/tolvex docs/screenshot@2x.png
	TOLVEX_SCREENSHOT_SCHEME=darker tools/screenshot.sh $(BUILD_DIR)/tolvex docs/screenshot-dark.png

clean:
	rm -rf $(BUILD_DIR) $(SAN_DIR)
