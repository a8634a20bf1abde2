# The README's two commands: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench fuzz install deb clean

all: build

deps:
	scripts/install-deps

configure: deps
	@if [ ! -f $(BUILD)/build.ninja ]; then cmake -S . -B $(BUILD) -G Ninja; fi

build: configure
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/vastrel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	bench/run-all

# The readers under libFuzzer, FUZZ_SECONDS each, in a clang build folder of their own.
FUZZ_SECONDS ?= 60
FUZZ_BUILD ?= build-fuzz
fuzz: deps
	@if [ ! -f $(FUZZ_BUILD)/build.ninja ]; then CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DVASTREL_FUZZ=ON; fi
	cmake --build $(FUZZ_BUILD) -j $(JOBS)
	fuzz/run $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The programs, the console, reports, help, data, menu entries and icons under PREFIX.
PREFIX ?= /usr/local
install: build
	cmake --install $(BUILD) --prefix $(PREFIX)

deb: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
