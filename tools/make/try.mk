# `make try LIBRARY=path/to/dropnestlib.dll ARGS='/install'`: runs the
# library as a customer's machine would, under Wine in a fresh prefix, and
# prints the command line, the debug trail, the DLLs of its folder that were
# loaded and the whole exit code with its meaning (tools/try.sh; README.md,
# "Writing and testing an installer library"). Exits with the program's
# code where it fits in 0..255, else non-zero.
#
#   make try LIBRARY=out/dropnestlib.dll ARGS='/install /lang de'
#   make try LIBRARY=... PROGRAM=setup-debug.exe    with the debug trail
#   make try LIBRARY=... PROGRAM=setup-debug.exe DEBUG_FOLDER=1
#                          the library's folder as C:\OvratDebug
LIBRARY      ?=
ARGS         ?=
PROGRAM      ?= setup.exe
DEBUG_FOLDER ?=

.PHONY: try

try: deps
	@why=$$(bash tools/wine-can-run.sh) || { echo "make try: cannot run the Windows build here: $$why" >&2; exit 2; }
	$(WINDOWS_CONFIGURE)
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target setup setup-debug setup_driver
	@PROGRAM='$(PROGRAM)' DEBUG_FOLDER='$(DEBUG_FOLDER)' bash tools/try.sh $(WINDOWS_DIR) '$(LIBRARY)' '$(ARGS)'
