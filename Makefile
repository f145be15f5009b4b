# The two commands of the README:
#   make run   installs what is missing, builds, and starts Brisden on the sample portfolio
#   make test  installs what is missing, builds, and runs every test
# and the checked build:
#   make test-asan  every test again, built by clang in Debug with AddressSanitizer and
#                   UndefinedBehaviorSanitizer (build-asan/; any report fails the test)
#   make fuzz       each fuzz target of that build for FUZZ_SECONDS (default 600)
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 600

.PHONY: deps configure build run test bench clean format configure-asan test-asan fuzz

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@scripts/run-sample.sh $(BUILD)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

bench: build
	@for b in $(BUILD)/bin/bench_*; do echo "== $$b"; $$b; done

# One clang build serves the sanitized tests and the fuzz targets (no benchmarks).
configure-asan: deps
	@CXX=clang++ cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DBRISDEN_FUZZ=ON \
		-DBRISDEN_BUILD_BENCH=OFF >/dev/null

test-asan: configure-asan
	@cmake --build $(ASAN_BUILD) -j$(JOBS)
	@cd $(ASAN_BUILD) && ctest --output-on-failure -j$(JOBS)

fuzz: configure-asan
	@cmake --build $(ASAN_BUILD) -j$(JOBS) --target fuzz_targets
	@scripts/fuzz.sh $(ASAN_BUILD) $(FUZZ_SECONDS)

format:
	@clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD)
