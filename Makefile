# make test : bootstrap, build both toolchains, the optimised benchmark build and the fuzzers,
#             run every test.
# make demo : bootstrap, build, start the demo Qor.exe under Wine.
# make installer : bootstrap, build the Windows side and its installer and portable zip.
SHELL := /bin/bash
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 20
XVFB := xvfb-run -a -s "-screen 0 1280x1024x24"

.PHONY: all bootstrap native bench mingw installer fuzz test test-native test-fuzz test-windows demo clean format

all: native mingw

bootstrap:
	@tools/bootstrap

native: bootstrap
	@cmake --preset native >/dev/null
	@cmake --build --preset native -j $(JOBS)

# The optimised build: GCC warns differently at -O3, so it is built by `test` too.
bench: bootstrap
	@cmake --preset bench >/dev/null
	@cmake --build --preset bench -j $(JOBS)

mingw: bootstrap
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw -j $(JOBS)

# build/mingw/installer/: Qor-Setup-VERSION.exe and Qor-VERSION-portable.zip (`mingw` builds
# them too).
installer: bootstrap
	@cmake --preset mingw >/dev/null
	@cmake --build --preset mingw -j $(JOBS) --target installer

fuzz: bootstrap
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz -j $(JOBS)

test-fuzz: fuzz
	@tools/run-fuzzers build/fuzz/bin $(FUZZ_SECONDS)

test-native: native
	@cd build/native && ctest -j $(JOBS) --output-on-failure

test-windows: mingw
	@cd build/mingw && $(XVFB) ctest -j $(JOBS) --output-on-failure

# Every suite runs even when an earlier one fails; the exit status reports any failure.
test: native bench mingw fuzz
	@status=0; \
	tools/run-fuzzers build/fuzz/bin $(FUZZ_SECONDS) || status=1; \
	(cd build/native && ctest -j $(JOBS) --output-on-failure) || status=1; \
	(cd build/mingw && $(XVFB) ctest -j $(JOBS) --output-on-failure) || status=1; \
	exit $$status

demo: mingw
	@tools/demo

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build
