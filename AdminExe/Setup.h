#ifndef ADMINEXE_SETUP_H_
#define ADMINEXE_SETUP_H_

// RunSetup: the program's whole job. Prepares the process's command line,
// hands it to the installer library's PreInstall and returns its result (0
// when the library or its entry cannot be found). `debugLookup` switches the
// debug-directory lookup of the installer library.
int RunSetup(int debugLookup);

#endif  // ADMINEXE_SETUP_H_
