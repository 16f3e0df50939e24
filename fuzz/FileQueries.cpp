// The drivers of the file-system queries of PathString (see Operations.h).
// Each runs inside the scratch directory, on the path's text made safe for
// it, and compares the answer with what the disk holds there.
#include <cstdint>
#include <string>

#include "fuzz/Checks.h"
#include "fuzz/Operations.h"
#include "fuzz/Oracle.h"
#include "fuzz/PathOracle.h"
#include "fuzz/Report.h"
#include "fuzz/Sandbox.h"
#include "paths/PathString.h"

namespace fuzz {

namespace {

// The path's text made safe for the file system, or left as it is.
void Confine(TestPath& path) {
  if (path.GetText() == nullptr || sandbox::IsConfined(path.GetText())) return;
  path.Assign(sandbox::Confine(path.GetText()).c_str(), 0);
}

oracle::OnDisk Look(const std::string& text) {
  oracle::OnDisk disk;
  disk.directory = sandbox::IsDirectory(text);
  disk.file = sandbox::IsFile(text);
  disk.entries = disk.directory && sandbox::Lists(text, false);
  disk.subdirectories = disk.directory && sandbox::Lists(text, true);
  return disk;
}

TestPath& Confined(TestPath& path, const char* name) {
  report::CurrentOperation() = name;
  Confine(path);
  return path;
}

// A query of a path that takes no arguments: inside the scratch directory,
// on the path's text made safe first, with the path and the disk as the
// query finds them.
struct PathQuery {
  PathQuery(PathSlot& slot, const char* name)
      : path(Confined(*slot.path, name)), before(Snap(path)), disk(Look(before.model.text)) {}

  const sandbox::Visit visit;
  TestPath& path;
  const Before before;
  const oracle::OnDisk disk;
};

}  // namespace

void OpDirectoryQueries(Input&, World&, PathSlot& slot) {
  const PathQuery query(slot, "IsDirectory/HasSubdirectories/HasEntries");
  TestPath& path = query.path;
  const Buffer& model = query.before.model;
  Require(path.IsDirectory() == oracle::IsDirectory(model, query.disk), "IsDirectory");
  Require(path.HasSubdirectories() == oracle::HasSubdirectories(model, query.disk),
          "HasSubdirectories");
  Require(path.HasEntries() == oracle::HasEntries(model, query.disk), "HasEntries");
  ExpectUnchanged(path, query.before, "the directory queries");
  Require(KeepsErrorRecord(path, query.before), "the directory listings record nothing");
}

void OpCanEnterDirectory(Input&, World&, PathSlot& slot) {
  const PathQuery query(slot, "CanEnterDirectory");
  TestPath& path = query.path;
  const Before& before = query.before;
  const std::string here = sandbox::CurrentDirectory();
  Require(!here.empty(), "the fuzzer knows its directory");
  const int result = path.CanEnterDirectory();
  Require(sandbox::CurrentDirectory() == here, "the current directory is the same afterwards");
  ExpectUnchanged(path, before, "CanEnterDirectory");
  Require(result == oracle::CanEnterDirectory(before.model, query.disk), "CanEnterDirectory");
  const bool blank = !before.model.has || oracle::IsBlank(before.model.text);
  if (result == 1 || blank) {
    Require(KeepsErrorRecord(path, before), "the error record stays");
  } else {
    Require(Peek::ErrorCode(path) == PathString::kErrorEnterDirectory && Peek::LastError(path) != 0,
            "a failed change of directory is recorded");
  }
}

void OpCheckFile(Input& in, World& w, PathSlot& slot, bool withName) {
  const sandbox::Visit visit;
  report::CurrentOperation() = withName ? "CheckFile(name, disposition)" : "CheckFile(disposition)";
  TestPath& path = *slot.path;
  static const int kDispositions[] = {3, 3, 3, 1, 2, 4, 5, 0, 6, -1};
  const int disposition = kDispositions[in.Pick(10)];
  Confine(path);
  TextArg name;
  if (withName) name = Text(in, w, path);
  if (name.ptr != nullptr && !sandbox::IsConfined(name.value)) {
    name = Literal(w, sandbox::Confine(name.value));
  }
  const Before before = Snap(path);
  Buffer candidate = before.model;
  candidate.AppendComponent(name.get());
  if (!sandbox::IsConfined(candidate.text)) return;
  const bool blank = oracle::IsBlank(candidate.text);
  const oracle::OnDisk disk = Look(candidate.text);
  const bool directory = !blank && disk.directory;
  const bool file = !blank && disk.file;

  const int result = withName ? path.CheckFile(name.ptr, disposition) : path.CheckFile(disposition);
  if (disposition != 3) sandbox::NoteCreation();

  ExpectUnchanged(path, before, "CheckFile");
  const uint32_t lastError = Peek::LastError(path);
  const int32_t errorCode = Peek::ErrorCode(path);
  if (!before.model.has) {
    Require(result == 0 && KeepsErrorRecord(path, before), "CheckFile on a path without text");
  } else if (blank) {
    Require(result == 0 && lastError == 109 && errorCode == PathString::kErrorBlankPath,
            "CheckFile on a blank path");
  } else if (directory) {
    Require(result == 0 && lastError == 0 && errorCode == before.errorCode,
            "CheckFile on a directory");
  } else if (lastError == 0) {
    Require(result == 1 && errorCode == before.errorCode, "CheckFile that opened");
  } else {
    Require(errorCode == PathString::kErrorOpenFailed &&
                result == (oracle::OpenFailureFindsFile(lastError) ? 1 : 0),
            "CheckFile whose open failed");
  }
  // Opening an existing file is the one thing disposition 3 does.
  if (disposition == 3 && result != (file ? 1 : 0)) {
    Fail("CheckFile(" + Show(candidate.text) + ", 3) gave " + std::to_string(result) +
         " with lastError " + std::to_string(lastError) + " for " +
         (file ? "an existing file" : "nothing there"));
  }
}

}  // namespace fuzz
