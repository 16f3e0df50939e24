// Win32 side of platform/PackageFiles.h: only code that calls the Windows API belongs here.
#include "platform/PackageFiles.h"

#include <windows.h>

#include "platform/DynamicLibrary.h"

namespace platform {
namespace {

// bcrypt.dll's hashing, as far as SHA-256 of one file needs it. Its types
// are spelt out: <bcrypt.h> would bring the import library along.
using OpenProvider = LONG(WINAPI*)(void** provider, const wchar_t* id, const wchar_t* impl,
                                   ULONG flags);
using CreateHash = LONG(WINAPI*)(void* provider, void** hash, unsigned char* object,
                                 ULONG objectSize, unsigned char* secret, ULONG secretSize,
                                 ULONG flags);
using HashData = LONG(WINAPI*)(void* hash, const unsigned char* data, ULONG size, ULONG flags);
using FinishHash = LONG(WINAPI*)(void* hash, unsigned char* digest, ULONG size, ULONG flags);

constexpr DWORD kChunk = 64 * 1024;

}  // namespace

FileHandle OpenLockedForReading(const char* path) {
  // Other processes may read, nothing else: no writing, renaming or
  // deleting while the handle is open. A link is opened as itself
  // (FILE_FLAG_OPEN_REPARSE_POINT), so it never matches a pinned digest: the
  // loader would follow it, and a link can be pointed elsewhere after the
  // check, whatever lock its old target is under.
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return file != INVALID_HANDLE_VALUE ? file : nullptr;
}

int Sha256OfFile(FileHandle file, unsigned char (&digest)[32], uint64_t* size) {
  *size = 0;
  // Loaded when a pinned program first needs it, and kept: the check of a
  // package hashes several files.
  static const char* const kNames[] = {"BCryptOpenAlgorithmProvider", "BCryptCreateHash",
                                       "BCryptHashData", "BCryptFinishHash"};
  const LibraryHandle bcrypt = LoadSystemLibrary("bcrypt.dll");
  if (bcrypt == nullptr) return 0;
  void* functions[4];
  for (int i = 0; i < 4; ++i) {
    functions[i] = FindExport(bcrypt, kNames[i]);
    if (functions[i] == nullptr) return 0;
  }
  const auto open = reinterpret_cast<OpenProvider>(functions[0]);
  const auto create = reinterpret_cast<CreateHash>(functions[1]);
  const auto hashData = reinterpret_cast<HashData>(functions[2]);
  const auto finish = reinterpret_cast<FinishHash>(functions[3]);
  void* provider = nullptr;
  void* hash = nullptr;
  if (open(&provider, L"SHA256", nullptr, 0) != 0 ||
      create(provider, &hash, nullptr, 0, nullptr, 0, 0) != 0) {
    return 0;
  }
  unsigned char* buffer = new unsigned char[kChunk];
  bool ok = true;
  DWORD read = 0;
  while (ok && (ok = ReadFile(file, buffer, kChunk, &read, nullptr) != 0) && read > 0) {
    ok = hashData(hash, buffer, read, 0) == 0;
    *size += read;
  }
  delete[] buffer;
  // The provider and the hash object are left to the process's end: the
  // program ends soon, and their cleanup would cost code in every run.
  return ok && finish(hash, digest, sizeof digest, 0) == 0 ? 1 : 0;
}

void CloseLockedFileForTesting(FileHandle file) { CloseHandle(file); }

}  // namespace platform
