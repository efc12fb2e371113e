# Quillsite: `make run` and `make test` do everything on a fresh Debian 12 machine.

BUILD   ?= build
PREFIX  ?= $(HOME)/Quillsite
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run install bench fuzz format clean

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
	"$(PREFIX)/quillsite"

bench: build
	cmake --build $(BUILD) --target bench -j $(JOBS)

fuzz:
	$(MAKE) BUILD=build-fuzz CMAKE_FLAGS="-DCMAKE_CXX_COMPILER=clang++ -DQUILLSITE_FUZZ=ON -DQUILLSITE_TESTS=OFF -DQUILLSITE_BENCH=OFF" build
	cmake --build build-fuzz --target fuzz

format:
	git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
