# Two commands do everything on a fresh Debian/Ubuntu machine: `make run` and `make test`.
BUILD ?= build
JOBS ?= $(shell nproc)
# `make install PREFIX=... DESTDIR=...`: where the installed copy goes.
PREFIX ?= /usr/local

.PHONY: all deps deps-windows configure build run test bench fuzz format install package clean

all: build

deps:
	@bash scripts/install-deps.sh

# The tests also build and run the Windows side: mingw-w64 and wine.
deps-windows:
	@bash scripts/install-deps.sh --windows

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/mbmzembrel

# Most tests wait for batches and the programs they start, so twice as many run as there are cores.
TEST_JOBS ?= $(shell echo $$(( $(JOBS) * 2 )))

test: deps-windows build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS)

install: build
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# `make package`: the Debian package $(BUILD)/mbmzembrel_<version>_<arch>.deb, installed under /usr.
package: build
	@cmake --build $(BUILD) --target package

bench: build
	@bash scripts/bench.sh $(BUILD)

format:
	@bash scripts/check-format.sh --fix

fuzz: deps
	@bash scripts/fuzz.sh

clean:
	rm -rf $(BUILD)
