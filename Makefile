# Quillsite: `make run` and `make test` do everything on a fresh Debian 12 machine.
# The other targets are thin wrappers over the CMake presets (CMakePresets.json), each in its own build-<preset>.

BUILD   ?= build
PREFIX  ?= $(HOME)/Quillsite
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps deps-clang configure build test run install bench fuzz fuzz-run fuzz-replay asan tsan tidy format \
        format-check clean

all: build

deps:
	@./scripts/install-deps.sh

deps-clang:
	@./scripts/install-deps.sh clang

configure: deps
	cmake --preset dev -B $(BUILD) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

install: build
	cmake --install $(BUILD) --prefix "$(PREFIX)"

run: install
	./scripts/register-desktop.sh "$(PREFIX)"
	"$(PREFIX)/quillsite"

bench: build
	cmake --build $(BUILD) --target bench -j $(JOBS)

# Every test with clang, AddressSanitizer and UndefinedBehaviorSanitizer; any report fails the test.
asan: deps-clang
	cmake --preset asan
	cmake --build --preset asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The threaded string replacement's tests under ThreadSanitizer.
tsan: deps-clang
	cmake --preset tsan
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

# clang-tidy (.clang-tidy) over src/ and app/; any finding fails.
tidy: deps-clang
	cmake --preset tidy
	cmake --build --preset tidy -j $(JOBS)
	run-clang-tidy -p build-tidy -j $(JOBS) -quiet '^$(CURDIR)/(src|app)/'

# The fuzz targets (tests/fuzz) with clang: every library instrumented for libFuzzer, ASan and UBSan.
# `make fuzz-run` then runs each for FUZZ_TIME seconds with its dictionary, from its seeds in
# tests/fuzz/corpus/<name> (left as they are: what the run finds goes to build-fuzz/corpus/<name>).
# A crash, a sanitizer report or a broken rule stops it, the input kept as build-fuzz/crash-*.
FUZZ_TIME  ?= 60

fuzz: deps-clang
	cmake --preset fuzz
	cmake --build --preset fuzz -j $(JOBS)

fuzz-run: fuzz
	@set -e; for f in build-fuzz/bin/fuzz_*; do \
	    name=$$(basename $$f); short=$${name#fuzz_}; dict=tests/fuzz/$$name.dict; \
	    mkdir -p build-fuzz/corpus/$$short; \
	    echo "== $$name ($(FUZZ_TIME) s)"; \
	    $$f -max_total_time=$(FUZZ_TIME) -print_final_stats=1 -artifact_prefix=build-fuzz/ \
	        $$( [ -f $$dict ] && echo -dict=$$dict ) build-fuzz/corpus/$$short \
	        $$( [ -d tests/fuzz/corpus/$$short ] && echo tests/fuzz/corpus/$$short ) || exit 1; \
	done

# Every fuzz target over its seed corpus once, without mutation: deterministic, for CI.
fuzz-replay: fuzz
	@set -e; for f in build-fuzz/bin/fuzz_*; do \
	    name=$$(basename $$f); short=$${name#fuzz_}; \
	    echo "== $$name (seeds)"; \
	    $$f -runs=0 $$( [ -d tests/fuzz/corpus/$$short ] && echo tests/fuzz/corpus/$$short ) || exit 1; \
	done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

format-check: deps-clang
	git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror

clean:
	rm -rf $(BUILD) build-release build-asan build-tsan build-tidy build-fuzz
