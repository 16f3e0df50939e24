# `make release PACKAGE=DIR`: the package's PE files signed, setup.exe built
# with the package's pin list (in PINNED_DIR, so that WINDOWS_DIR stays the
# reproducible unpinned build), signed with Authenticode, verified, and
# written with the package and SHA256SUMS to RELEASE_DIR (tools/release.sh;
# README.md, "Releasing"). setup-debug.exe never goes there.
#
#   make release PACKAGE=stick SIGN_CERT=cert.pem SIGN_KEY=key.pem
#   make release PACKAGE=stick SIGN_PKCS12=vendor.pfx SIGN_PASSWORD_FILE=pass.txt
#   make release UNPINNED=1 ...    setup.exe as built, runs any dropnestlib.dll
#   make release ALLOW_DIRTY=1 ... from a tree that differs from its commit,
#                                  stamped "modified" (refused without it)
#
# `make test-release` (part of `make test`) signs with a throwaway key in
# folders of its own and never touches RELEASE_DIR.
RELEASE_DIR ?= build/release
PINNED_DIR  ?= $(WINDOWS_DIR)-pinned

# What tools/release.sh reads from the environment.
export SIGN_CERT SIGN_KEY SIGN_PKCS12 SIGN_PASSWORD_FILE SIGN_PKCS11_MODULE SIGN_PKCS11_ENGINE \
  SIGN_CA_FILE SIGN_TIMESTAMP_URL UNSIGNED PACKAGE UNPINNED PINNED_DIR ALLOW_DIRTY

# What the release test runs besides setup.exe: the end-to-end driver and
# libraries (the pinned package's among them), and setup-debug.exe for the
# rows that compare the two.
RELEASE_TEST_TARGETS = setup setup-debug setup_driver e2e_recording e2e_lowercase e2e_noexport \
  e2e_companion_loader demo_installer e2e_pinned_library e2e_static_companion \
  e2e_system_standin e2e_planted setup_e2e_tests

TEST_SUITES += test-release

.PHONY: release test-release

release: deps
	$(WINDOWS_CONFIGURE)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target setup
	@bash tools/release.sh $(WINDOWS_DIR)/AdminExe/setup.exe $(RELEASE_DIR)

test-release: deps
	$(WINDOWS_CONFIGURE)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target $(RELEASE_TEST_TARGETS)
	@bash tests/release/test-release.sh $(WINDOWS_DIR)
