# Zorvane: `make run` builds and starts the program, `make test` builds and
# runs every test. Both first install any missing Debian packages.
BUILD ?= build
BUILD_ASAN ?= build-asan
CMAKE_FLAGS ?=
# WERROR=ON turns compiler warnings into errors (CI builds that way).
WERROR ?= OFF
PREFIX ?= /usr/local

.PHONY: run test build deps deps-run test-asan install deb fuzz bench screenshot screenshot-characters clean

deps-run:
	@scripts/deps.sh --run-only

deps:
	@scripts/deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DZORVANE_WERROR=$(WERROR) $(CMAKE_FLAGS)

build: $(BUILD)/build.ninja
	cmake --build $(BUILD)

run: deps-run
	@$(MAKE) --no-print-directory build CMAKE_FLAGS="$(CMAKE_FLAGS) -DZORVANE_TESTS=OFF" BUILD=$(BUILD)-run
	$(BUILD)-run/zorvane

# The test build also builds the benchmarks (without running them), so that
# they keep compiling. A test that fails is run again, up to three times in
# all: the real-sound tests time a live sound server, which a busy machine
# can make underrun; a fault of the program fails every run.
test: deps
	@$(MAKE) --no-print-directory build CMAKE_FLAGS="$(CMAKE_FLAGS) -DZORVANE_BENCH=ON"
	scripts/with-sound-stack.sh ctest --test-dir $(BUILD) --output-on-failure -j2 --timeout 300 --repeat until-pass:3
	@command -v blender >/dev/null || echo "Blender add-on test skipped: blender is not installed (apt-get install blender)"

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer
# (LeakSanitizer on; any finding fails its test, with a stack trace). The fuzz
# target has a sanitized build of its own and the Debian package is built
# from a release tree, so neither runs here.
test-asan: deps
	@$(MAKE) --no-print-directory build BUILD=$(BUILD_ASAN) CMAKE_FLAGS="-DZORVANE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug"
	ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  scripts/with-sound-stack.sh ctest --test-dir $(BUILD_ASAN) --output-on-failure -j2 --timeout 600 --repeat until-pass:3

# Installs under PREFIX (default /usr/local).
install: deps-run
	@$(MAKE) --no-print-directory build CMAKE_FLAGS="$(CMAKE_FLAGS) -DZORVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=Release" BUILD=$(BUILD)-release
	cmake --install $(BUILD)-release --prefix "$(PREFIX)"

# A Debian package in $(BUILD)-release (install it with apt-get install ./zorvane_*.deb).
deb: deps
	@$(MAKE) --no-print-directory build CMAKE_FLAGS="$(CMAKE_FLAGS) -DZORVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr" BUILD=$(BUILD)-release
	cd $(BUILD)-release && cpack -G DEB
	@ls $(BUILD)-release/zorvane_*.deb

# The fuzz targets (clang 14, ASan + UBSan), one for each reader of users'
# files (fuzz/CMakeLists.txt lists them), each from its seed corpus in
# fuzz/corpus/<target>. FUZZ_SECONDS is spread evenly over the targets, one
# after another; what they find new stays in $(BUILD_FUZZ). The first
# finding stops the run with its input saved in $(BUILD_FUZZ)/artifacts.
BUILD_FUZZ ?= build-fuzz
FUZZ_SECONDS ?= 300
FUZZ_TARGETS = wav pgo dat breakdown_json mouth_set marks_file csv labels
fuzz: deps
	cmake -S fuzz -B $(BUILD_FUZZ) -G Ninja -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(BUILD_FUZZ)
	mkdir -p $(BUILD_FUZZ)/artifacts
	@each=$$(( $(FUZZ_SECONDS) / $(words $(FUZZ_TARGETS)) )); [ $$each -ge 1 ] || each=1; \
	for t in $(FUZZ_TARGETS); do \
	  dict=""; case $$t in breakdown_json|mouth_set|marks_file) dict=-dict=fuzz/json.dict;; esac; \
	  mkdir -p $(BUILD_FUZZ)/corpus/$$t; \
	  echo "== $$t: $$each s"; \
	  $(BUILD_FUZZ)/$${t}_fuzzer -rss_limit_mb=2048 -malloc_limit_mb=256 -timeout=20 $$dict \
	    -max_total_time=$$each -print_final_stats=1 \
	    -artifact_prefix=$(BUILD_FUZZ)/artifacts/$$t- $(BUILD_FUZZ)/corpus/$$t fuzz/corpus/$$t || exit 1; \
	done

# The benchmark table (bench/): a Release build of its own, then one run
# with Xvfb and a PulseAudio null sink (the playing and start-up rows need both).
BUILD_BENCH ?= build-bench
bench: deps
	@$(MAKE) --no-print-directory build BUILD=$(BUILD_BENCH) \
	  CMAKE_FLAGS="-DZORVANE_BENCH=ON -DZORVANE_TESTS=OFF -DCMAKE_BUILD_TYPE=Release"
	scripts/with-sound-stack.sh $(BUILD_BENCH)/bench/zorvane_bench

# docs/screenshot.png: the window zoomed in on the frame grid of a stereo WAV,
# with marks, a selection and the play line, taken on a private X display.
screenshot: deps
	@$(MAKE) --no-print-directory build
	scripts/with-sound-stack.sh scripts/screenshot-zoomed.sh $(BUILD)/zorvane docs/screenshot.png

# docs/characters.png: two characters' lanes under a two-voice scene.
screenshot-characters: deps
	@$(MAKE) --no-print-directory build
	scripts/with-sound-stack.sh scripts/screenshot-characters.sh $(BUILD)/zorvane docs/characters.png

clean:
	rm -rf $(BUILD) $(BUILD)-run $(BUILD)-release $(BUILD_ASAN) $(BUILD_FUZZ) $(BUILD_BENCH)
