# Top-level commands. Each sets up what it needs (scripts/bootstrap.sh) and
# drives CMake over four trees:
#   build/native       packaging tool and benchmarks (Release)
#   build/native-asan  native unit tests under AddressSanitizer and UBSan
#   build/i686         the shipped PE32 stub
#   build/x86_64       the same stub for x86_64, kqpack.exe and the Windows-side
#                      tests (Wine), among them the pe32 tests of the shipped stub
#                      (qemu-i386)
# Artefacts land in build/bin, example installers in build/examples.

BUILD    := build
BIN      := $(CURDIR)/$(BUILD)/bin
JOBS     ?= 2
CMAKE    := cmake
KQPACK   := $(BIN)/kqpack
EXAMPLE  := examples/hello
DEMO_OUT := $(BUILD)/examples

FUZZ_SECONDS ?= 300

PREFIX   ?= /usr/local

.PHONY: all bootstrap build native native-tests stub32 stub64 test demo size bench bench-install fuzz install clean

all: build

bootstrap:
	@scripts/bootstrap.sh

# qemu-user and the 32-bit Wine, for running the shipped stub itself.
bootstrap-pe32: bootstrap
	@scripts/bootstrap-pe32.sh

build: bootstrap native stub32 stub64

# Each tree is configured once, when it has no cache yet; after that
# `cmake --build` re-runs CMake by itself when a CMake file changes. A failed
# configure leaves no cache behind, so the next make tries again.
CONFIGURE = $(CMAKE) -S . -B $(@D) $(1) >/dev/null || { rm -f $@; exit 1; }

$(BUILD)/native/CMakeCache.txt:
	@$(call CONFIGURE,-DCMAKE_BUILD_TYPE=Release -DKQ_TESTS=OFF -DKQ_BIN_DIR=$(BIN))

$(BUILD)/native-asan/CMakeCache.txt:
	@$(call CONFIGURE,-DCMAKE_BUILD_TYPE=Debug -DKQ_SANITIZE=ON \
		-DKQ_BIN_DIR=$(CURDIR)/$(BUILD)/native-asan/bin -DKQ_SHIPPED_STUB=$(BIN)/kqstub.exe)

$(BUILD)/i686/CMakeCache.txt:
	@$(call CONFIGURE,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DKQ_MINGW_ARCH=i686 \
		-DCMAKE_BUILD_TYPE=MinSizeRel -DKQ_TESTS=OFF -DKQ_BIN_DIR=$(BIN))

$(BUILD)/x86_64/CMakeCache.txt:
	@$(call CONFIGURE,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DKQ_MINGW_ARCH=x86_64 \
		-DCMAKE_BUILD_TYPE=MinSizeRel -DKQ_BIN_DIR=$(BIN))

native: $(BUILD)/native/CMakeCache.txt
	@$(CMAKE) --build $(BUILD)/native -j$(JOBS)

native-tests: $(BUILD)/native-asan/CMakeCache.txt
	@$(CMAKE) --build $(BUILD)/native-asan -j$(JOBS)

stub32: $(BUILD)/i686/CMakeCache.txt
	@$(CMAKE) --build $(BUILD)/i686 -j$(JOBS)

# The x86_64 tree's tests run the shipped stub too (the -i686 scenario rows).
stub64: native stub32 $(BUILD)/x86_64/CMakeCache.txt
	@$(CMAKE) --build $(BUILD)/x86_64 -j$(JOBS)

# Every test: native (sanitized), the fuzz targets briefly, then the Windows
# side under Wine, two at a time, the shipped 32-bit stub under emulation
# (label pe32) among them.
test: build native-tests bootstrap-pe32
	scripts/check-layers.sh
	cd $(BUILD)/native-asan && ctest -j$(JOBS) --output-on-failure
	scripts/fuzz.sh --brief
	cd $(BUILD)/x86_64 && ctest -j$(JOBS) --output-on-failure

# Only the tests of the shipped stub under emulation, with their output
# (the start-up and run times they print).
test-pe32: build bootstrap-pe32
	cd $(BUILD)/x86_64 && ctest -j$(JOBS) -L pe32 --verbose

demo: build
	@scripts/demo.sh

size: stub32 stub64
	@scripts/stub-size.sh $(BIN)

bench: native stub32 stub64
	@$(BUILD)/native/bench/kq_codec_bench
	@scripts/stub-size.sh $(BIN)

# Install and uninstall under Wine: 150 files of 64 MiB and 5,000 files of
# 200 MiB, installed through the wizard and uninstalled by the entry's quiet
# command; each package is encoded once and kept in build/bench-install
# (owned by the test user, whom wine-run becomes when started by root).
bench-install: stub64
	@$(CMAKE) --build $(BUILD)/x86_64 --target kq_install_bench >/dev/null
	@mkdir -p $(BUILD)/bench-install
	@if [ "$$(id -u)" -eq 0 ] && id -u kqtest >/dev/null 2>&1; then chown kqtest: $(BUILD)/bench-install; fi
	@scripts/wine-run $(BUILD)/x86_64/bench/kq_install_bench.exe $(CURDIR)/$(BUILD)/bench-install
	@scripts/stub-size.sh $(BIN)

# Each libFuzzer target for FUZZ_SECONDS (make test replays the seeds and runs each briefly).
fuzz: bootstrap
	@scripts/fuzz.sh $(FUZZ_SECONDS)

# kqpack (and kqpack.exe) to PREFIX/bin, the stubs and the script of
# `kqpack try` to PREFIX/share/kqsetup, where kqpack looks for them.
install: build
	install -D -m 755 $(KQPACK) $(DESTDIR)$(PREFIX)/bin/kqpack
	if [ -f $(BIN)/kqpack.exe ]; then install -D -m 755 $(BIN)/kqpack.exe $(DESTDIR)$(PREFIX)/bin/kqpack.exe; fi
	install -D -m 644 $(BIN)/kqstub.exe $(DESTDIR)$(PREFIX)/share/kqsetup/kqstub.exe
	install -D -m 644 $(BIN)/kqstub64.exe $(DESTDIR)$(PREFIX)/share/kqsetup/kqstub64.exe
	install -D -m 644 $(BIN)/try_setup.sh $(DESTDIR)$(PREFIX)/share/kqsetup/try_setup.sh

clean:
	rm -rf $(BUILD)
