# Dalvery: two commands on a fresh Debian 12 or 13 machine.
#   make run    builds the program optimised and opens it; without a desktop,
#               it shows a scripted tour on a virtual display and saves its
#               pictures
#   make test   builds and runs every test, then again built with the
#               address and undefined-behaviour sanitizers (build-asan/)
# Both install the Debian packages they need first (as root), or print the
# exact apt-get line to run when they cannot. Besides them:
#   make bench        builds an optimised program and the benchmarks in bench/
#                     and runs them on a virtual display (docs/performance.md)
#   make screenshots  takes the README's pictures again with the tour
#   make icons        takes the desktop icons again with the tour
#   make install      builds the optimised program into build-release/ and
#                     installs it under PREFIX (/usr/local), honouring DESTDIR
#   make uninstall    removes the files the last make install wrote
#   make package      builds the Debian package build-release/dalvery_*.deb
#   make test-debian13  (as root) make test from a clone in /root of a fresh,
#                     minimal Debian 13, then the package installed there
#   make windows      cross-builds the Windows program, its zip and its
#                     installer into build-windows/ (FLTK_SOURCE=PATH: FLTK's
#                     release tarball or tree; without it, FLTK is cloned)
#   make test-windows the Windows build's tests under Wine (Wine 10: Debian 13)

BUILD_DIR ?= build
SANITIZE_BUILD_DIR ?= build-asan
# The optimised build: what `make run` opens, and what the benchmarks measure.
RELEASE_DIR ?= build-release
BENCH_RESULTS := $(RELEASE_DIR)/bench-results.txt
PREFIX ?= /usr/local
JOBS ?= 2

# Debian 12 has FLTK 1.3 alone; later releases have FLTK 1.4 beside it, which
# we take (the two -dev packages conflict, so apt swaps one for the other).
FLTK_PACKAGES := $(if $(shell grep -sx 'VERSION_CODENAME=bookworm' /etc/os-release),libfltk1.3-dev,libfltk1.4-dev)
# Non-empty where FLTK 1.4 is, which speaks Wayland as well as X11.
FLTK_WAYLAND := $(filter libfltk1.4-dev,$(FLTK_PACKAGES))

# What building the program alone needs (make install, make package):
# build-essential brings dpkg-buildflags, and dpkg-shlibdeps, which CPack
# hands the program to once `file` says it is ELF.
PROGRAM_PACKAGES := build-essential cmake $(FLTK_PACKAGES) libgl-dev libglu1-mesa-dev
PACKAGE_PACKAGES := $(PROGRAM_PACKAGES) file
# Running it needs Mesa's drivers, and x11-utils tells whether a display is
# up; the tour's driver needs the X test extension, libpng, a JSON reader
# (for sway's replies) and Xvfb.
RUN_PACKAGES := $(PROGRAM_PACKAGES) libgl1-mesa-dri x11-utils
TOUR_PACKAGES := $(RUN_PACKAGES) xvfb xauth libx11-dev libxtst-dev libpng-dev nlohmann-json3-dev
# The tests also build the package and check it with lintian, appstreamcli
# (appstream) and hardening-check, from devscripts, whose recommended
# packages (a hundred, the Debian keyring among them) they do not need.
# With FLTK 1.4 the program also runs natively on Wayland, tested under a
# headless sway whose screen grim takes.
WAYLAND_TEST_PACKAGES := $(if $(FLTK_WAYLAND),sway grim)
TEST_PACKAGES := $(TOUR_PACKAGES) $(PACKAGE_PACKAGES) libegl-dev libgtest-dev valgrind \
                 desktop-file-utils openbox lintian appstream $(WAYLAND_TEST_PACKAGES)
TEST_PACKAGES_ALONE := devscripts
BENCH_PACKAGES := $(TEST_PACKAGES) libbenchmark-dev
ICON_PACKAGES := imagemagick
# The Windows build: mingw-w64's cross compiler, NSIS for the installer,
# icoutils for the icon, git for cloning FLTK. Its tests start it under Wine
# with the end-to-end driver of the test build.
WINDOWS_PACKAGES := cmake g++-mingw-w64-x86-64-posix nsis icoutils git
WINDOWS_TEST_PACKAGES := wine wine64

# -noreset: without it the server resets whenever its last client leaves,
# and a test connecting during the reset fails with "Can't open display".
XVFB_ARGS := -screen 0 1280x1024x24 -noreset

TOUR := ./$(RELEASE_DIR)/tour/dalvery_tour
TOUR_PICTURES := $(RELEASE_DIR)/tour-pictures

# The README's pictures, from the tour: tour picture=name under docs/.
README_PICTURES := 01-site=screenshot \
                   03-truck-machine-camera=truck-machine-camera \
                   08-crane-rock=crane-rock \
                   11-excavator-machine-camera=excavator-machine-camera \
                   17-world-turned-panned=world-turned-panned

.PHONY: run test build build-sanitize program tour deps program-deps tour-deps \
        test-deps bench-deps bench clean screenshots icons icon-deps install \
        uninstall package test-debian13 windows test-windows test-windows-deps

# Builds only what it runs: the program, and the tour only without a desktop,
# which is an X display that answers or, with FLTK 1.4, a Wayland socket.
run: deps
	@if { [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; } || \
	    { [ -n "$(FLTK_WAYLAND)" ] && [ -n "$$WAYLAND_DISPLAY" ] && \
	      [ -S "$$XDG_RUNTIME_DIR/$$WAYLAND_DISPLAY" ]; }; then \
		$(MAKE) --no-print-directory program && ./$(RELEASE_DIR)/dalvery; \
	else \
		echo "No desktop is reachable (DISPLAY='$$DISPLAY', WAYLAND_DISPLAY='$$WAYLAND_DISPLAY'): showing a scripted tour on a virtual display instead."; \
		$(MAKE) --no-print-directory tour && $(TOUR) $(TOUR_PICTURES); \
	fi

screenshots: tour
	$(TOUR) $(TOUR_PICTURES)
	@for p in $(README_PICTURES); do \
		cp $(TOUR_PICTURES)/$${p%%=*}.png docs/$${p#*=}.png && echo "docs/$${p#*=}.png"; \
	done

# One optimised build, without the tests, serves make run, install, package
# and bench. It takes the flags that dpkg-buildflags gives Debian's own
# packages on this release, hardening all included; the Release type adds
# -O3 and -DNDEBUG after them. Each target says which parts it builds, so
# install and package need the program's build dependencies alone.
# RELEASE_OPTIONS: more options for its cmake.
RELEASE_OPTIONS ?=
define configure-release
flag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get $$1; }; \
cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DDALVERY_TESTS=OFF $(1) \
	-DCMAKE_CXX_FLAGS="$$(flag CPPFLAGS) $$(flag CXXFLAGS)" \
	-DCMAKE_EXE_LINKER_FLAGS="$$(flag LDFLAGS)" $(RELEASE_OPTIONS)
endef

program: program-deps
	$(call configure-release,-DDALVERY_TOUR=OFF -DDALVERY_BENCH=OFF)
	cmake --build $(RELEASE_DIR) -j$(JOBS)

tour: tour-deps
	$(call configure-release,-DDALVERY_TOUR=ON -DDALVERY_BENCH=OFF)
	cmake --build $(RELEASE_DIR) -j$(JOBS) --target dalvery_tour

# The desktop icons, from the tour's first picture (the site as the program
# opens), cropped in window pixels: the truck, excavator and crane for the
# larger sizes; the truck and excavator alone for the smallest, where the
# crane's lattice would fade into the sky.
ICON_SIZES := 16 32 48 64 128 256
ICON_CROP_SITE := 320x320+170+40
ICON_CROP_CLOSE := 176x176+176+160

icons: tour icon-deps
	$(TOUR) $(TOUR_PICTURES)
	@for s in $(ICON_SIZES); do \
		if [ $$s -le 32 ]; then crop=$(ICON_CROP_CLOSE); else crop=$(ICON_CROP_SITE); fi; \
		convert $(TOUR_PICTURES)/01-site.png -crop $$crop +repage -resize $${s}x$${s} \
			-strip desktop/icons/dalvery-$$s.png && echo "desktop/icons/dalvery-$$s.png"; \
	done

icon-deps:
	@$(call install-packages,$(ICON_PACKAGES))

test: build build-sanitize
	xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS) -LE windows
	xvfb-run -a -s "$(XVFB_ARGS)" ctest --test-dir $(SANITIZE_BUILD_DIR) --output-on-failure -j$(JOBS)

# The Windows program, cross-compiled, and its zip and installer (CPack):
# windows/ holds what is Windows' alone. FLTK_SOURCE is kept by the build
# once given.
WINDOWS_DIR ?= build-windows
windows:
	@$(call install-packages,$(WINDOWS_PACKAGES))
	cmake -S . -B $(WINDOWS_DIR) -DCMAKE_TOOLCHAIN_FILE=windows/mingw-w64-x86_64.cmake \
		-DCMAKE_BUILD_TYPE=Release -DDALVERY_TESTS=OFF $(if $(FLTK_SOURCE),-DFLTK_SOURCE=$(abspath $(FLTK_SOURCE)))
	cmake --build $(WINDOWS_DIR) -j$(JOBS)
	cd $(WINDOWS_DIR) && cpack
	@ls -l $(WINDOWS_DIR)/dalvery.exe $(WINDOWS_DIR)/dalvery-*-win64*

# The test build's tests of the Windows build, labelled windows (tests/windows/).
test-windows: test-windows-deps windows build
	cmake -S . -B $(BUILD_DIR) -DDALVERY_WINDOWS_BUILD=$(abspath $(WINDOWS_DIR))
	cmake --build $(BUILD_DIR) -j$(JOBS)
	ctest --test-dir $(BUILD_DIR) --output-on-failure -j$(JOBS) -L windows

# The fresh system is made in /var/tmp and removed at the end (tests/debian13.sh).
test-debian13:
	@$(call install-packages,debootstrap git)
	tests/debian13.sh

build: test-deps
	cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(BUILD_DIR) -j$(JOBS)

build-sanitize: test-deps
	cmake -S . -B $(SANITIZE_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DDALVERY_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD_DIR) -j$(JOBS)

deps:
	@$(call install-packages,$(RUN_PACKAGES))

program-deps:
	@$(call install-packages,$(PROGRAM_PACKAGES))

tour-deps:
	@$(call install-packages,$(TOUR_PACKAGES))

test-deps:
	@$(call install-packages,$(TEST_PACKAGES))
	@$(call install-packages,$(TEST_PACKAGES_ALONE),--no-install-recommends)

bench-deps:
	@$(call install-packages,$(BENCH_PACKAGES))

test-windows-deps:
	@$(call install-packages,$(WINDOWS_PACKAGES) $(WINDOWS_TEST_PACKAGES))

# Installs the packages of $(1) that are missing, with apt-get's options $(2),
# or names them when not root.
# They are gathered on one line, each once and after a space, so that the
# command printed for a user without root is one line to copy whole.
define install-packages
missing=$$(for p in $(sort $(1)); do \
	dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q "install ok installed" || printf ' %s' $$p; \
done); \
if [ -n "$$missing" ]; then \
	if [ "$$(id -u)" -eq 0 ]; then \
		echo "Installing:$$missing"; \
		apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $(2) $$missing; \
	else \
		echo "Missing Debian packages; install them with: sudo apt-get install -y$(if $(2), $(2))$$missing" >&2; \
		exit 1; \
	fi; \
fi
endef

# All run on a virtual display: the frame benchmark renders headless but
# lists the machines in the real window's list, which measures text. Each
# appends its figures to $(BENCH_RESULTS), and the summary judges them.
bench: bench-deps
	$(call configure-release,-DDALVERY_TOUR=OFF -DDALVERY_BENCH=ON)
	cmake --build $(RELEASE_DIR) -j$(JOBS) --target benchmarks
	rm -f $(BENCH_RESULTS)
	xvfb-run -a -s "$(XVFB_ARGS)" sh -e -c '\
		$(RELEASE_DIR)/bench/frame_bench $(BENCH_RESULTS); \
		$(RELEASE_DIR)/bench/event_bench $(BENCH_RESULTS); \
		$(RELEASE_DIR)/bench/startup_bench $(RELEASE_DIR)/dalvery $(RELEASE_DIR)/bench/least_lit_window \
			$(RELEASE_DIR)/bench/least_gl_window $(BENCH_RESULTS)'
	$(RELEASE_DIR)/bench/bench_summary $(BENCH_RESULTS)

# CMake's manifest lists the files of the last install without DESTDIR, so
# each install adds them, DESTDIR included, to a list of its own that make
# uninstall removes: files only, as directories may hold others' files too.
INSTALLED := $(RELEASE_DIR)/installed-files.txt

install: program
	DESTDIR="$(DESTDIR)" cmake --install $(RELEASE_DIR) --prefix "$(PREFIX)" --strip
	sed 's|^|$(DESTDIR)|' $(RELEASE_DIR)/install_manifest.txt >> $(INSTALLED)
	sort -u -o $(INSTALLED) $(INSTALLED)

uninstall:
	@if [ -f $(INSTALLED) ]; then \
		xargs -r -d '\n' rm -fv < $(INSTALLED) && rm $(INSTALLED); \
	else \
		echo "Nothing to remove: $(INSTALLED) is missing (make install writes it)."; \
	fi

package: program
	@$(call install-packages,$(PACKAGE_PACKAGES))
	cpack --config $(RELEASE_DIR)/CPackConfig.cmake -B $(RELEASE_DIR)

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR) $(RELEASE_DIR) $(WINDOWS_DIR)
