# Front door: `make play` and `make test` set up a fresh Debian 12 machine and run the game or its tests.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build play test playtest bench contact-sheet install uninstall package screenshots fuzz replays-record soak soak-build soak-ci soak-normal mutants clean
PREFIX  ?= /usr/local

all: build

deps:
	@bash scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

play: build
	./$(BUILD)/ombrivale

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# Robustness. The soak runs the real loop headless under random input in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer (its own folder; it reads the data of the normal build) and kills a saving process
# SOAK_KILLS times; any sanitizer report, watchdog, damaged file, torn save or (from 20,000 frames on) a required
# screen never reached fails it. CI runs `make soak-ci` (20,000 frames, then 200,000 without the rasteriser). `make soak-normal` runs the soak on the
# normal build, for its resident-memory figures. With SOAK_RASTER=0 (the default for the long runs) SDL's software
# rasteriser is left out: the game's own code runs in full, about thirty times as many frames a second; CI's soak
# rasterises every frame.
SOAK_BUILD  ?= build-soak
SOAK_FRAMES ?= 1000000
SOAK_SEED   ?= 1
SOAK_KILLS  ?= 250
SOAK_RASTER ?= 0
CI_SOAK_FRAMES ?= 20000
CI_SOAK_KILLS  ?= 40
CI_SOAK_LONG   ?= 200000
SOAK_FLAGS  ?= -O1 -g -fno-sanitize-recover=all

soak-build: build
	@cmake -S . -B $(SOAK_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DOMBRIVALE_SANITIZE=ON \
	  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$(SOAK_FLAGS)" >/dev/null
	@cmake --build $(SOAK_BUILD) -j $(JOBS) --target ombrivale-soak

soak: soak-build
	ASAN_OPTIONS=halt_on_error=1:detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  ./$(SOAK_BUILD)/ombrivale-soak --frames $(SOAK_FRAMES) --seed $(SOAK_SEED) --kills $(SOAK_KILLS) \
	  $(if $(filter 0,$(SOAK_RASTER)),--no-raster) --data $(BUILD)

# CI: the 20,000-frame soak rasterised, 200,000 frames of another seed without the rasteriser, then three quits through the quit dialog out by the game's exit path (the sound's
# thread must be stopped before what it mixes is freed).
soak-ci:
	@$(MAKE) --no-print-directory soak SOAK_FRAMES=$(CI_SOAK_FRAMES) SOAK_KILLS=$(CI_SOAK_KILLS) SOAK_RASTER=1
	@$(MAKE) --no-print-directory soak SOAK_FRAMES=$(CI_SOAK_LONG) SOAK_SEED=2 SOAK_KILLS=0
	for s in 1 2 3; do \
	  ASAN_OPTIONS=halt_on_error=1:detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    ./$(SOAK_BUILD)/ombrivale-soak --frames 5000 --seed $$s --quit-at $$((100 * s)) --data $(BUILD) || exit 1; \
	done

soak-normal: build
	cd $(BUILD) && ./ombrivale-soak --frames $(SOAK_FRAMES) --seed $(SOAK_SEED) --kills $(SOAK_KILLS) \
	  $(if $(filter 0,$(SOAK_RASTER)),--no-raster) --data .

# Mutation check: every change listed in tests/mutants.txt, one at a time, against the tests that guard it.
mutants: deps
	bash tools/mutants/run.sh build-mutants

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benches
	bash bench/run.sh $(BUILD)

# The casual player model over every level: table, CSV and plot in $(BUILD)/playtest/ (README, level section).
PLAYTEST_PLAYS      ?= 50
PLAYTEST_DIFFICULTY ?= 1,3,4
PLAYTEST_PLAYERS    ?= casual,blaster
playtest: build
	nice -n 10 ./$(BUILD)/ombrivale-levels playtest $(BUILD)/data/levelz/levels.lvl --plays $(PLAYTEST_PLAYS) \
	  --difficulty $(PLAYTEST_DIFFICULTY) --players $(PLAYTEST_PLAYERS) --out $(BUILD)/playtest/playtest

contact-sheet: build
	@cmake --build $(BUILD) -j $(JOBS) --target contact-sheet
	@bash tools/levels/sheets.sh $(BUILD) $(BUILD)/contact/levels

# DESTDIR is honoured; the files installed are kept in $(BUILD)/installed_files.txt for uninstall.
install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix $(PREFIX)
	cp $(BUILD)/install_manifest.txt $(BUILD)/installed_files.txt

uninstall:
	DESTDIR="$(DESTDIR)" bash scripts/uninstall.sh $(BUILD)/installed_files.txt

# A Debian package in $(BUILD)/package/.
package: build
	cd $(BUILD) && cpack -G DEB

# The README's pictures, rendered by the screenshot tool.
screenshots: build
	bash scripts/screenshots.sh $(BUILD) docs/screenshots

# Loader fuzzers (libFuzzer with AddressSanitizer and UndefinedBehaviorSanitizer, built with clang in their own
# folder); each runs FUZZ_SECONDS. Non-zero exit on any finding.
FUZZ_BUILD   ?= build-fuzz
FUZZ_SECONDS ?= 60
fuzz: deps
	@CC=clang-14 CXX=clang++-14 cmake -S . -B $(FUZZ_BUILD) -DOMBRIVALE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(FUZZ_BUILD) -j $(JOBS)
	bash tests/fuzz/run.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Records the journals of tests/replays/ again from their scripts (after a change of rules or screens).
replays-record: build
	@bash tests/replays/record.sh $(BUILD)

clean:
	rm -rf $(BUILD)
