# Everyday developer targets; the README's ./run.sh and ./test.sh need no make.
.PHONY: all build test run bench install clean

all: build

build:
	./scripts/build.sh

test:
	./test.sh

run:
	./run.sh

bench: build
	@for b in build/bench_*; do [ -x "$$b" ] && { echo "== $$b"; "$$b"; }; done

install: build
	cmake --install build --prefix $${PREFIX:-$$HOME/.local}

clean:
	rm -rf build

.PHONY: fuzz test-asan

# libFuzzer over the report road and the dialogs' arithmetic, FUZZ_SECONDS each (default 60).
fuzz:
	./scripts/fuzz.sh

# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/).
test-asan:
	./scripts/test-asan.sh

.PHONY: deb

# The Debian package, built with debhelper; prints the .deb's path last (build-deb/).
deb:
	./scripts/package-deb.sh
