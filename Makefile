# The two commands of the README. Both install what is missing first.
JOBS ?= 2
FUZZ_SECONDS ?= 60
PRESETS := linux-x86 windows-x86 linux-x86-sanitize

.PHONY: setup test demo bench dist fuzz format-check format build build-linux-x86-fuzz $(addprefix build-,$(PRESETS)) $(addprefix test-,$(PRESETS)) clean

# Installs what is missing and lets the kernel run 32-bit programs. `make setup` always checks;
# the builds check once, and again only after the set-up scripts change or the machine restarts
# (a registration of qemu's emulator does not outlive a boot).
SET_UP := scripts/setup.sh && scripts/enable-32bit.sh
setup:
	@$(SET_UP)

READY := build/.machine-ready-$(shell cat /proc/sys/kernel/random/boot_id 2>/dev/null)
$(READY): scripts/setup.sh scripts/enable-32bit.sh
	@$(SET_UP)
	@mkdir -p $(@D) && touch $@

$(addprefix build-,$(PRESETS)): build-%: $(READY)
	cmake --preset $* >/dev/null
	cmake --build build/$* -j $(JOBS)

# Every test has a time limit (cmake/Testing.cmake).
$(addprefix test-,$(PRESETS)): test-%: build-%
	ctest --test-dir build/$* --output-on-failure -j $(JOBS)

# Linux natively, Windows under Wine, then Linux again under the sanitizers.
test: test-linux-x86 test-windows-x86 test-linux-x86-sanitize

demo: build-linux-x86
	build/linux-x86/bin/vorlix-sim demo --out out/demo
	build/linux-x86/bin/vorlix-sim preview scenes/models/motorbike.glb --out out/demo

# The pass's figures, then the shipped DLL's size and imports when the Windows build has made it.
bench: build-linux-x86
	build/linux-x86/bin/vorlix-bench
	@if [ -f build/windows-x86/bin/Vorlix.dll ]; then bench/dll_figures.py build/windows-x86/bin/Vorlix.dll; \
	else echo "Vorlix.dll: not built (make build-windows-x86)"; fi

# The release package for players and model authors: dist/vorlix-<version>-windows-x86.zip.
dist: $(READY)
	cmake --preset windows-x86 >/dev/null
	cmake --build build/windows-x86 --target dist -j $(JOBS)

# The fuzz targets have a preset of their own (clang's libFuzzer); make test does not build them.
build-linux-x86-fuzz: $(READY)
	cmake --preset linux-x86-fuzz >/dev/null
	cmake --build build/linux-x86-fuzz -j $(JOBS) --target fuzz_targets

# Every fuzz target for FUZZ_SECONDS seconds.
fuzz: build-linux-x86-fuzz
	fuzz/run.sh build/linux-x86-fuzz $(FUZZ_SECONDS)

# Every C++, JavaScript and Python source as the formatters lay it out, and clean for the linters;
# installs the tools first (scripts/format-check.sh). `make format` lays every file out.
format-check:
	scripts/format-check.sh

format:
	scripts/format-check.sh --fix

clean:
	rm -rf build out dist
