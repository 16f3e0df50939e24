# The Windows test kit (tools/make-test-kit.sh; README.md, "Testing on
# Windows"): `make windows-test-kit` writes KIT_DIR and KIT_DIR.zip;
# `make test-kit` (part of `make test`) runs the zip's run-tests.cmd in a
# fresh Wine prefix with Wine's own cmd (tests/kit/test-kit.sh).
KIT_DIR ?= build/windows-test-kit

TEST_SUITES += test-kit

.PHONY: windows-test-kit test-kit

windows-test-kit: windows
	bash tools/make-test-kit.sh $(WINDOWS_DIR) $(KIT_DIR)

test-kit: windows-test-kit
	bash tests/kit/test-kit.sh $(KIT_DIR).zip $(WINDOWS_DIR)
