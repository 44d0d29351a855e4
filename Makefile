# Two entry points: `make run` and `make test`. Both install what is missing first.
# `make test-linux` is `make test` without the Windows side: no cross compiler, no wine.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=
PREFIX ?= /usr/local

WINDOWS_BUILD_DIR ?= build-windows
FUZZ_SECONDS ?= 60

.PHONY: all deps configure build run test test-linux test-plasma test-gnome fuzz bench almanac install uninstall package clean \
        windows windows-configure windows-installer

all: build

deps:
	@./scripts/install-deps.sh

configure: deps
	@if [ ! -f $(BUILD_DIR)/build.ninja ]; then \
	  cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null; \
	fi

build: configure
	@cmake --build $(BUILD_DIR)

run: build
	@if [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	  $(BUILD_DIR)/app/tsukio/tsukio; \
	else \
	  echo "No graphical session here (neither DISPLAY nor WAYLAND_DISPLAY is set): showing today instead."; \
	  $(BUILD_DIR)/app/tsukio-cal/tsukio-cal today; \
	  echo; \
	  $(BUILD_DIR)/app/tsukio-cal/tsukio-cal month; \
	fi

test: build windows-installer
	@cd $(BUILD_DIR) && ctest --output-on-failure -LE gnome
	@cd $(WINDOWS_BUILD_DIR) && ctest --output-on-failure

test-linux: build
	@cd $(BUILD_DIR) && ctest --output-on-failure -LE gnome

# Windows: cross-built with mingw-w64 (x86_64) into $(WINDOWS_BUILD_DIR). The application
# icon comes from the Linux build, which draws it.
windows-configure: configure
	@./scripts/install-deps.sh windows
	@cmake --build $(BUILD_DIR) --target tsukio_icon_theme tsukio-cal
	@if [ ! -f $(WINDOWS_BUILD_DIR)/build.ninja ]; then \
	  cmake -S . -B $(WINDOWS_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/mingw-w64-x86_64.cmake \
	    -DTSUKIO_ICON_THEME=$(abspath $(BUILD_DIR))/icons/hicolor \
	    -DTSUKIO_HOST_CAL=$(abspath $(BUILD_DIR))/app/tsukio-cal/tsukio-cal >/dev/null; \
	fi

windows: windows-configure
	@cmake --build $(WINDOWS_BUILD_DIR)

# The installer: $(WINDOWS_BUILD_DIR)/tsukio-setup-<version>.exe
windows-installer: windows
	@cmake --build $(WINDOWS_BUILD_DIR) --target installer

# The tray in KDE Plasma, end to end. Not part of `make test`: Plasma is large and slow to
# start, so it is installed and run only on request.
test-plasma: build
	@./scripts/install-deps.sh plasma
	@bash tests/e2e/plasma_e2e.sh $(BUILD_DIR)/app/tsukio/tsukio $(BUILD_DIR)/app/tsukio-cal/tsukio-cal

# The tray in GNOME Shell with its AppIndicator extension, end to end. Not part of `make test`:
# it waits for two turns of the minute, about two minutes; `.ci/run` runs it after `make test`.
test-gnome: build
	@./scripts/install-deps.sh gnome
	@cd $(BUILD_DIR) && ctest --output-on-failure -L gnome

# Every parser of outside input under libFuzzer (clang), FUZZ_SECONDS each, from the corpus
# in tests/fuzz/corpus; built in build-fuzz. Fails on any finding, which stays in
# build-fuzz/findings.
fuzz: deps
	@scripts/fuzz.sh $(FUZZ_SECONDS) build-fuzz

# One table, each figure beside its baseline from the same run; takes about four minutes.
# The Google Benchmark suite alone: $(BUILD_DIR)/bench/tsukio-bench
bench: build
	@python3 bench/bench.py $(BUILD_DIR)

# Rewrites the compiled-in almanac table from its generator; the next build compiles it in.
almanac: build
	@$(BUILD_DIR)/tools/almanac/tsukio-almanac 1900 2100 > resources/almanac.txt.new
	@mv resources/almanac.txt.new resources/almanac.txt
	@cmake --build $(BUILD_DIR)

# Installs under PREFIX (with DESTDIR in front when set), and keeps the list of the files
# it installed for `make uninstall`: cmake's own list is rewritten by every install,
# `make package`'s included.
install: build
	@cmake --install $(BUILD_DIR) --prefix $(PREFIX)
	@sed 's|^|$(DESTDIR)|' $(BUILD_DIR)/install_manifest.txt > $(BUILD_DIR)/installed-files.txt

uninstall:
	@if [ ! -f $(BUILD_DIR)/installed-files.txt ]; then \
	  echo "Nothing to uninstall: no $(BUILD_DIR)/installed-files.txt from \`make install\`."; \
	else \
	  xargs -d '\n' rm -fv < $(BUILD_DIR)/installed-files.txt; \
	  rm -f $(BUILD_DIR)/installed-files.txt; \
	fi

# The Debian package, in the build folder: tsukio_<version>-1_<arch>.deb
package: build
	@cmake --build $(BUILD_DIR) --target package

clean:
	rm -rf $(BUILD_DIR) $(WINDOWS_BUILD_DIR) build-fuzz
