# The two commands of the README: `make run` and `make test`. Both install the Debian packages
# the build needs when they are missing, configure, and build.

PACKAGES := cmake ninja-build g++ qt6-base-dev xvfb xauth poppler-utils
RUN_DIR  := build/release
TEST_DIR := build/asan
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)

.PHONY: run test deps

deps:
	@missing=""; for p in $(PACKAGES); do \
	    dpkg -s $$p >/dev/null 2>&1 || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	    echo "Installing:$$missing"; \
	    if [ "$$(id -u)" = 0 ]; then SUDO=""; else SUDO="sudo"; fi; \
	    $$SUDO apt-get update && \
	    DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y --no-install-recommends $$missing; \
	fi

run: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(RUN_DIR) --target pellumar
	./$(RUN_DIR)/src/pellumar

test: deps
	cmake -S . -B $(TEST_DIR) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELLUMAR_SANITIZE=ON
	cmake --build $(TEST_DIR) -j $(JOBS)
	@runtime=$$(mktemp -d); chmod 700 $$runtime; \
	cd $(TEST_DIR) && QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$$runtime \
	    ctest --output-on-failure -j $(JOBS); status=$$?; rm -rf $$runtime; exit $$status
