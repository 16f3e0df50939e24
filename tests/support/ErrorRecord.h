#ifndef TESTS_SUPPORT_ERRORRECORD_H_
#define TESTS_SUPPORT_ERRORRECORD_H_

#include <ostream>

#include "paths/PathString.h"

// ErrorRecord: what a path's error record holds (see PathString::GetError),
// compared and printed as one value so that a failing check shows both
// fields.
struct ErrorRecord {
  unsigned lastError;
  int errorCode;
  bool operator==(const ErrorRecord& other) const {
    return lastError == other.lastError && errorCode == other.errorCode;
  }
};

inline ErrorRecord RecordOf(PathString& path) {
  int errorCode = -1;
  const unsigned lastError = path.GetError(&errorCode);
  return {lastError, errorCode};
}

inline std::ostream& operator<<(std::ostream& out, const ErrorRecord& record) {
  return out << "{lastError " << record.lastError << ", errorCode " << record.errorCode << "}";
}

#endif  // TESTS_SUPPORT_ERRORRECORD_H_
