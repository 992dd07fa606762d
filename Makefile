# The commands of the README; each installs what is missing first.
JOBS ?= 2

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := profile command_line cam_number jet_sql

.PHONY: demo test bench stress fuzz deps

deps:
	@bash scripts/install-deps

build/Tools/Lobix_Config: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS)

demo: build/Tools/Lobix_Config
	bash scripts/run-demo build

test: deps
	bash scripts/check-includes
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DLOBIX_SANITIZE=ON
	cmake --build build-test -j $(JOBS)
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build/Tools/Lobix_Config
	build/bench/lobix_bench
	build/bench/lobix_jet_bench

# The silent OK run through the fault seam failing, and killed at, every call it makes instead of
# a spread of them, then the largest project run once whole under valgrind on the build without
# sanitizers.
stress: test build/Tools/Lobix_Config
	cd build-test && QT_QPA_PLATFORM=offscreen LOBIX_FAULT_EVERY=1 ctest -R 'FaultSweep|KilledRun' -j $(JOBS) --output-on-failure
	bash scripts/valgrind-silent-run build

# Each fuzz target built with clang for libFuzzer and run for FUZZ_SECONDS; what it finds lands in
# build-fuzz/findings, the inputs it grew in build-fuzz/corpus.
fuzz: deps
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DLOBIX_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) $(addprefix --target fuzz_,$(FUZZ_TARGETS))
	mkdir -p build-fuzz/findings
	for t in $(FUZZ_TARGETS); do \
		mkdir -p build-fuzz/corpus/$$t && \
		build-fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=build-fuzz/findings/$$t- build-fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done
