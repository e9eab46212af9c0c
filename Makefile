# Thin front door over CMake. `make run` and `make test` install what is
# missing, build and run; everything else is CMake and CTest.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
JOBS       ?= $(shell nproc)
CMAKE_GEN  := $(shell command -v ninja >/dev/null 2>&1 && echo -G Ninja)

FUZZ_SECONDS ?= 180

.PHONY: all deps build run test test-sanitize bench fuzz install package format format-check clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

SAMPLES ?= $(BUILD)/sample-fields

run: build
	@test -d $(SAMPLES) || $(BUILD)/cli/strandex-cli synth --out $(SAMPLES) --fields 6 --seed 7
	$(BUILD)/cli/strandex-cli score $(SAMPLES) --cutoff 40 --yes
	$(BUILD)/cli/strandex-cli summary $(SAMPLES)

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

$(SAN_BUILD)/CMakeCache.txt:
	cmake -S . -B $(SAN_BUILD) $(CMAKE_GEN) -DCMAKE_BUILD_TYPE=Debug -DSTRANDEX_SANITIZE=ON

test-sanitize: deps $(SAN_BUILD)/CMakeCache.txt
	cmake --build $(SAN_BUILD) -j $(JOBS)
	# intercept_tls_get_addr=0: the leak checker misreads the thread-local
	# storage of the toolkit's dlopen'ed image plugins and crashes otherwise;
	# scripts/lsan.supp says what that costs.
	cd $(SAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:intercept_tls_get_addr=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/*_bench; do echo "== $$b"; $$b; done

# `make install` puts both programs, the manual, the desktop entry, the
# icon and the manual page under PREFIX (DESTDIR honoured); `make package`
# makes the Debian package in build/.
PREFIX ?= /usr/local

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

package: build
	cd $(BUILD) && cpack -G DEB

fuzz: deps
	scripts/fuzz.sh $(FUZZ_SECONDS)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(SAN_BUILD) build-fuzz
