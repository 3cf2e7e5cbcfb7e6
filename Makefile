# The two commands of the README: `make demo` and `make test`.
JOBS ?= $(shell nproc)
TEST_BUILD := build/test
RELEASE_BUILD := build/release
# `make install PREFIX=... DESTDIR=...` (DESTDIR is read from the environment
# or the command line, as usual).
PREFIX ?= /usr/local

.PHONY: all deps build test fuzz demo bench install package clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	@cmake -S . -B $(RELEASE_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSEL_BUILD_TESTS=OFF >/dev/null
	@cmake --build $(RELEASE_BUILD) -j$(JOBS)

# Tests build with AddressSanitizer and UndefinedBehaviorSanitizer; the
# benchmarks are built too (so they keep compiling) but measured by `make bench`.
test: deps
	@cmake -S . -B $(TEST_BUILD) -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
	  -DTESSEL_SANITIZE=ON -DTESSEL_BUILD_BENCH=ON >/dev/null
	@cmake --build $(TEST_BUILD) -j$(JOBS)
	@bash scripts/run-tests.sh $(TEST_BUILD)
	@bash scripts/run-fuzz.sh 10

# Every fuzz target for FUZZ_SECONDS each (make test runs them for 10).
FUZZ_SECONDS ?= 300
fuzz: deps
	@bash scripts/run-fuzz.sh $(FUZZ_SECONDS)

demo: build
	@bash scripts/run-demo.sh $(RELEASE_BUILD)

bench: deps
	@cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DTESSEL_BUILD_TESTS=OFF -DTESSEL_BUILD_BENCH=ON >/dev/null
	@cmake --build build/bench -j$(JOBS)
	@bash scripts/run-bench.sh build/bench

# The release build's programs, manual pages, documentation and packed demo.
install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_BUILD) --prefix "$(PREFIX)"

# A Debian package of the same, in build/release (dependencies from dpkg-shlibdeps).
package: build
	@cd $(RELEASE_BUILD) && cpack -G DEB
	@ls $(RELEASE_BUILD)/tessel_*.deb

clean:
	rm -rf build
