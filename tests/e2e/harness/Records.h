// What the test installer libraries write to the file SETUP_TEST_RECORD
// names.
#ifndef TESTS_E2E_HARNESS_RECORDS_H_
#define TESTS_E2E_HARNESS_RECORDS_H_

#include <map>
#include <string>
#include <vector>

namespace e2e {

// One call of the recording library's PreInstall
// (tests/AdminExe/RecordingInstaller.cpp): the path of the copy that was
// loaded and the text it received.
struct Record {
  std::string library;
  bool nullText = false;  // PreInstall received a null pointer
  std::string text;
};

// The recording library appends, per call:
//   <library path>\t<length of the text, or -1 for a null pointer>\n<text>\n
// False, with the reason in *error, for anything else.
bool ParseRecords(const std::string& data, std::vector<Record>* records, std::string* error);

// The pinned-package libraries' "key=value" lines (tests/e2e/PinnedPackage.cpp):
// each key with its values in order.
using PinnedRecords = std::map<std::string, std::vector<std::string>>;
PinnedRecords ParsePinnedRecords(const std::string& data);

// For failure messages: every record, one a line.
std::string Describe(const std::vector<Record>& records);
std::string Describe(const PinnedRecords& records);

}  // namespace e2e

#endif  // TESTS_E2E_HARNESS_RECORDS_H_
