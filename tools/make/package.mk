# The string library as a package for other projects: installed from both
# builds into fresh prefixes, then used by small consumers outside the tree
# through find_package, add_subdirectory and pkg-config
# (tests/package/test-package.sh). Part of `make test`.
TEST_SUITES += test-package

.PHONY: test-package

test-package: native windows
	bash tests/package/test-package.sh $(NATIVE_DIR) $(WINDOWS_DIR)
