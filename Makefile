# Lumaret: one-word targets. `make test` sets up a fresh Debian 12 machine, builds both trees and runs every suite.
B       ?= build
NATIVE  := $(B)/native
WINDOWS := $(B)/windows
FUZZ    := $(B)/fuzz
JOBS    ?= $(shell nproc)
FUZZ_SECONDS ?= 60
export WINEPREFIX := $(abspath $(WINDOWS))/wineprefix

.PHONY: all deps native windows fuzzers test fuzz bench accuracy tune run about-shot clean

all: native windows

deps:
	@tools/install-deps

native: deps
	@cmake -S . -B $(NATIVE) -DCMAKE_BUILD_TYPE=Release >/dev/null
	@cmake --build $(NATIVE) -j$(JOBS)

windows: deps
	@cmake -S . -B $(WINDOWS) -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
	@cmake --build $(WINDOWS) -j$(JOBS)

fuzzers: deps
	@cmake -S . -B $(FUZZ) -DLUMARET_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build $(FUZZ) -j$(JOBS)

test: native windows fuzzers
	@tools/run-tests $(NATIVE) $(WINDOWS) $(FUZZ)

fuzz: fuzzers
	@tools/run-fuzzers $(FUZZ) $(FUZZ_SECONDS)

bench: native windows
	@$(NATIVE)/bench/lumaret_bench
	@tools/with-display tools/bench-e2e $(WINDOWS) $(B)
	@tools/bench-cli $(NATIVE)/cli/lumaret-cli $(B)

# The guess beside uchardet and chardet on CUE sheets made from the installed message catalogues.
accuracy: native
	@tools/guess-report $(NATIVE)/tools/guess_accuracy $(B)

# The guess on the sheets changes are tried out on, none of them the test split's; TUNE="--save|--against NAME".
tune: native
	@tools/tune-guess $(NATIVE)/tools/guess_accuracy $(B)/tuning $(TUNE)

run: windows
	@tools/with-display tools/run-lumaret $(WINDOWS)/app/lumaret.exe $(B) $(FILE)

about-shot: windows
	@tools/with-display tools/about-shot $(WINDOWS) $(B)/about.png

clean:
	rm -rf $(B)
