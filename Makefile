# Two entry points: `make run` and `make test`. Both install what is missing first.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
CMAKE_FLAGS ?=

.PHONY: all deps configure build run test bench clean

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
	@$(BUILD_DIR)/app/tsukio-cal/tsukio-cal today
	@echo
	@$(BUILD_DIR)/app/tsukio-cal/tsukio-cal month

test: build
	@cd $(BUILD_DIR) && ctest --output-on-failure

bench: build
	@QT_QPA_PLATFORM=offscreen $(BUILD_DIR)/bench/tsukio-bench

clean:
	rm -rf $(BUILD_DIR)
