// Path components: Extract into another string or in place, the cached
// getters, Split, and the drive-root test.
#include <gtest/gtest.h>

#include "paths/PathString.h"
#include "tests/support/Bufferless.h"

namespace {

using Extractor = const char* (PathString::*)(TextString*);
using Getter = const char* (*)(PathString&);

struct Component {
  Extractor extract;
  Getter get;
};

const Component kComponents[] = {
    {&PathString::ExtractDrive, [](PathString& p) { return p.GetDrive(0); }},
    {&PathString::ExtractDirectory, [](PathString& p) { return p.GetDirectory(0); }},
    {&PathString::ExtractFileName, [](PathString& p) { return p.GetFileName(0); }},
    {&PathString::ExtractArguments, [](PathString& p) { return p.GetArguments(); }},
};

TEST(PathExtract, ComponentsIntoOutAndCaches) {
  struct Row {
    const char* path;
    const char* expected[4];  // drive, directory, file name, arguments; null: none
  } rows[] = {
      {"C:\\Tools\\run.exe -q -log", {"C:", "C:\\Tools", "run.exe -q -log", "-q -log"}},
      {"C:\\Tools\\run.exe -log C:\\x", {"C:", "C:\\Tools\\run.exe -log C:", "x", "-log C:\\x"}},
      {"\\\\server\\share\\setup.exe", {nullptr, "\\\\server\\share", "setup.exe", nullptr}},
      {"C:\\Tools\\", {"C:", "C:\\Tools", nullptr, nullptr}},
      {"run.exe -", {nullptr, nullptr, "run.exe -", "-"}},
      {"run.exe-q /q", {nullptr, nullptr, "run.exe-q /q", nullptr}},
  };
  for (const Row& row : rows) {
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE(testing::Message() << row.path << " component " << i);
      PathString path(row.path, 260);
      TextString out("kept", 260);
      const Component& component = kComponents[i];
      const char* result = (path.*component.extract)(&out);
      const char* expected = row.expected[i];
      EXPECT_STREQ(path.GetText(), row.path);
      EXPECT_STREQ(out.GetText(), expected != nullptr ? expected : "kept");
      // A file name without a backslash is the path's own text.
      const bool own = i == 2 && path.Find("\\", 1) == nullptr;
      EXPECT_EQ(result, expected == nullptr ? nullptr : own ? path.GetText() : out.GetText());

      const char* cached = component.get(path);
      EXPECT_STREQ(cached, expected != nullptr ? expected : "");
      EXPECT_EQ(component.get(path), cached);  // the cache's storage is reused
    }
  }
}

TEST(PathExtract, InPlaceKeepsOrShrinksToFitTheBuffer) {
  PathString path("C:\\Tools\\run.exe -q", 0);  // capacity 19
  const char* before = path.GetText();
  EXPECT_STREQ(path.GetFileName(1), "run.exe -q");
  EXPECT_NE(path.GetText(), before);
  EXPECT_EQ(path.GetCapacity(), 10u);
  EXPECT_STREQ(path.ExtractArguments(nullptr), "-q");
  EXPECT_EQ(path.GetCapacity(), 2u);
  path.Assign("C:\\Tools\\", 0);
  before = path.GetText();
  EXPECT_EQ(path.GetFileName(1), nullptr);
  EXPECT_STREQ(path.GetDirectory(1), "C:\\Tools");
  EXPECT_STREQ(path.GetDrive(1), "C:");
  EXPECT_EQ(path.GetText(), before);
  EXPECT_EQ(path.GetCapacity(), 10u);
  path.Free();
  EXPECT_EQ(path.GetDrive(0), nullptr);
}

TEST(PathExtract, DriveLeavesOutAsAppendingEachCharacterWould) {
  PathString path("C:\\x", 260);
  TextString roomy("abc", 0);  // capacity 4: "C:" fits with a byte to spare
  const char* before = roomy.GetText();
  path.ExtractDrive(&roomy);
  EXPECT_EQ(roomy.GetText(), before);
  EXPECT_EQ(roomy.GetCapacity(), 4u);
  TextString tight("ab", 0);  // capacity 3: the second character needs a new buffer
  path.ExtractDrive(&tight);
  EXPECT_STREQ(tight.GetText(), "C:");
  EXPECT_EQ(tight.GetCapacity(), 2u);
}

TEST(PathExtract, OutMayBeThePathItself) {
  const char* expected[] = {"C:", "C:\\Tools", "run.exe -q", "-q"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    PathString path("C:\\Tools\\run.exe -q", 0);
    const Extractor extract = kComponents[i].extract;
    (path.*extract)(&path);
    EXPECT_STREQ(path.GetText(), expected[i]);
  }
  PathString path("C:\\Tools\\run.exe -q", 0);
  path.Split(nullptr, &path, nullptr, nullptr);
  EXPECT_STREQ(path.GetText(), "Tools");
}

TEST(PathSplit, FillsWantedComponentsAlone) {
  struct Row {
    const char* path;
    const char* expected[4];  // drive, directory, file name, arguments
  } rows[] = {
      {"C:\\Tools\\run.exe -q -log", {"C:", "Tools", "run.exe", "-q -log"}},
      {"\\\\server\\share\\setup.exe", {"", "\\\\server\\share", "setup.exe", ""}},
      {"run.exe  -q", {"", "", "run.exe ", "-q"}},
      {"C:\\Tools\\", {"C:", "Tools", "", ""}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    PathString path(row.path, 260);
    TextString all[4] = {TextString("x"), TextString("x"), TextString("x"), TextString("x")};
    EXPECT_EQ(path.Split(&all[0], &all[1], &all[2], &all[3]), 1);
    for (int i = 0; i < 4; ++i) {
      EXPECT_STREQ(all[i].GetText(), row.expected[i]) << "component " << i;
      TextString alone("x");  // the others not wanted
      TextString* outputs[4] = {};
      outputs[i] = &alone;
      path.Split(outputs[0], outputs[1], outputs[2], outputs[3]);
      EXPECT_STREQ(alone.GetText(), row.expected[i]) << "alone " << i;
    }
    EXPECT_STREQ(path.GetText(), row.path);
  }
}

TEST(PathDriveRoot, OnlyADriveOrItsRootCounts) {
  const struct {
    const char* text;
    int expected;
  } rows[] = {
      {"C:", 1},          {"C:\\", 1},
      {"c:", 1},          {"Z:\\", 1},
      {":", 1},           {"Drive:", 1},
      {"C:\\Windows", 0}, {"C:\\\\", 0},
      {"C:.", 0},         {"\\\\server\\share", 0},
      {"C", 0},           {"", 0},
      {" \t", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    PathString path(row.text);
    EXPECT_EQ(path.IsDriveRoot(), row.expected);
  }
  Bufferless<PathString> withoutText;
  EXPECT_EQ(withoutText.IsDriveRoot(), 0);
}

}  // namespace
