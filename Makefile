# Front door: `make play` and `make test` set up a fresh Debian 12 machine and run the game or its tests.
BUILD   ?= build
JOBS    ?= $(shell nproc)
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps configure build play test bench contact-sheet replays-record clean

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

# Records the journals of tests/replays/ again from their scripts (after a change of rules or screens).
replays-record: build
	@bash tests/replays/record.sh $(BUILD)

clean:
	rm -rf $(BUILD)
