# Orvanel: `make run` installs what is missing, builds and starts the program;
# `make test` installs, builds and runs every test.
BUILD      ?= build
BUILD_SAN  ?= build-sanitize
RUN_DIR    ?= run
JOBS       ?= $(shell nproc)
CMAKE_ARGS ?=
FUZZ_SECONDS ?= 60

# Debian packages the build and the tests need.
PACKAGES = cmake ninja-build g++ qt6-base-dev qt6-base-dev-tools libgl-dev libbenchmark-dev \
           clang libclang-rt-dev xvfb xauth xdotool x11-utils imagemagick desktop-file-utils \
           hamradio-files python3 file fonts-dejavu-core fonts-liberation2 qt6-translations-l10n dpkg-dev \
           libhamlib-utils libxxhash-dev libicu-dev poppler-utils shared-mime-info xdg-utils \
           python3-pyatspi at-spi2-core dbus-x11 tzdata xclip

.PHONY: all deps build run test test-sanitize bench fuzz package clean

all: build

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	  if [ "$$(id -u)" = 0 ]; then apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then sudo apt-get update -qq && sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	  else echo "Faltan paquetes. Instálelos con:"; echo "  sudo apt-get install $$missing"; exit 1; fi; \
	fi

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_ARGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@mkdir -p $(RUN_DIR)
	@[ -e $(RUN_DIR)/dxcc.dat ] || cp data/dxcc.dat $(RUN_DIR)/dxcc.dat
	@[ -e $(RUN_DIR)/cty.csv ] || cp data/cty.csv $(RUN_DIR)/cty.csv
	cd $(RUN_DIR) && ../$(BUILD)/orvanel

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

test-sanitize: deps
	cmake -S . -B $(BUILD_SAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DORVANEL_SANITIZE=ON
	cmake --build $(BUILD_SAN) -j $(JOBS)
	cd $(BUILD_SAN) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS) -E smoke

bench: deps
	cmake -S . -B $(BUILD)-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DORVANEL_BENCH=ON
	cmake --build $(BUILD)-bench -j $(JOBS) --target orvanel-bench
	./$(BUILD)-bench/bench/orvanel-bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
	  --benchmark_out=$(BUILD)-bench/bench.json --benchmark_out_format=json $(BENCH_ARGS)
	@# A report, not a gate: a target missed on a busy machine is shown in the table, not fatal.
	python3 scripts/bench_table.py $(BUILD)-bench/bench.json || echo "bench: some targets were missed in this run (see the table above)"

# Each reader of outside files fuzzed for FUZZ_SECONDS with AddressSanitizer and UBSan (clang).
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DORVANEL_FUZZ=ON -DORVANEL_SANITIZE=ON
	cmake --build $(BUILD)-fuzz -j $(JOBS) --target orvanel-fuzz
	bash fuzz/run.sh $(BUILD)-fuzz $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) $(BUILD_SAN) $(BUILD)-bench $(BUILD)-fuzz $(BUILD)-package

package: deps
	cmake -S . -B $(BUILD)-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
	cmake --build $(BUILD)-package -j $(JOBS) --target orvanel
	cd $(BUILD)-package && cpack -G DEB
