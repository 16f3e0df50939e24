#include "fuzz/PathOracle.h"

#include <algorithm>
#include <vector>

namespace oracle {

void Buffer::EnsureEndsWith(char c) {
  if (!has) return;
  const char last = text.empty() ? '\0' : text.back();
  if (last == c) return;
  const std::string one = c != '\0' ? std::string(1, c) : std::string();
  Append(&one);
}

void Buffer::AppendComponent(Arg name) {
  if (name == nullptr) return;
  if ((name->empty() || (*name)[0] != '\\') && !IsBlank(text)) EnsureEndsWith('\\');
  Append(name);
}

int MatchWildcard(const std::string& textIn, const std::string& patternIn, bool caseSensitive) {
  std::string t = textIn;
  std::string p = patternIn;
  if (!caseSensitive) {
    t = ToUpper(t);
    p = ToUpper(p);
  }
  // blankFrom[i]: whether everything from i on is blank.
  auto blanks = [](const std::string& s) {
    std::vector<bool> from(s.size() + 1, true);
    for (size_t i = s.size(); i-- > 0;) from[i] = from[i + 1] && IsBlankByte(s[i]);
    return from;
  };
  const std::vector<bool> tBlank = blanks(t);
  const std::vector<bool> pBlank = blanks(p);
  size_t ti = 0;
  size_t pi = 0;
  for (;;) {
    if (pBlank[pi]) return tBlank[ti] ? 1 : 0;
    if (tBlank[ti]) {
      while (pi < p.size() && p[pi] == '*') ++pi;
      return pBlank[pi] ? 1 : 0;
    }
    if (p[pi] == '*') {
      while (pi < p.size() && p[pi] == '*') ++pi;
      if (pBlank[pi]) return 1;
      while (!tBlank[ti] && t[ti] != p[pi]) ++ti;
      continue;
    }
    if (p[pi] == '?' || p[pi] == t[ti]) {
      ++pi;
      ++ti;
      continue;
    }
    return 0;
  }
}

int IsDriveRoot(const Buffer& b) {
  if (!b.has || IsBlank(b.text)) return 0;
  const size_t colon = b.text.find(':');
  if (colon == std::string::npos) return 0;
  if (colon + 1 == b.text.size()) return 1;
  return b.text[colon + 1] == '\\' && colon + 2 == b.text.size() ? 1 : 0;
}

bool Drive(const std::string& text, std::string* out) {
  const size_t colon = text.find(':');
  if (colon == std::string::npos) return false;
  *out = text.substr(0, colon + 1);
  return true;
}

bool Directory(const std::string& text, std::string* out) {
  const size_t backslash = text.rfind('\\');
  if (backslash == std::string::npos) return false;
  *out = text.substr(0, backslash);
  return true;
}

bool Arguments(const std::string& text, std::string* out) {
  const size_t separator = text.find(" -");
  if (separator == std::string::npos) return false;
  *out = text.substr(separator + 1);
  return true;
}

void Buffer::MakeCommandLine(Arg arguments, int quote) {
  if (arguments == nullptr) return;
  const std::string q = quote != 0 ? "\"" : "";
  const std::string line = "\"" + text + "\" " + q + *arguments + q;
  Assign(&line, 0);
}

void Buffer::AppendArgument(Arg argument, int quote) {
  if (argument == nullptr) return;
  const std::string q = "\"";
  EnsureEndsWith(' ');
  if (quote != 0) Append(&q);
  Append(argument);
  if (quote != 0) Append(&q);
}

bool Buffer::SetExtension(Arg extension) {
  const size_t dot = text.rfind('.');
  if (extension == nullptr || !has || dot == std::string::npos) return false;
  Cut(dot + 1);
  const std::string bare =
      extension->substr(std::min(extension->find_first_not_of('.'), extension->size()));
  Append(&bare);
  return true;
}

void Buffer::DoubleBackslashes() { Replace("\\", "\\\\", false); }

Extracted Extract(int which, Buffer* path, Buffer* out) {
  if (!path->has) return kNoComponent;
  const std::string text = path->text;
  std::string component;
  switch (which) {
    case kDrive:
      if (!Drive(text, &component)) return kNoComponent;
      if (out == nullptr) {
        path->Cut(component.size());
        return kPathText;
      }
      {
        const std::string empty;
        out->Assign(&empty, 0);
        out->Append(&component);
      }
      return kOutText;
    case kDirectory:
      if (!Directory(text, &component)) return kNoComponent;
      if (out == nullptr) {
        path->Cut(component.size());
        return kPathText;
      }
      out->Assign(&component, 0);
      return kOutText;
    case kFileName: {
      const size_t backslash = text.rfind('\\');
      if (backslash == std::string::npos) {
        if (out != nullptr) out->Assign(&text, 0);
        return kPathText;
      }
      if (backslash + 1 == text.size()) return kNoComponent;
      component = text.substr(backslash + 1);
      break;
    }
    default:
      if (!Arguments(text, &component)) return kNoComponent;
  }
  if (out != nullptr) {
    out->Assign(&component, 0);
    return kOutText;
  }
  // In place: a new buffer of exactly the component.
  path->text = component;
  path->capacity = static_cast<uint32_t>(component.size());
  path->kept = false;
  return kPathText;
}

void Split(const Buffer& path, Buffer* const outputs[4]) {
  // Order of the steps: directory, drive, file name, arguments. A missing
  // output still takes its component, in a work buffer of its own.
  const std::string empty;
  Buffer scratch;
  scratch.has = true;
  scratch.capacity = 260;
  auto fill = [&](int which) -> Buffer& {
    Buffer& target = outputs[which] != nullptr ? *outputs[which] : scratch;
    target.Assign(&empty, 0);
    Buffer copy = path;
    Extract(which, &copy, &target);
    return target;
  };
  fill(kDirectory);
  const Buffer& drive = fill(kDrive);
  if (outputs[kDirectory] != nullptr && !IsBlank(drive.text)) {
    outputs[kDirectory]->Replace(drive.text, "", false);
    outputs[kDirectory]->TrimLeftChar('\\');
  }
  fill(kFileName);
  const Buffer& arguments = fill(kArguments);
  if (outputs[kFileName] != nullptr && !IsBlank(arguments.text)) {
    outputs[kFileName]->Replace(arguments.text, "", false);
    outputs[kFileName]->TrimRightChar(' ', 0);
  }
}

QuotedValue GetQuotedValue(const Buffer& path, Arg key) {
  QuotedValue quoted;
  if (key == nullptr || !path.has) return quoted;
  const std::string& text = path.text;
  const size_t found = Find(text, *key, 0, false);
  if (found == std::string::npos) return quoted;
  quoted.result = 1;
  const size_t open = text.find('"', found);
  const size_t close = open != std::string::npos ? text.find('"', open + 1) : std::string::npos;
  const size_t keyEnd = found + key->size();
  if (close != std::string::npos && open >= keyEnd && IsBlank(text.substr(keyEnd, open - keyEnd))) {
    quoted.copies = true;
    quoted.value = text.substr(open + 1, close - open - 1);
  }
  return quoted;
}

std::string QuotedValueOut(const std::string& value, int outSize) {
  const size_t kept = std::min(value.size(), static_cast<size_t>(outSize) - 1);
  std::string out = value.substr(0, kept);
  out.resize(static_cast<size_t>(outSize), '\0');
  return out;
}

Abbreviation Abbreviate(const std::string& text, unsigned maxLength) {
  Abbreviation abbreviation;
  const uint64_t length = text.size();
  if (length <= maxLength) return abbreviation;
  const size_t backslash = text.rfind('\\');
  const size_t name = backslash != std::string::npos ? backslash + 1 : 0;
  uint64_t tail = maxLength / 2 + maxLength % 2;
  if (backslash != std::string::npos && length - name >= tail) tail = length - name;
  if (tail > maxLength) {
    abbreviation.kind = Abbreviation::kCutFileName;
    abbreviation.fileName = name;
    return abbreviation;
  }
  uint64_t head = maxLength - tail;
  if (head < 3 && tail > 3) {
    head = 3;
    tail = maxLength - 3;
  }
  abbreviation.kind = Abbreviation::kInDisplay;
  abbreviation.text = text.substr(0, head) + "..." + text.substr(length - tail);
  return abbreviation;
}

namespace {

// Whether the text is short enough to list: the pattern a listing searches
// for (the text, a backslash unless it ends in one, and '*') must fit in 260
// bytes with its terminator.
bool ListingFits(const std::string& text) {
  return text.size() + (!text.empty() && text.back() == '\\' ? 1 : 2) < 260;
}

}  // namespace

int IsDirectory(const Buffer& path, const OnDisk& disk) {
  return path.has && disk.directory ? 16 : 0;
}

int HasSubdirectories(const Buffer& path, const OnDisk& disk) {
  return path.has && disk.directory && ListingFits(path.text) && !IsBlank(path.text) &&
                 disk.subdirectories
             ? 1
             : 0;
}

int HasEntries(const Buffer& path, const OnDisk& disk) {
  return path.has && disk.directory && ListingFits(path.text) && disk.entries ? 1 : 0;
}

int CanEnterDirectory(const Buffer& path, const OnDisk& disk) {
  return path.has && !IsBlank(path.text) && disk.directory ? 1 : 0;
}

bool OpenFailureFindsFile(uint32_t lastError) {
  return lastError == 5 || lastError == 32 || lastError == 33 || lastError == 80;
}

}  // namespace oracle
