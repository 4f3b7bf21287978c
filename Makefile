# Every build, test and demo of Marrowick. On a machine that lacks some of the
# Debian packages (make itself, on a bare one), ./run TARGET installs them first
# and then runs make TARGET: ./run demo and ./run test are the README's two
# commands. Each target below also installs what is missing, as root.
#   make dll    the plug-in, dist/Marrowick.dll (and the stand-in shell's programs)
#   make tray64 the 64-bit build of the demo tray program
#   make dist   the release zip, dist/Marrowick-<version>.zip: DLL, sample rc and
#               the guide made from docs/reference.md
#   make test   every test the project has, the unit suite under ASan and UBSan
#               and a bounded run of each fuzz target included
#   make bench  benchmarks of the plug-in over the fakes, then its times under
#               Wine beside the drawing floor: two tables
#   make stress the two stress runs under Wine alone (also part of make test)
#   make test-busy  the Wine suites RUNS times (5 by default) beside a busy
#               process per core, and how many runs failed per test
#   make demo   the plug-in in the stand-in host, clicking a demo tray
.PHONY: all deps dll tray64 dist native test demo clean sanitize fuzz bench stress test-busy

BUILD := build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

all: dll

# The packages of the targets asked for: the release's alone for dll and dist.
deps:
	@bash scripts/install-deps.sh $(or $(MAKECMDGOALS),all)

$(BUILD)/win32/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	    -DCMAKE_BUILD_TYPE=MinSizeRel

$(BUILD)/win64/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	    -DCMAKE_BUILD_TYPE=MinSizeRel

$(BUILD)/native/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/native -DCMAKE_BUILD_TYPE=Debug \
	    -DWIN32_BUILD_DIR=$(abspath $(BUILD)/win32) -DWIN64_BUILD_DIR=$(abspath $(BUILD)/win64)

dll: deps $(BUILD)/win32/CMakeCache.txt
	cmake --build $(BUILD)/win32 -j $(JOBS)
	@mkdir -p dist
	cp $(BUILD)/win32/Marrowick.dll dist/Marrowick.dll

# The 64-bit build of the tray program, build/win64/devhost/trayapp64.exe: the
# shell takes 64-bit programs' icons too.
tray64: deps $(BUILD)/win64/CMakeCache.txt
	cmake --build $(BUILD)/win64 -j $(JOBS)

# The version in the zip's name comes from plugin/version.h.
dist: dll
	bash scripts/make-dist.sh dist/Marrowick.dll dist

native: deps $(BUILD)/native/CMakeCache.txt
	cmake --build $(BUILD)/native -j $(JOBS)

$(BUILD)/sanitize/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/sanitize -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_COMPILER=clang++ \
	    -DMARROWICK_SANITIZE=ON

# The unit suite again, built with clang under ASan and UBSan.
sanitize: deps $(BUILD)/sanitize/CMakeCache.txt
	cmake --build $(BUILD)/sanitize -j $(JOBS) --target unit_tests fuzzers
	$(BUILD)/sanitize/tests/unit_tests --gtest_brief=1

# Each fuzz target replays its seeds, then fuzzes from them for 30 s (the
# cache variable MARROWICK_FUZZ_SECONDS of build/sanitize).
fuzz: sanitize
	ctest --test-dir $(BUILD)/sanitize -L fuzz --output-on-failure -j $(JOBS)

$(BUILD)/bench/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD)/bench -DCMAKE_BUILD_TYPE=Release

# The native table first, then the Wine one (scripts/wine-bench.sh).
bench: deps dll $(BUILD)/bench/CMakeCache.txt
	cmake --build $(BUILD)/bench -j $(JOBS) --target marrowick_bench
	$(BUILD)/bench/bench/marrowick_bench --benchmark_counters_tabular=true
	bash scripts/wine-bench.sh

# 10,000 broadcasts with faults in the stand-in host under Wine, then 4,000
# with real keys and mouse actions among them; the environment variables
# MARROWICK_STRESS_BROADCASTS, MARROWICK_STRESS_INTERACTIVE_BROADCASTS and
# MARROWICK_STRESS_SEED change the runs.
stress: dll tray64 native
	ctest --test-dir $(BUILD)/native -L stress --output-on-failure --verbose

# The end-to-end, stress and monitors suites RUNS times, side by side as make
# test runs them, every core kept busy meanwhile: each run's stress seed, and
# per test how many runs failed (scripts/test-busy.sh). Not part of make test.
RUNS ?= 5
test-busy: dll tray64 native
	bash scripts/test-busy.sh $(BUILD)/native $(RUNS)

# Then why any test was skipped, as its output said.
test: dll tray64 native sanitize fuzz
	ctest --test-dir $(BUILD)/native --output-on-failure -j $(JOBS)
	@sed -n '/: Skipped$$/{n;s/^/skipped: /;p}' $(BUILD)/native/Testing/Temporary/LastTest.log | uniq

# The stand-in host with Marrowick and a demo tray, on Xvfb when there is no
# display: screenshots in out/demo/. INTERACTIVE=1 stays up on $$DISPLAY.
INTERACTIVE ?= 0
demo: dll tray64
	INTERACTIVE=$(INTERACTIVE) bash scripts/demo.sh

clean:
	rm -rf $(BUILD) dist
