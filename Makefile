# The front door: `make test` and `make demo` do all the set-up themselves.
BUILD      ?= build
ASAN_BUILD ?= build-asan
TSAN_BUILD ?= build-tsan
JOBS       ?= $(shell nproc)

.PHONY: all deps build test test-release test-asan test-tsan demo bench format clean

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

# Everything that runs on many threads, under ThreadSanitizer; the window's
# tests are left out, as Debian's Qt is not built for it.
test-tsan: deps
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRAP_SANITIZE_THREAD=ON
	cmake --build $(TSAN_BUILD) -j $(JOBS)
	cd $(TSAN_BUILD) && ctest --output-on-failure -j $(JOBS)

test: test-release test-package test-asan test-tsan

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
	find src tests bench -name '*.cpp' -o -name '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(TSAN_BUILD)
