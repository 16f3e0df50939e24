#ifndef ADMINEXE_COMMANDLINE_H_
#define ADMINEXE_COMMANDLINE_H_

class PathString;

// PrepareCommandLine: turns the program's whole command line, held in
// `text`, into what the installer library receives:
//  1. the program's own `modulePath`, where the command line begins (after
//     its leading blanks and double quotes, ASCII case folded), is removed.
//     Only there: an argument that mentions the same path stays whole. A
//     null or empty `modulePath` (it could not be read) removes nothing;
//  2. leading runs of blanks and double quotes go (a leading tab stays);
//  3. trailing blanks and tabs go, then every trailing double quote (the
//     blanks before those quotes stay).
// Returns the text, never null while `text` has one.
const char* PrepareCommandLine(PathString* text, const char* modulePath);

#endif  // ADMINEXE_COMMANDLINE_H_
