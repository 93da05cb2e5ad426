# Tavik: build, test and demo. Everything goes through CMake and Ninja.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
CMAKE_ARGS ?=
JOBS       ?= $(shell nproc)

FUZZ_BUILD ?= build-fuzz
STRICT_BUILD ?= build-strict
FUZZ_SECONDS ?= 60
FUZZ_RUNS ?=

.PHONY: all deps build test test-repeat build-asan test-asan test-tsan fuzz-build fuzz fuzz-replay demo bench screenshots package package-check format format-check strict tidy clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite five times over, four tests at once: a test that shares a
# file or depends on the order CTest runs them in fails here.
test-repeat: build
	cd $(BUILD) && ctest --output-on-failure -j 4 --repeat until-fail:5

$(ASAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVIK_SANITIZE=ON $(CMAKE_ARGS)

build-asan: deps $(ASAN_BUILD)/build.ninja
	cmake --build $(ASAN_BUILD) -j $(JOBS)

test-asan: build-asan
	cd $(ASAN_BUILD) && ctest --output-on-failure -j $(JOBS)

$(TSAN_BUILD)/build.ninja: | deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_TSAN=ON $(CMAKE_ARGS)

# The session and window tests, with the save run under stress, built with
# ThreadSanitizer: a data race between the windows and the workers that save,
# print or load add-ins fails it.
test-tsan: deps $(TSAN_BUILD)/build.ninja
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target session_tests windows_tests render_tests tavik
	cd $(TSAN_BUILD)/tests && for binary in session_tests windows_tests render_tests; do \
	    QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$(CURDIR)/tests/tsan.supp" ./$$binary || exit 1; done

$(FUZZ_BUILD)/build.ninja: | deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DTAVIK_FUZZ=ON -DTAVIK_TESTS=OFF $(CMAKE_ARGS)

# Builds the fuzz targets into $(FUZZ_BUILD)/fuzz.
fuzz-build: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all

# Explores: every fuzz target for FUZZ_SECONDS from a random seed; findings are
# kept in fuzz/findings/<target>/ with the command that replays them.
fuzz: fuzz-build
	./scripts/fuzz-run.sh explore $(FUZZ_BUILD)/fuzz $(FUZZ_SECONDS)

# Replays (run by CI): every fuzz target over its committed corpus and past
# findings, then a fixed number of mutations from a fixed seed (fuzz/replay-runs,
# or FUZZ_RUNS for every target); the same answer on every run.
fuzz-replay: fuzz-build
	./scripts/fuzz-run.sh replay $(FUZZ_BUILD)/fuzz $(FUZZ_RUNS)

# Every benchmark with its floor and ratio (bench/run.sh; see bench/RESULTS.md).
bench: build
	./bench/run.sh $(BUILD)

# Runs the whole job on the Japan sample database in out/demo.
demo: build
	./scripts/demo.sh $(BUILD)/bin out/demo

$(STRICT_BUILD)/build.ninja: | deps
	cmake -S . -B $(STRICT_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVIK_STRICT=ON $(CMAKE_ARGS)

# Builds everything with -Wshadow -Wconversion -Werror (run by CI).
strict: deps $(STRICT_BUILD)/build.ninja
	cmake --build $(STRICT_BUILD) -j $(JOBS)

# Runs clang-tidy (the checks of .clang-tidy) over every source of the build.
tidy: build
	run-clang-tidy -quiet -p $(BUILD) -j $(JOBS) '$(CURDIR)/(platform|common|viewer|tools)/'

# Pictures of the windowed viewer on the Japan sample, in docs/screens.
screenshots: build
	./scripts/screenshots.sh $(BUILD) docs/screens

# The Debian package of everything `cmake --install` installs, in $(BUILD)/package.
package: build
	cd $(BUILD) && cpack

# Installs the package with apt-get, runs the installed programs on a copy of
# the installed sample, checks their output and removes the package (as root
# or with sudo; run by CI).
package-check: package
	./scripts/package-check.sh $(BUILD)

# Every C++ source and header under version control, formatted by .clang-format.
FORMAT_FILES = git ls-files '*.cpp' '*.h'

format: deps
	$(FORMAT_FILES) | xargs clang-format -i

# Lists the files clang-format would change and fails when there are any.
format-check: deps
	@$(FORMAT_FILES) | xargs clang-format --dry-run --Werror

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(FUZZ_BUILD) $(STRICT_BUILD)
