# Two commands do all the set-up on a fresh Debian 12 machine:
#   make run    installs what is missing, builds and starts the workbench
#   make test   installs what is missing, builds and runs every test
BUILD      ?= build
GENERATOR  ?= Ninja
JOBS       ?= $(shell nproc)

.PHONY: all deps configure build test test-sanitize run install clean

all: build

deps:
	@scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G $(GENERATOR)

configure: deps $(BUILD)/build.ninja

build: configure
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

# The core, the command-line tool and their tests once more under AddressSanitizer with
# UndefinedBehaviorSanitizer, and under ThreadSanitizer (no Qt in either build).
test-sanitize: deps
	cmake -S . -B $(BUILD)-asan -G $(GENERATOR) -DVELMORA_GUI=OFF -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=address,undefined
	cmake --build $(BUILD)-asan -j $(JOBS)
	ctest --test-dir $(BUILD)-asan --output-on-failure -j $(JOBS)
	cmake -S . -B $(BUILD)-tsan -G $(GENERATOR) -DVELMORA_GUI=OFF -DCMAKE_BUILD_TYPE=Debug -DVELMORA_SANITIZE=thread
	cmake --build $(BUILD)-tsan -j $(JOBS)
	ctest --test-dir $(BUILD)-tsan --output-on-failure -j $(JOBS) -R 'Thread|Debug|Run'

run: build
	scripts/run-workbench.sh $(BUILD)

install: build
	cmake --install $(BUILD)

clean:
	rm -rf $(BUILD) $(BUILD)-asan $(BUILD)-tsan
