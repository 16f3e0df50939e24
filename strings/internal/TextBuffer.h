#ifndef STRINGS_INTERNAL_TEXTBUFFER_H_
#define STRINGS_INTERNAL_TEXTBUFFER_H_

#include <cstddef>
#include <new>

// Internal to the string library: not installed, not for its users.
namespace strings_internal {

// NewTextBuffer / DeleteTextBuffer: where every text buffer of the library
// comes from and goes back to, a string's own buffer and every private copy
// of a text alike, so that a copy can become a string's buffer (Adopt) and
// be released by Free. The buffer is not initialised: zeroing what the
// caller is about to overwrite would cost a second pass over a long text,
// so whoever allocates fills every byte the rules say is zero.
inline char* NewTextBuffer(size_t bytes) { return static_cast<char*>(::operator new(bytes)); }

inline void DeleteTextBuffer(char* buffer) { ::operator delete(buffer); }

}  // namespace strings_internal

#endif  // STRINGS_INTERNAL_TEXTBUFFER_H_
