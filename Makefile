# The commands of the README; each installs what it needs and builds only that.
JOBS ?= 2

FUZZ_SECONDS ?= 60
FUZZ_TARGETS := profile command_line cam_number jet_sql

.PHONY: demo program test bench stress fuzz

# The program alone, built for use in build/.
program:
	bash scripts/install-deps demo
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS) --target Lobix_Config

demo: program
	bash scripts/run-demo build

# The program and every test, under both sanitizers, warnings as errors.
test:
	bash scripts/install-deps test
	bash scripts/check-format
	bash scripts/check-includes
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DLOBIX_TESTS=ON -DLOBIX_SANITIZE=ON -DLOBIX_WERROR=ON
	cmake --build build-test -j $(JOBS)
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench:
	bash scripts/install-deps bench
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DLOBIX_BENCH=ON
	cmake --build build -j $(JOBS) --target lobix_bench lobix_jet_bench
	build/bench/lobix_bench
	build/bench/lobix_jet_bench

# The silent OK run through the fault seam failing, and killed at, every call it makes instead of
# a spread of them, then the largest project run once whole under valgrind on the build without
# sanitizers.
stress: test program
	bash scripts/install-deps stress
	cd build-test && QT_QPA_PLATFORM=offscreen LOBIX_FAULT_EVERY=1 ctest -R 'FaultSweep|KilledRun' -j $(JOBS) --output-on-failure
	bash scripts/valgrind-silent-run build

# Each fuzz target built with clang for libFuzzer and run for FUZZ_SECONDS; what it finds lands in
# build-fuzz/findings, the inputs it grew in build-fuzz/corpus.
fuzz:
	bash scripts/install-deps fuzz
	cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DLOBIX_FUZZ=ON
	cmake --build build-fuzz -j $(JOBS) $(addprefix --target fuzz_,$(FUZZ_TARGETS))
	mkdir -p build-fuzz/findings
	for t in $(FUZZ_TARGETS); do \
		mkdir -p build-fuzz/corpus/$$t && \
		build-fuzz/fuzz/fuzz_$$t -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
			-artifact_prefix=build-fuzz/findings/$$t- build-fuzz/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done
