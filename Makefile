# Two entry points: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench memory almanac clean

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

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure

bench: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/tsukio-bench

memory: build
	@bench/memory.sh $(BUILD_DIR)

# Rewrites the compiled-in almanac table from its generator; the next build compiles it in.
almanac: build
	@$(BUILD_DIR)/tools/almanac/tsukio-almanac 1900 2100 > resources/almanac.txt.new
	@mv resources/almanac.txt.new resources/almanac.txt
	@cmake --build $(BUILD_DIR)

clean:
	rm -rf $(BUILD_DIR)
