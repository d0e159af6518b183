# Front door: `make play` and `make test` set up a fresh Debian 12 machine and run the game or its tests.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build play test bench contact-sheet install uninstall package screenshots fuzz replays-record clean
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

bench: build
	@cmake --build $(BUILD) -j $(JOBS) --target benches
	bash bench/run.sh $(BUILD)

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
