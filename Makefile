# Dalvery: two commands on a fresh Debian 12 or 13 machine.
#   make run    builds the program optimised and opens it; without a desktop,
#               it shows a scripted tour on a virtual display and saves its
#               pictures
#   make test   builds and runs every test, then again built with the
#               address and undefined-behaviour sanitizers (build-asan/)
# Both install the Debian packages they need first (as root), or print the
# exact apt-get line to run when they cannot. Besides them:
#   make check        the quick loop: builds and runs the unit tests alone
#                     (CTest label unit) in make test's build/, in seconds;
#                     LABEL=window (or e2e, reliability, package) builds
#                     everything and runs that kind instead, TESTS=Crane
#                     those of them whose names hold Crane
#   make run-checked  builds the checked program (Debug) in build/ and opens
#                     it: it stops, naming the machine, at a draw or camera
#                     that leaves the GL state broken
#   make bench        builds an optimised program and the benchmarks in bench/
#                     and runs them on a virtual display (docs/performance.md)
#   make screenshots  takes the README's pictures again with the tour
#   make icons        takes the desktop icons again with the tour
#   make install      builds the optimised program into build-release/ and
#                     installs it under PREFIX (/usr/local), honouring DESTDIR
#   make uninstall    removes the files the last make install wrote
#   make package      builds the source and binary Debian packages into
#                     build-release/package/; with ARCH=arm64 (or armhf...),
#                     cross-builds that architecture's binary package there
#   make test-debian13  (as root) make test from a clone in /root of a fresh,
#                     minimal Debian 13, the package built again byte for
#                     byte, by sbuild on Debian 13 and 12, its autopkgtest on
#                     the package installed, and the arm64 and armhf packages
#                     (tests/debian13.sh lists the stages)
#   make test-debian-testing  (as root) its first stages, to make test, on
#                     a fresh Debian testing
#   make windows      cross-builds the Windows program, its zip and its
#                     installer into build-windows/ (FLTK_SOURCE=PATH: FLTK's
#                     release tarball or tree; without it, FLTK is cloned)
#   make test-windows the Windows build's tests under Wine (Wine 10: Debian 13)

BUILD_DIR ?= build
SANITIZE_BUILD_DIR ?= build-asan
# The optimised build: what `make run` opens, and what the benchmarks measure.
RELEASE_DIR ?= build-release
BENCH_RESULTS := $(foreach b,frame event startup,$(RELEASE_DIR)/bench-$(b).json)
bench-out = --benchmark_out=$(RELEASE_DIR)/bench-$(1).json --benchmark_out_format=json
PREFIX ?= /usr/local
JOBS ?= 2

# What each target needs of Debian's packages, installed first where missing
# (or, when not root, the command that would, on one line): a script beside
# this file rather than in tests/, as every target that builds or runs uses
# it, not the tests alone.
install-packages := ./install-packages.sh
# The build dependencies are said once, in debian/control, where those that
# only the tests and the tour need carry the nocheck build profile: a target
# that builds the program alone asks for that profile, and gets the least.
# Those that only the tests need carry the tour's profile too, which the
# tour asks for.
# Debian 12 has FLTK 1.3 alone; later releases FLTK 1.4, the first of the
# two in debian/control, which apt-get build-dep takes where it can.
PROGRAM_PROFILES := nocheck
TOUR_PROFILES := pkg.dalvery.tour
# make package ARCH=arm64: the binary package of another architecture, built
# with Debian's cross compiler against that architecture's libraries (dpkg's
# multiarch), under the cross build profile too.
CROSS = $(filter-out $(shell dpkg --print-architecture),$(ARCH))
comma := ,
PACKAGE_PROFILES = $(PROGRAM_PROFILES)$(if $(CROSS),$(comma)cross)
CROSS_PACKAGES = $(if $(CROSS),crossbuild-essential-$(CROSS))
# Non-empty where FLTK 1.4 is, which speaks Wayland as well as X11.
FLTK_WAYLAND := $(if $(shell grep -sx 'VERSION_CODENAME=bookworm' /etc/os-release),,yes)

# What the targets need beside the build dependencies. Running the program
# needs Mesa's renderers, and x11-utils tells whether a display is up.
RUN_PACKAGES := libgl1-mesa-dri x11-utils
# The tests also check the install and the package with desktop-file-validate
# (desktop-file-utils), lintian, appstreamcli (appstream) and hardening-check,
# from devscripts, whose recommended packages (a hundred, the Debian keyring
# among them) they do not need; they run the program under openbox, and with
# FLTK 1.4 natively on Wayland, under a headless sway whose screen grim takes,
# and on an X display that xrandr (x11-xserver-utils) splits into monitors.
WAYLAND_TEST_PACKAGES := $(if $(FLTK_WAYLAND),sway grim x11-xserver-utils)
TEST_PACKAGES := $(RUN_PACKAGES) desktop-file-utils openbox lintian appstream $(WAYLAND_TEST_PACKAGES)
TEST_PACKAGES_ALONE := devscripts
BENCH_PACKAGES := $(RUN_PACKAGES) libbenchmark-dev
ICON_PACKAGES := imagemagick
# The Windows build: mingw-w64's cross compiler, NSIS for the installer,
# icoutils for the icon, git for cloning FLTK. Its tests start it under Wine
# with the end-to-end harness of the test build.
WINDOWS_PACKAGES := cmake g++-mingw-w64-x86-64-posix nsis icoutils git
WINDOWS_TEST_PACKAGES := wine wine64

# The Xvfb of make's own, for the build tree $(1): the virtual screen that
# its configure wrote (harness/CMakeLists.txt says it), at depth 24. -noreset:
# without it the server resets whenever its last client leaves, and a test
# connecting during the reset fails with "Can't open display".
xvfb-args = -screen 0 $$(cat $(1)/virtual-screen)x24 -noreset

TOUR_PICTURES := $(RELEASE_DIR)/tour-pictures
# The tour into a folder of its own pictures alone: none left from a site
# that had a machine more.
TOUR := rm -rf $(TOUR_PICTURES) && ./$(RELEASE_DIR)/tour/dalvery_tour

# The README's pictures, from the tour: tour picture=name under docs/.
README_PICTURES := 01-site=screenshot \
                   03-truck-machine-camera=truck-machine-camera \
                   08-crane-rock=crane-rock \
                   11-excavator-machine-camera=excavator-machine-camera \
                   17-world-turned-panned=world-turned-panned

.PHONY: run run-checked test check check-deps build build-sanitize program tour deps program-deps tour-deps \
        test-deps bench-deps package-deps bench clean screenshots icons icon-deps install \
        uninstall package test-debian13 test-debian-testing windows test-windows test-windows-deps

# A desktop is an X display that answers or, with FLTK 1.4, a Wayland
# socket: WAYLAND_DISPLAY names it in XDG_RUNTIME_DIR, or is its path.
DESKTOP_REACHABLE = { [ -n "$$DISPLAY" ] && xdpyinfo >/dev/null 2>&1; } || \
	{ [ -n "$(FLTK_WAYLAND)" ] && [ -n "$$WAYLAND_DISPLAY" ] && \
	  case $$WAYLAND_DISPLAY in /*) [ -S "$$WAYLAND_DISPLAY" ] ;; \
	  *) [ -S "$$XDG_RUNTIME_DIR/$$WAYLAND_DISPLAY" ] ;; esac; }

# Builds only what it runs: the program, and the tour only without a desktop.
run: deps
	@if $(DESKTOP_REACHABLE); then \
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

# One optimised build, without the tests, serves make run, install and
# bench; each target says which parts it builds. The package is built apart,
# by debhelper (make package).
define configure-release
cmake -S . -B $(RELEASE_DIR) -DCMAKE_BUILD_TYPE=Release -DDALVERY_TESTS=OFF $(1)
endef

# What make run builds says first what it builds, then nothing unless it
# fails: cmake's configure and build write to a log, shown whole on failure.
RELEASE_LOG := $(RELEASE_DIR)/build.log
define build-release
@echo "Building $(1) into $(RELEASE_DIR)/ (under a minute the first time; its log: $(RELEASE_LOG))..."
@mkdir -p $(RELEASE_DIR) && { $(call configure-release,$(2)) && cmake --build $(RELEASE_DIR) -j$(JOBS) $(3); } \
	>$(RELEASE_LOG) 2>&1 || { cat $(RELEASE_LOG) >&2; echo "The build failed: $(RELEASE_LOG) holds all it printed." >&2; exit 1; }
endef

program: program-deps
	$(call build-release,the optimised program,-DDALVERY_TOUR=OFF -DDALVERY_BENCH=OFF)

tour: tour-deps
	$(call build-release,the optimised program and its tour,-DDALVERY_TOUR=ON -DDALVERY_BENCH=OFF,--target dalvery_tour)

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
	@$(install-packages) $(ICON_PACKAGES)

# The tests of one kind (a CTest label), and of those the ones whose names
# match TESTS, if given.
LABEL ?= unit
TESTS ?=
UNIT_ONLY = $(filter unit,$(LABEL))
# ctest on make's own Xvfb for the build tree $(1), with the arguments
# $(2), then each skipped test's reason, which ctest keeps in its log; the
# status is ctest's.
run-ctest = xvfb-run -a -s "$(call xvfb-args,$(1))" ctest --test-dir $(1) --output-on-failure -j$(JOBS) $(2); \
	status=$$?; tests/skip-reasons.sh $(1); exit $$status

# Configured once, then cmake rebuilds only what the tests run link (for
# the unit tests, only those; configuring again by itself when a
# CMakeLists.txt changes), so that no test runs a stale build. The site
# display's tests build the real window, unshown, which needs a display;
# the other kinds need what make test installs.
check: $(if $(UNIT_ONLY),check-deps,test-deps)
	@[ -f $(BUILD_DIR)/CMakeCache.txt ] || $(configure-test)
	cmake --build $(BUILD_DIR) -j$(JOBS) $(if $(UNIT_ONLY),--target unit_tests)
	$(call run-ctest,$(BUILD_DIR),-L '$(LABEL)' $(if $(TESTS),-R '$(TESTS)'))

# The program of make check's build, which checks the GL state after each
# machine's draw and camera. It is for a student's desktop: without one it
# says so and fails, as there is nothing to open it on.
run-checked:
	@$(install-packages) --build-deps $(RUN_PACKAGES)
	@if $(DESKTOP_REACHABLE); then \
		{ [ -f $(BUILD_DIR)/CMakeCache.txt ] || $(configure-test); } && \
		cmake --build $(BUILD_DIR) -j$(JOBS) --target dalvery && ./$(BUILD_DIR)/dalvery; \
	else \
		echo "No desktop is reachable (DISPLAY='$$DISPLAY', WAYLAND_DISPLAY='$$WAYLAND_DISPLAY'): make run-checked opens the checked program on your desktop; make check checks every machine without one."; \
		exit 1; \
	fi

test: build build-sanitize
	$(call run-ctest,$(BUILD_DIR),-LE windows)
	$(call run-ctest,$(SANITIZE_BUILD_DIR))

# The Windows program, cross-compiled, and its zip and installer (CPack):
# windows/ holds what is Windows' alone. FLTK_SOURCE is kept by the build
# once given.
WINDOWS_DIR ?= build-windows
windows:
	@$(install-packages) $(WINDOWS_PACKAGES)
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

# mmdebstrap makes the fresh systems, runs the stages in them and removes
# them (tests/debian13.sh); sbuild builds in chroots that mmdebstrap makes,
# unprivileged (uidmap).
DEBIAN13_PACKAGES := git mmdebstrap sbuild uidmap diffoscope-minimal
test-debian13:
	@$(install-packages) --no-install-recommends $(DEBIAN13_PACKAGES)
	tests/debian13.sh

# Its first stages on Debian testing, whose archive moves: not part of CI.
test-debian-testing:
	@$(install-packages) --no-install-recommends $(DEBIAN13_PACKAGES)
	DEBIAN_SUITE=testing tests/debian13.sh bare clone test-deps test

configure-test = cmake -S . -B $(BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug

build: test-deps
	$(configure-test)
	cmake --build $(BUILD_DIR) -j$(JOBS)

build-sanitize: test-deps
	cmake -S . -B $(SANITIZE_BUILD_DIR) -DCMAKE_BUILD_TYPE=Debug -DDALVERY_SANITIZE=ON
	cmake --build $(SANITIZE_BUILD_DIR) -j$(JOBS)

deps:
	@$(install-packages) --build-deps=$(PROGRAM_PROFILES) $(RUN_PACKAGES)

check-deps:
	@$(install-packages) --build-deps

program-deps:
	@$(install-packages) --build-deps=$(PROGRAM_PROFILES)

package-deps:
	@$(install-packages) --build-deps=$(PACKAGE_PROFILES) $(if $(CROSS),--arch=$(CROSS)) $(CROSS_PACKAGES)

tour-deps:
	@$(install-packages) --build-deps=$(TOUR_PROFILES) $(RUN_PACKAGES)

test-deps:
	@$(install-packages) --build-deps $(TEST_PACKAGES)
	@$(install-packages) --no-install-recommends $(TEST_PACKAGES_ALONE)

bench-deps:
	@$(install-packages) --build-deps $(BENCH_PACKAGES)

# Wine's Recommends are what it draws with on X11: XRender, GL and the
# fonts standing in for Windows' own. Where apt leaves Recommends out (as in
# the systems mmdebstrap makes), the list's text came out in another font,
# whose lines the end-to-end tests could not count.
test-windows-deps:
	@$(install-packages) $(WINDOWS_PACKAGES)
	@$(install-packages) --install-recommends $(WINDOWS_TEST_PACKAGES)

# All run on a virtual display: the frame benchmark renders headless but
# lists the machines in the real window's list, which measures text. Each
# writes its figures as Google Benchmark's JSON, and the summary judges them.
bench: bench-deps
	$(call configure-release,-DDALVERY_TOUR=OFF -DDALVERY_BENCH=ON)
	cmake --build $(RELEASE_DIR) -j$(JOBS) --target benchmarks
	rm -f $(BENCH_RESULTS)
	xvfb-run -a -s "$(call xvfb-args,$(RELEASE_DIR))" sh -e -c '\
		$(RELEASE_DIR)/bench/frame_bench $(call bench-out,frame); \
		$(RELEASE_DIR)/bench/event_bench $(call bench-out,event); \
		$(RELEASE_DIR)/bench/startup_bench $(call bench-out,startup) $(RELEASE_DIR)/dalvery \
			$(RELEASE_DIR)/bench/least_lit_window $(RELEASE_DIR)/bench/least_gl_window'
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

# The source package and the binary package built from it, unsigned, as
# Debian builds every package (debian/rules), into a folder of their own:
# dpkg-buildpackage writes beside the tree it builds, so it builds a copy of
# the files git tracks, as they stand. Their permissions are made those of a
# umask of 022, whatever the clone's, so that the source is the same in every
# clone. The tests are make test's, not the package build's: nocheck, with
# what DEB_BUILD_OPTIONS= adds (noopt...). dpkg-buildpackage runs without
# make's flags, which carry this command line's variables into debian/rules
# over the environment's, a DEB_BUILD_OPTIONS without nocheck among them. A
# cross build (ARCH=) makes the binary package alone, and leaves the other
# architectures' files in the folder.
PACKAGE_DIR := $(RELEASE_DIR)/package
package: package-deps
	rm -rf $(if $(CROSS),$(PACKAGE_DIR)/dalvery-* $(PACKAGE_DIR)/dalvery*_$(CROSS).*,$(PACKAGE_DIR))
	tree=$(PACKAGE_DIR)/dalvery-$$(dpkg-parsechangelog -S Version) && mkdir -p $$tree && \
	git ls-files -z | xargs -0 cp -P --parents -t $$tree && chmod -R u+w,go=u,go-w $$tree && \
	cd $$tree && env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL DEB_BUILD_OPTIONS="nocheck $(DEB_BUILD_OPTIONS)" dpkg-buildpackage -us -uc -P$(PACKAGE_PROFILES)$(if $(CROSS), -a $(CROSS) -b)
	@ls -1 $(PACKAGE_DIR)/dalvery_*

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_BUILD_DIR) $(RELEASE_DIR) $(WINDOWS_DIR)
