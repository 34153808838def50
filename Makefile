# Quillet: `make run` builds and starts the app, `make test` builds and runs every test.
# Both install what is missing first (tools/setup.sh).

BUILD       ?= build
ASAN_BUILD  ?= build-asan
BENCH_BUILD ?= build-bench
FUZZ_BUILD  ?= build-fuzz
BENCH_ARGS  ?=
JOBS        ?= $(shell nproc)
CMAKE_FLAGS ?=
PREFIX      ?= $(HOME)/.local

.PHONY: setup build run test test-asan bench bench-smoke check-layers fuzz format format-check clean

setup:
	@bash tools/setup.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)

build: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@if [ -z "$$DISPLAY" ] && [ -z "$$WAYLAND_DISPLAY" ]; then \
	  echo "Quillet is built ($(BUILD)/quillet), but it needs a display to show its window."; \
	  echo "On a machine without one, run it under Xvfb:  xvfb-run -a $(BUILD)/quillet"; \
	  exit 1; \
	fi
	$(BUILD)/quillet

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLET_ASAN=ON -DQUILLET_UBSAN=ON $(CMAKE_FLAGS)
	cmake --build $(ASAN_BUILD) -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 \
	  UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS)

# BENCH_ARGS reaches the benchmark as the shell's words of it, never parsed as shell syntax:
# BENCH_ARGS='--benchmark_filter=Mark|Copy' works.
export BENCH_ARGS
bench: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_TESTS=OFF -DQUILLET_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target quillet_bench
	set -f; QT_QPA_PLATFORM=offscreen $(BENCH_BUILD)/bench/quillet_bench $$BENCH_ARGS

# Start-up against a bare Qt window, both built the same way (bench/startup.sh; RUNS each).
RUNS ?= 51
.PHONY: bench-startup
bench-startup: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_TESTS=OFF -DQUILLET_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target quillet quillet_minimal_window
	QUILLET=$(BENCH_BUILD)/quillet bash bench/startup.sh $(RUNS)

# The clipboard paths of the real program under Xvfb (bench/clipboard.sh).
.PHONY: bench-clipboard
bench-clipboard: setup
	cmake -S . -B $(BENCH_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_TESTS=OFF -DQUILLET_BENCH=ON
	cmake --build $(BENCH_BUILD) -j $(JOBS) --target quillet
	bash bench/clipboard.sh $(BENCH_BUILD)/quillet

# Every benchmark once, for a moment: CI's check that they still build and run.
bench-smoke:
	$(MAKE) bench BENCH_ARGS='--benchmark_min_time=0.001'

# Include directives that point up the layers fail the build's checks.
check-layers:
	@bash tools/check-layers.sh

# Fuzzes every reader of outside input with libFuzzer (clang, ASan) in $(FUZZ_BUILD): each target
# for FUZZ_SECONDS, 60 by default; fuzz-long runs them for 600 by default and prints libFuzzer's
# final statistics. New inputs go to $(FUZZ_BUILD)/corpus/<target>, crashing ones to
# $(FUZZ_BUILD)/<target>-crash-* (fuzz/run.sh).
.PHONY: fuzz-build fuzz-long
fuzz-build: setup
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DQUILLET_FUZZ=ON -DQUILLET_TESTS=OFF $(CMAKE_FLAGS)
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target quillet_fuzzers

fuzz: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(or $(FUZZ_SECONDS),60)

fuzz-long: fuzz-build
	bash fuzz/run.sh $(FUZZ_BUILD) $(or $(FUZZ_SECONDS),600) -print_final_stats=1

format:
	git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | xargs -r clang-format -i

format-check:
	git ls-files --cached --others --exclude-standard '*.cpp' '*.h' | xargs -r clang-format --dry-run -Werror

# Installs Quillet under PREFIX: for this user by default, PREFIX=/usr/local for all users.
.PHONY: install uninstall
install: setup $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target quillet
	DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"

# A Debian package, quillet_<version>_<arch>.deb in $(DEB_BUILD), built with Debian's hardening
# flags (dpkg-buildflags); deb-check runs lintian on it and installs it on this machine and back.
DEB_BUILD ?= build-deb
.PHONY: deb deb-check
deb: setup
	export DEB_BUILD_MAINT_OPTIONS=hardening=+all; \
	CXXFLAGS="$$(dpkg-buildflags --get CXXFLAGS) $$(dpkg-buildflags --get CPPFLAGS)" \
	  LDFLAGS="$$(dpkg-buildflags --get LDFLAGS)" \
	  cmake -S . -B $(DEB_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLET_TESTS=OFF -DQUILLET_PACKAGE=ON
	cmake --build $(DEB_BUILD) -j $(JOBS) --target quillet quillet_package_files
	cd $(DEB_BUILD) && cpack -G DEB

deb-check: deb
	bash tests/install/deb-test.sh $(DEB_BUILD)

# The real program under a headless Wayland compositor, at output scale 1 and 2 (as root: it makes
# the unprivileged user sway runs as); skips where the compositor cannot start.
.PHONY: test-wayland
test-wayland: build
	bash tests/wayland/wayland-test.sh $(BUILD)/quillet .

# Removes what install put under PREFIX; the settings and history files stay.
uninstall:
	DESTDIR="$(DESTDIR)" cmake -DPREFIX="$(PREFIX)" -P cmake/Uninstall.cmake

# The folder watcher and folder tree tests under ThreadSanitizer.
TSAN_BUILD  ?= build-tsan
.PHONY: test-tsan
test-tsan: setup
	cmake -S . -B $(TSAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLET_TSAN=ON $(CMAKE_FLAGS)
	cmake --build $(TSAN_BUILD) -j $(JOBS) --target quillet_tests_location quillet_tests_platform \
	  quillet_tests_files quillet_tests_app
	QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1 $(TSAN_BUILD)/tests/quillet_tests_location \
	  --gtest_filter='DiscMonitor*:ShellTree*:*ShellTreePath*:FolderTreeOnDisk*:*ReplacedFolder*:*VanishingFolders*'
	QT_QPA_PLATFORM=offscreen TSAN_OPTIONS=halt_on_error=1 $(TSAN_BUILD)/tests/quillet_tests_platform \
	  --gtest_filter='*ChangeFilter*:ChangeNotification*'
	# The picture worker: previews, the clipboard's PNG and the PNG writer's bands.
	QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tools/tsan-qt.supp" \
	  $(TSAN_BUILD)/tests/quillet_tests_files --gtest_filter='*PngWriting*:*Previews*'
	QT_QPA_PLATFORM=offscreen TSAN_OPTIONS="halt_on_error=1 suppressions=$(CURDIR)/tools/tsan-qt.supp" \
	  $(TSAN_BUILD)/tests/quillet_tests_app --gtest_filter='*Copy*:PictureDialog*'

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) $(BENCH_BUILD) $(FUZZ_BUILD)
