// Paths: the components, wildcard matching, abbreviation and joining, on a
// 60-character and a 260-character path, against the nearest std::string
// code and std::filesystem (which, on Linux, splits at '/': it is given the
// same path with slashes, and its results are not compared with ours).
#include <fnmatch.h>

#include <filesystem>
#include <string>

#include "bench/BenchSupport.h"

namespace bench {
namespace {

namespace fs = std::filesystem;

const std::vector<InputSpec> kPaths = {kPath60, kPath260};

// Outputs kept from one iteration to the next, as the getters' caches are.
std::string& Kept(int which) {
  static std::string kept[4];
  return kept[which];
}

// GetDirectory's and GetFileName's std::string counterpart: the text before
// (or after) the last backslash, into an output kept between iterations.
const std::string& AroundLastBackslash(const Input& in, bool after) {
  const size_t slash = in.text().rfind('\\');
  const bool none = slash == std::string::npos;
  std::string& part = Kept(after ? 2 : 1);
  if (after) {
    part.assign(in.text(), none ? 0 : slash + 1);
  } else {
    part.assign(in.text(), 0, none ? 0 : slash);
  }
  return part;
}

void RegisterComponents() {
  AddRow("paths", "Split into four strings", kPaths,
         "by design: a 260-byte scratch string, each part through its Extract operation, two "
         "folded Replace calls and two trims",
         {Ours([](const Input& in, std::string* r) {
            static TextString drive, directory, fileName, arguments;
            in.path().Split(&drive, &directory, &fileName, &arguments);
            benchmark::DoNotOptimize(arguments.GetText());
            Report(r, std::string(drive.GetText()) + "|" + directory.GetText() + "|" +
                          fileName.GetText() + "|" + arguments.GetText());
          }),
          Peer("std::string", [](const Input& in, std::string* r) {
            const std::string& text = in.text();
            std::string& drive = Kept(0);
            std::string& directory = Kept(1);
            std::string& fileName = Kept(2);
            std::string& arguments = Kept(3);
            const size_t colon = text.find(':');
            drive.assign(text, 0, colon == std::string::npos ? 0 : colon + 1);
            const size_t slash = text.rfind('\\');
            directory.assign(text, 0, slash == std::string::npos ? 0 : slash);
            if (!drive.empty() && directory.compare(0, drive.size(), drive) == 0) {
              directory.erase(0, directory.find_first_not_of('\\', drive.size()));
            }
            fileName.assign(text, slash == std::string::npos ? 0 : slash + 1);
            const size_t dash = text.find(" -");
            arguments.assign(text, dash == std::string::npos ? text.size() : dash + 1);
            if (!arguments.empty() && fileName.size() >= arguments.size() &&
                fileName.compare(fileName.size() - arguments.size(), arguments.size(), arguments) ==
                    0) {
              fileName.resize(fileName.size() - arguments.size());
              if (!fileName.empty() && fileName.back() == ' ') fileName.pop_back();
            }
            benchmark::DoNotOptimize(arguments.data());
            Report(r, drive + "|" + directory + "|" + fileName + "|" + arguments);
          })});

  AddRow("paths", "GetDrive", kPaths,
         "by design: the cache is emptied, then ExtractDrive empties it again and appends the "
         "drive, all through the virtual table",
         {Ours([](const Input& in, std::string* r) { Done(r, in.path().GetDrive(0)); }),
          Peer("std::string", [](const Input& in, std::string* r) {
            const size_t colon = in.text().find(':');
            Kept(0).assign(in.text(), 0, colon == std::string::npos ? 0 : colon + 1);
            Done(r, Kept(0));
          })});

  // The two parts around the last backslash.
  const struct {
    const char* name;
    const char* note;
    const char* (PathString::*get)(int);
    bool after;
    const char* nearest;
    fs::path (fs::path::*part)() const;
  } parts[] = {
      {"GetDirectory", "by design: the cache is emptied, then ExtractDirectory assigns the part",
       &PathString::GetDirectory, false, "fs::path::parent_path", &fs::path::parent_path},
      {"GetFileName", "by design: the cache is emptied, then ExtractFileName assigns the part",
       &PathString::GetFileName, true, "fs::path::filename", &fs::path::filename},
  };
  for (const auto& part : parts) {
    AddRow("paths", part.name, kPaths, part.note,
           {Ours([part](const Input& in, std::string* r) { Done(r, (in.path().*part.get)(0)); }),
            Peer("std::string",
                 [part](const Input& in, std::string* r) {
                   Done(r, AroundLastBackslash(in, part.after));
                 }),
            Nearest(part.nearest, [part](const Input& in, std::string* r) {
              const fs::path piece = (fs::path(in.slashed()).*part.part)();
              Done(r, piece.native());
            })});
  }

  AddRow("paths", "GetArguments", kPaths,
         "by design: the cache is emptied, then ExtractArguments searches \" -\" and assigns "
         "the part",
         {Ours([](const Input& in, std::string* r) { Done(r, in.path().GetArguments()); }),
          Peer("std::string", [](const Input& in, std::string* r) {
            const size_t dash = in.text().find(" -");
            Kept(3).assign(in.text(), dash == std::string::npos ? in.size() : dash + 1);
            Done(r, Kept(3));
          })});
}

void RegisterOthers() {
  AddRow("paths", "MatchWildcard(\"*.exe*\", folded)", kPaths,
         "fnmatch backtracks, ours does not (the same result here)",
         {Ours([](const Input& in, std::string* r) {
            const int match = in.path().MatchWildcard("*.exe*", 0);
            benchmark::DoNotOptimize(match);
            Report(r, match);
          }),
          Peer("fnmatch", [](const Input& in, std::string* r) {
            const int match = fnmatch("*.exe*", in.c_str(), FNM_NOESCAPE | FNM_CASEFOLD) == 0;
            benchmark::DoNotOptimize(match);
            Report(r, match);
          })});

  AddRow("paths", "Abbreviate(40)", kPaths, nullptr,
         {Ours([](const Input& in, std::string* r) { Done(r, in.path().Abbreviate(40)); }),
          Peer("std::string", [](const Input& in, std::string* r) {
            // Half for the end, or the whole file name when it is longer.
            const std::string& text = in.text();
            const size_t slash = text.rfind('\\');
            const size_t name = slash == std::string::npos ? text.size() : text.size() - slash - 1;
            const size_t tail = std::max<size_t>(20, name);
            std::string& out = Kept(0);
            out.assign(text, 0, 40 - tail);
            out += "...";
            out.append(text, text.size() - tail, tail);
            Done(r, out);
          })});

  AddRow("paths", "AppendComponent(\"readme.txt\")", kPaths,
         "fresh PathString(text, 260) each time: two buffers (text, displayText); on the "
         "260-char path both Appends (backslash, name) take a buffer of exactly the new size, "
         "by design",
         {Ours([](const Input& in, std::string* r) {
            PathString path(in.c_str(), 260);
            Done(r, path.AppendComponent("readme.txt"));
          }),
          Peer("std::string",
               [](const Input& in, std::string* r) {
                 std::string path = in.text();
                 if (!path.empty() && path.back() != '\\') path += '\\';
                 path += "readme.txt";
                 Done(r, path);
               }),
          Nearest("fs::path::operator/=", [](const Input& in, std::string* r) {
            fs::path path(in.slashed());
            path /= "readme.txt";
            Done(r, path.native());
          })});
}

[[maybe_unused]] const bool registered = (RegisterComponents(), RegisterOthers(), true);

}  // namespace
}  // namespace bench
