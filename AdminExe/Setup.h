#ifndef ADMINEXE_SETUP_H_
#define ADMINEXE_SETUP_H_

// RunSetup: the program's whole job after start-up. Prepares the process's
// command line, hands it to the installer library's PreInstall and returns
// its result (0 when the library or its entry cannot be found).
// `debugLookup` switches the debug-directory lookup of the installer
// library; a non-null `libraryPath` is the installer library's full path
// (the one a pinned program checked and loaded), used instead of its name.
int RunSetup(int debugLookup, const char* libraryPath);

#endif  // ADMINEXE_SETUP_H_
