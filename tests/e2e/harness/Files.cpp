#include "tests/e2e/harness/Files.h"

#include <windows.h>

#include "tests/e2e/harness/System.h"

namespace e2e {
namespace {

testing::AssertionResult Failed(const char* what, const std::string& path, DWORD error) {
  return testing::AssertionFailure()
         << what << " " << path << ": error " << error << " (" << ErrorText(error) << ")";
}

// The file calls take at most MAX_PATH characters, and a folder to be made
// 12 fewer (room for an 8.3 name); a longer full path needs the \\?\ form,
// which only the wide calls take whole (Wine's ANSI ones still stop at
// MAX_PATH). So every call here is a wide one, on the path in the ANSI code
// page as the rest of the tests see it. The longest module path test goes
// beyond the limit.
std::wstring Native(const std::string& path) {
  std::wstring wide;
  const int length =
      MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  if (length > 0) {
    wide.resize(static_cast<size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), &wide[0], length);
  }
  if (wide.size() < MAX_PATH - 12 || wide.size() < 3 || wide[1] != L':') return wide;
  return L"\\\\?\\" + wide;
}

std::string Narrow(const wchar_t* name) {
  char narrow[MAX_PATH * 2];
  const int length =
      WideCharToMultiByte(CP_ACP, 0, name, -1, narrow, sizeof narrow, nullptr, nullptr);
  return length > 0 ? std::string(narrow) : std::string();
}

char Folded(char c) {
  if (c == '/') return '\\';
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// A virus scanner may hold a file that was just written or run for a
// moment (Windows only): removal is tried again for a few seconds before
// it counts as failed.
template <class Attempt>
BOOL Retried(Attempt attempt) {
  for (int tries = 0;; ++tries) {
    if (attempt()) return TRUE;
    const DWORD error = GetLastError();
    if (tries >= 50 || (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
                        error != ERROR_DIR_NOT_EMPTY)) {
      SetLastError(error);
      return FALSE;
    }
    Sleep(100);
  }
}

testing::AssertionResult RemoveFile(const std::string& path, DWORD attributes) {
  if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(Native(path).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
  if (!Retried([&] { return DeleteFileW(Native(path).c_str()); })) {
    return Failed("cannot delete", path, GetLastError());
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult RemoveFolder(const std::string& folder) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Native(JoinPath(folder, "*")).c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = Narrow(found.cFileName);
      if (name == "." || name == "..") continue;
      testing::AssertionResult removed = RemovePath(JoinPath(folder, name));
      if (!removed) {
        FindClose(search);
        return removed;
      }
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  if (!Retried([&] { return RemoveDirectoryW(Native(folder).c_str()); })) {
    return Failed("cannot remove the folder", folder, GetLastError());
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult Write(const std::string& path, const std::string& bytes,
                               DWORD disposition) {
  HANDLE file = CreateFileW(Native(path).c_str(),
                            disposition == OPEN_ALWAYS ? FILE_APPEND_DATA : GENERIC_WRITE, 0,
                            nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return Failed("cannot open", path, GetLastError());
  DWORD written = 0;
  const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                             &written, nullptr);
  const DWORD error = GetLastError();
  CloseHandle(file);
  if (!ok || written != bytes.size()) return Failed("cannot write", path, error);
  return testing::AssertionSuccess();
}

}  // namespace

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

std::string FolderOf(const std::string& path) {
  const std::string::size_type slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool SamePath(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::string::size_type i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

bool Exists(const std::string& path) {
  return GetFileAttributesW(Native(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Native(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

testing::AssertionResult MakeFolders(const std::string& folder) {
  if (IsFolder(folder)) return testing::AssertionSuccess();
  const std::string parent = FolderOf(folder);
  // Down to the drive ("C:"), which exists.
  if (parent.size() > 2) {
    testing::AssertionResult made = MakeFolders(parent);
    if (!made) return made;
  }
  if (!CreateDirectoryW(Native(folder).c_str(), nullptr) && !IsFolder(folder)) {
    return Failed("cannot create the folder", folder, GetLastError());
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult CopyOneFile(const std::string& from, const std::string& to) {
  if (!CopyFileW(Native(from).c_str(), Native(to).c_str(), FALSE)) {
    return Failed(("cannot copy " + from + " to").c_str(), to, GetLastError());
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult CopyTree(const std::string& from, const std::string& to) {
  if (!IsFolder(from)) return testing::AssertionFailure() << "no folder " << from;
  testing::AssertionResult made = MakeFolders(to);
  if (!made) return made;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Native(JoinPath(from, "*")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return Failed("cannot list", from, GetLastError());
  testing::AssertionResult copied = testing::AssertionSuccess();
  do {
    const std::string name = Narrow(found.cFileName);
    if (name == "." || name == "..") continue;
    copied = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                 ? CopyTree(JoinPath(from, name), JoinPath(to, name))
                 : CopyOneFile(JoinPath(from, name), JoinPath(to, name));
  } while (copied && FindNextFileW(search, &found));
  FindClose(search);
  return copied;
}

testing::AssertionResult WriteBytes(const std::string& path, const std::string& bytes) {
  return Write(path, bytes, CREATE_ALWAYS);
}

testing::AssertionResult AppendBytes(const std::string& path, const std::string& bytes) {
  return Write(path, bytes, OPEN_ALWAYS);
}

bool ReadBytes(const std::string& path, std::string* bytes) {
  HANDLE file = CreateFileW(Native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char chunk[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(file, chunk, sizeof chunk, &got, nullptr) != 0) && got > 0) {
    bytes->append(chunk, got);
  }
  CloseHandle(file);
  return ok;
}

testing::AssertionResult RemovePath(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Native(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return testing::AssertionSuccess();
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return RemoveFile(path, attributes);
  // A link to a folder goes alone; what it points to stays.
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    if (!RemoveDirectoryW(Native(path).c_str()))
      return Failed("cannot remove", path, GetLastError());
    return testing::AssertionSuccess();
  }
  return RemoveFolder(path);
}

}  // namespace e2e
