#include "tests/e2e/harness/Records.h"

#include <cstdlib>

namespace e2e {

bool ParseRecords(const std::string& data, std::vector<Record>* records, std::string* error) {
  records->clear();
  std::string::size_type at = 0;
  while (at < data.size()) {
    const std::string::size_type end = data.find('\n', at);
    const std::string::size_type tab = data.rfind('\t', end);
    if (end == std::string::npos || tab == std::string::npos || tab < at) {
      *error = "a record without its header line at byte " + std::to_string(at);
      return false;
    }
    Record record;
    record.library = data.substr(at, tab - at);
    const std::string length = data.substr(tab + 1, end - tab - 1);
    char* rest = nullptr;
    const long count = std::strtol(length.c_str(), &rest, 10);
    if (length.empty() || *rest != '\0' || count < -1) {
      *error = "a record with the length \"" + length + "\"";
      return false;
    }
    at = end + 1;
    if (count < 0) {
      record.nullText = true;
    } else {
      if (data.size() - at < static_cast<std::string::size_type>(count)) {
        *error = "a record shorter than its length " + length;
        return false;
      }
      record.text = data.substr(at, static_cast<std::string::size_type>(count));
      at += static_cast<std::string::size_type>(count);
    }
    if (at >= data.size() || data[at] != '\n') {
      *error = "a record's text not followed by a line break at byte " + std::to_string(at);
      return false;
    }
    ++at;
    records->push_back(record);
  }
  return true;
}

PinnedRecords ParsePinnedRecords(const std::string& data) {
  PinnedRecords records;
  std::string::size_type at = 0;
  while (at < data.size()) {
    std::string::size_type end = data.find('\n', at);
    if (end == std::string::npos) end = data.size();
    std::string line = data.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string::size_type equals = line.find('=');
    if (equals == std::string::npos) {
      records[line].push_back(std::string());
    } else {
      records[line.substr(0, equals)].push_back(line.substr(equals + 1));
    }
    at = end + 1;
  }
  return records;
}

std::string Describe(const std::vector<Record>& records) {
  if (records.empty()) return "no records";
  std::string text;
  for (const Record& record : records) {
    text += "  " + record.library + ": " + (record.nullText ? "(null)" : "[" + record.text + "]") +
            "\n";
  }
  return text;
}

std::string Describe(const PinnedRecords& records) {
  if (records.empty()) return "no records";
  std::string text;
  for (const auto& entry : records) {
    for (const std::string& value : entry.second) text += "  " + entry.first + "=" + value + "\n";
  }
  return text;
}

}  // namespace e2e
