# Dalvery: two commands on a fresh Debian 12 machine.
#   make run    builds and opens the program; without a desktop, it shows a
#               scripted tour on a virtual display and saves its pictures
#   make test   builds and runs every test, then again built with the
#               address and undefined-behaviour sanitizers (build-asan/)
# Both install the Debian packages they need first (as root), or print the
# exact apt-get line to run when they cannot. Besides them:
#   make bench        builds an optimised program and the benchmarks in bench/
#                     and runs them on a virtual display (docs/performance.md)
#   make screenshots  takes the README's pictures again with the tour
#   make test-debian13  (as root) make test from a clone in /root of a fresh,
#                     minimal Debian 13, then the package installed there

BUILD_DIR ?= build
SANITIZE_BUILD_DIR ?= build-asan
BENCH_DIR ?= build-release
BENCH_RESULTS := $(BENCH_DIR)/bench-results.txt
JOBS ?= 2

PACKAGES := build-essential cmake pkg-config libfltk1.3-dev fluid \
            libgl-dev libglu1-mesa-dev libegl-dev libgl1-mesa-dri \
            libgtest-dev xvfb xauth x11-utils libx11-dev libxtst-dev libpng-dev \
            valgrind
BENCH_PACKAGES := libbenchmark-dev

# -noreset: without it the server resets whenever its last client leaves,
# and a test connecting during the reset fails with "Can't open display".
XVFB_ARGS := -screen 0 1280x1024x24 -noreset

TOUR := ./$(BUILD_DIR)/tests/e2e/dalvery_tour

# The README's pictures, from the tour: tour picture=name under docs/.
README_PICTURES := 01-site=screenshot \
                   03-truck-machine-camera=truck-machine-camera \
                   08-crane-rock=crane-rock \
                   11-excavator-machine-camera=excavator-machine-camera \
                   17-world-turned-panned=world-turned-panned

.PHONY: run test build build-sanitize deps bench bench-deps clean screenshots \
        test-debian13

run: build
	@if [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; then \
		./$(BUILD_DIR)/dalvery; \
	else \
		echo "No X display is reachable (DISPLAY='$$DISPLAY'): showing a scripted tour on a virtual display instead."; \
		$(TOUR) $(BUILD_DIR)/tour; \
	fi

screenshots: build
	$(TOUR) $(BUILD_DIR)/tour
	@for p in $(README_PICTURES); do \
		cp $(BUILD_DIR)/tour/$${p%%=*}.png docs/$${p#*=}.png && echo "docs/$${p#*=}.png"; \
	done

test: build build-sanitize
	xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS)
	xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(SANITIZE_BUILD_DIR) --output-on-failure -j$(JOBS)

# The fresh system is made in /var/tmp and removed at the end (tests/debian13.sh).
test-debian13:
	@$(call install-packages,debootstrap git)
	tests/debian13.sh

build: deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD_DIR) -j$(JOBS)

build-sanitize: deps
	cmake -S . -B $(SANITIZE_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DDALVERY_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD_DIR) -j$(JOBS)

deps:
	@$(call install-packages,$(PACKAGES))

bench-deps:
	@$(call install-packages,$(PACKAGES) $(BENCH_PACKAGES))

# Installs the packages of $(1) that are missing, or names them when not root.
# They are gathered on one line, each after a space, so that the command
# printed for a user without root is one line to copy whole.
define install-packages
missing=$$(for p in $(1); do \
	dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q "install ok installed" || printf ' %s' $$p; \
done); \
if [ -n "$$missing" ]; then \
	if [ "$$(id -u)" -eq 0 ]; then \
		echo "Installing:$$missing"; \
		apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $$missing; \
	else \
		echo "Missing Debian packages; install them with: sudo apt-get install -y$$missing" >&2; \
		exit 1; \
	fi; \
fi
endef

# All run on a virtual display: the frame benchmark renders headless but
# lists the machines in the real window's list, which measures text. Each
# appends its figures to $(BENCH_RESULTS), and the summary judges them.
bench: bench-deps
	cmake -S . -B $(BENCH_DIR) -DCMAKE_BUILD_TYPE=Release -DDALVERY_BENCH=ON
	cmake --build $(BENCH_DIR) -j$(JOBS) --target benchmarks
	rm -f $(BENCH_RESULTS)
	xvfb-run -a -s "$(XVFB_ARGS)" sh -e -c '\
		$(BENCH_DIR)/bench/frame_bench $(BENCH_RESULTS); \
		$(BENCH_DIR)/bench/event_bench $(BENCH_RESULTS); \
		$(BENCH_DIR)/bench/startup_bench $(BENCH_DIR)/dalvery $(BENCH_DIR)/bench/least_gl_window $(BENCH_RESULTS)'
	$(BENCH_DIR)/bench/bench_summary $(BENCH_RESULTS)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR) $(BENCH_DIR)
