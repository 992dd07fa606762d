# The two commands of the README; each installs what is missing first.
JOBS ?= 2

.PHONY: demo test bench stress deps

deps:
	@bash scripts/install-deps

build/Tools/Lobix_Config: deps
	cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
	cmake --build build -j $(JOBS)

demo: build/Tools/Lobix_Config
	bash scripts/run-demo build

test: deps
	cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DLOBIX_SANITIZE=ON
	cmake --build build-test -j $(JOBS)
	cd build-test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build/Tools/Lobix_Config
	build/bench/lobix_bench
	build/bench/lobix_jet_bench

# The silent OK run of the largest project killed at 200 moments instead of 20.
stress: test
	cd build-test && QT_QPA_PLATFORM=offscreen LOBIX_KILL_MOMENTS=200 tests/lobix_tests --gtest_filter='InterruptedRun.*'
