# The front door: `make test` and `make demo` do all the set-up themselves.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
JOBS       ?= $(shell nproc)

.PHONY: all deps build test test-release test-asan test-tsan fuzz fuzz-build test-fuzz demo bench format clean

all: build

deps:
	scripts/install-deps

build: deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(BUILD) -j $(JOBS)

test-release: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVELTRAP_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite under ThreadSanitizer, each program through scripts/tsan-run.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRAP_SANITIZE_THREAD=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && ctest --output-on-failure -j $(JOBS)

# The libFuzzer targets, built by clang with AddressSanitizer and
# UndefinedBehaviorSanitizer. `make fuzz` fuzzes each for FUZZ_SECONDS;
# test-fuzz replays every committed corpus and fuzzes each target 15 seconds.
fuzz-build: deps
	cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVELTRAP_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS)

fuzz: fuzz-build
	scripts/run-fuzzers $(FUZZ_BUILD) $(FUZZ_SECONDS)

test-fuzz: fuzz-build
	scripts/run-fuzzers $(FUZZ_BUILD) 15

test: test-release test-package test-asan test-tsan test-fuzz

# The Debian package, from the release build: `make package` builds it into
# $(BUILD)/package, and test-package also checks it as a user would meet it.
.PHONY: package test-package
package: build
	scripts/package-deb $(BUILD)

test-package: build
	scripts/package-deb --check $(BUILD)

demo: build
	scripts/run-demo $(BUILD)

# Benchmarks: the report tables' speed, the backlink import, whole demo reports, then
# how long a browser takes to open a large HTML report.
bench: build
	$(BUILD)/bench/report_bench
	$(BUILD)/bench/import_bench
	$(BUILD)/bench/history_bench
	$(BUILD)/bench/reader_bench
	bench/report-speed $(BUILD)
	bench/html-open-speed $(BUILD)

format:
	find src tests bench fuzz -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD) $(FUZZ_BUILD)
