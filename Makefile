# Quillsite: `make run` and `make test` do everything on a fresh Debian 12 machine.

BUILD   ?= build
PREFIX  ?= $(HOME)/Quillsite
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run install bench fuzz fuzz-run format clean

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

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

# The fuzz targets (tests/fuzz) with clang: every library instrumented for libFuzzer, ASan and UBSan.
# `make fuzz-run` then runs each for FUZZ_TIME seconds with its dictionary.
FUZZ_FLAGS ?= -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer
FUZZ_TIME  ?= 60

fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	      -DCMAKE_CXX_FLAGS="$(FUZZ_FLAGS)" -DQUILLSITE_WERROR=OFF -DQUILLSITE_FUZZ=ON \
	      -DQUILLSITE_TESTS=OFF -DQUILLSITE_BENCH=OFF
	cmake --build build-fuzz --target fuzz -j $(JOBS)

fuzz-run: fuzz
	@for f in build-fuzz/bin/fuzz_*; do \
	    name=$$(basename $$f); dict=tests/fuzz/$$name.dict; \
	    echo "== $$name ($(FUZZ_TIME) s)"; \
	    $$f -max_total_time=$(FUZZ_TIME) -print_final_stats=1 $$( [ -f $$dict ] && echo -dict=$$dict ) || exit 1; \
	done

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
