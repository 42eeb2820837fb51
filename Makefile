# The commands of the README: `make run`, `make test` and `make install PREFIX=...`. Each
# installs the Debian packages the build needs when they are missing, configures, and builds.

PACKAGES := cmake ninja-build g++ qt6-base-dev xvfb xauth desktop-file-utils appstream \
            shared-mime-info poppler-utils libgmime-3.0-dev libminizip-dev \
            libxlsxwriter-dev
RUN_DIR  := build/release
TEST_DIR := build/asan
JOBS     ?= $(shell nproc 2>/dev/null || echo 2)
PREFIX   ?= /usr/local

.PHONY: run test install deps

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

# The programs, the desktop entry, the icons, the .plm file type and the AppStream file under
# PREFIX (DESTDIR is honoured); then the desktop's caches, when installing for real.
install: deps
	cmake -S . -B $(RUN_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(RUN_DIR) --target pellumar pellumar-convert pellumar_icons
	DESTDIR="$(DESTDIR)" cmake --install $(RUN_DIR) --prefix $(PREFIX)
	@if [ -z "$(DESTDIR)" ]; then \
	    update-mime-database $(PREFIX)/share/mime 2>/dev/null || true; \
	    update-desktop-database $(PREFIX)/share/applications 2>/dev/null || true; \
	    gtk-update-icon-cache -q -t $(PREFIX)/share/icons/hicolor 2>/dev/null || true; \
	fi
