// Replace: the operations built on ReplaceAll, against Abseil's
// StrReplaceAll and a plain std::string loop. Every implementation starts
// from a fresh copy of the input in each iteration (the copy is timed too;
// the storage rows show what it costs alone).
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "absl/strings/str_replace.h"
#include "bench/BenchSupport.h"

namespace bench {
namespace {

// The loop a user writes: find, append the gap and the replacement, go on
// after the match. `find(text, from)` returns the match's offset or npos.
template <typename Finder>
void ReplaceLoop(std::string& s, size_t whatLength, std::string_view with, Finder find) {
  std::string out;
  size_t from = 0;
  for (size_t hit = find(s, from); hit != std::string::npos; hit = find(s, from)) {
    out.append(s, from, hit - from);
    out.append(with);
    from = hit + whatLength;
  }
  if (from == 0) return;
  out.append(s, from, std::string::npos);
  s.swap(out);
}

auto ExactFinder(std::string_view what) {
  return [what](const std::string& s, size_t from) { return s.find(what, from); };
}

// strcasestr over the terminated std::string: the C library's folded search.
auto FoldedFinder(const char* what) {
  return [what](const std::string& s, size_t from) -> size_t {
    const char* hit = strcasestr(s.c_str() + from, what);
    return hit != nullptr ? static_cast<size_t>(hit - s.c_str()) : std::string::npos;
  };
}

const std::vector<InputSpec> kTexts = {kLog64K, kLog4M, kDense1M};

void RegisterReplaceFamily() {
  AddRow("replace", "ReplaceAll, exact: adapter -> network adapter", kTexts,
         "fresh copy; grows into a buffer of exactly the new size; by design every match is "
         "found twice (count, then build)",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.ReplaceAll("adapter", "network adapter", 1, nullptr);
            Done(r, s);
          }),
          Peer("absl::StrReplaceAll",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 absl::StrReplaceAll({{"adapter", "network adapter"}}, &s);
                 Done(r, s);
               }),
          Peer("std::string loop", [](const Input& in, std::string* r) {
            std::string s = in.text();
            ReplaceLoop(s, 7, "network adapter", ExactFinder("adapter"));
            Done(r, s);
          })});

  AddRow("replace", "Replace, folded: adapter -> NIC", kTexts,
         "fresh copy; shrinks, written over the text in its kept buffer; Abseil has no folded "
         "replace",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            unsigned count = 0;
            s.Replace("adapter", "NIC", &count);
            Done(r, s);
          }),
          Peer("std::string + strcasestr", [](const Input& in, std::string* r) {
            std::string s = in.text();
            ReplaceLoop(s, 7, "NIC", FoldedFinder("adapter"));
            Done(r, s);
          })});

  AddRow("replace", "ReplaceCase: adapter -> NIC", kTexts,
         "fresh copy; by design every match is found twice (count, then build)",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            unsigned count = 0;
            s.ReplaceCase("adapter", "NIC", &count);
            Done(r, s);
          }),
          Peer("absl::StrReplaceAll",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 absl::StrReplaceAll({{"adapter", "NIC"}}, &s);
                 Done(r, s);
               }),
          Peer("std::string loop", [](const Input& in, std::string* r) {
            std::string s = in.text();
            ReplaceLoop(s, 7, "NIC", ExactFinder("adapter"));
            Done(r, s);
          })});

  AddRow("replace", "Remove, folded: adapter", kTexts, "fresh copy; Abseil has no folded replace",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.Remove("adapter");
            Done(r, s);
          }),
          Peer("std::string + strcasestr", [](const Input& in, std::string* r) {
            std::string s = in.text();
            ReplaceLoop(s, 7, "", FoldedFinder("adapter"));
            Done(r, s);
          })});
}

void RegisterWhitespace() {
  AddRow("replace", "ExpandTabs(4)", {kLog64K, kLog4M},
         "fresh copy; by design every tab is found twice (count, then build)",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.ExpandTabs(4);
            Done(r, s);
          }),
          Peer("absl::StrReplaceAll",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 absl::StrReplaceAll({{"\t", "    "}}, &s);
                 Done(r, s);
               }),
          Peer("std::string loop", [](const Input& in, std::string* r) {
            std::string s = in.text();
            std::string out;
            for (char c : s) {
              if (c == '\t') {
                out.append(4, ' ');
              } else {
                out += c;
              }
            }
            s.swap(out);
            Done(r, s);
          })});

  AddRow("replace", "RemoveWhitespace", {kLog64K, kLog4M},
         "fresh copy; what four ReplaceAll passes leave, in one pass (and one counting pass when "
         "the text fills its buffer, where the passes' buffer rule needs their counts)",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.RemoveWhitespace();
            Done(r, s);
          }),
          Peer("absl::StrReplaceAll",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 absl::StrReplaceAll({{" ", ""}, {"\t", ""}, {"\r", ""}, {"\n", ""}}, &s);
                 Done(r, s);
               }),
          Peer("std::string loop", [](const Input& in, std::string* r) {
            std::string s = in.text();
            s.erase(std::remove_if(
                        s.begin(), s.end(),
                        [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }),
                    s.end());
            Done(r, s);
          })});

  AddRow("replace", "EscapeUrlChars", {kLog64K, kLog4M},
         "fresh copy; by design five ReplaceCase passes ('%' first), each searching twice; "
         "Abseil makes one pass",
         {Ours([](const Input& in, std::string* r) {
            TextString s(in.c_str(), 0);
            s.EscapeUrlChars();
            Done(r, s);
          }),
          Peer("absl::StrReplaceAll",
               [](const Input& in, std::string* r) {
                 std::string s = in.text();
                 absl::StrReplaceAll(
                     {{"%", "%25"}, {"#", "%23"}, {"$", "%24"}, {"&", "%26"}, {"+", "%2B"}}, &s);
                 Done(r, s);
               }),
          Peer("std::string loop", [](const Input& in, std::string* r) {
            std::string s = in.text();
            std::string out;
            for (char c : s) {
              switch (c) {
                case '#':
                  out += "%23";
                  break;
                case '$':
                  out += "%24";
                  break;
                case '%':
                  out += "%25";
                  break;
                case '&':
                  out += "%26";
                  break;
                case '+':
                  out += "%2B";
                  break;
                default:
                  out += c;
                  break;
              }
            }
            s.swap(out);
            Done(r, s);
          })});
}

[[maybe_unused]] const bool registered = (RegisterReplaceFamily(), RegisterWhitespace(), true);

}  // namespace
}  // namespace bench
