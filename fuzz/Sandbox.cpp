#include "fuzz/Sandbox.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace sandbox {

namespace {

std::filesystem::path root;
std::filesystem::path home;  // the directory the process started in
bool changed = false;

void MakeFixtures() {
  std::filesystem::create_directories(root / "d" / "s");
  std::filesystem::create_directories(root / "e");
  std::ofstream(root / "d" / "f") << "x";
  std::ofstream(root / "f") << "x";
}

void RemoveRoot() {
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsSafeByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
         c == '.' || c == '_' || c == '-' || c == ':' || c == '*' || c == '?' || c == '\\' ||
         c == '/';
}

}  // namespace

void Make() {
  home = std::filesystem::current_path();
  std::string pattern =
      (std::filesystem::temp_directory_path() / "textstring-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::abort();
  }
  root = pattern;
  MakeFixtures();
  std::atexit(RemoveRoot);
}

Visit::Visit() { std::filesystem::current_path(root); }

Visit::~Visit() { std::filesystem::current_path(home); }

bool IsConfined(const std::string& path) {
  if (!path.empty() && IsSeparator(path[0])) return false;
  size_t componentStart = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (path.compare(componentStart, i - componentStart, "..") == 0) return false;
      componentStart = i + 1;
    } else if (!IsSafeByte(path[i])) {
      return false;
    }
  }
  return true;
}

std::string Confine(std::string path) {
  for (char& c : path) {
    if (!IsSafeByte(c)) c = '_';
  }
  for (size_t i = 0; i < path.size() && IsSeparator(path[i]); ++i) path[i] = '_';
  size_t componentStart = 0;
  for (size_t i = 0; i <= path.size(); ++i) {
    if (i == path.size() || IsSeparator(path[i])) {
      if (path.compare(componentStart, i - componentStart, "..") == 0) {
        path.replace(componentStart, 2, "__");
      }
      componentStart = i + 1;
    }
  }
  return path;
}

std::string Native(const std::string& path) {
  std::string native = path;
  for (char& c : native) {
    if (c == '\\') c = '/';
  }
  return native;
}

bool IsDirectory(const std::string& path) {
  struct stat status;
  return !path.empty() && stat(Native(path).c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsFile(const std::string& path) {
  struct stat status;
  return !path.empty() && stat(Native(path).c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool Lists(const std::string& path, bool subdirectoriesOnly) {
  DIR* listing = opendir(Native(path).c_str());
  if (listing == nullptr) return false;
  bool found = false;
  while (const dirent* entry = readdir(listing)) {
    if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
    if (subdirectoriesOnly && !IsDirectory(path + "\\" + entry->d_name)) continue;
    found = true;
    break;
  }
  closedir(listing);
  return found;
}

std::string CurrentDirectory() {
  std::error_code error;
  const std::filesystem::path here = std::filesystem::current_path(error);
  return error ? std::string() : here.string();
}

void NoteCreation() { changed = true; }

void Restore() {
  if (!changed) return;
  changed = false;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(root, ignored)) {
    std::filesystem::remove_all(entry.path(), ignored);
  }
  MakeFixtures();
}

}  // namespace sandbox
