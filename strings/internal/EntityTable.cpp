#include "strings/internal/EntityTable.h"

#include "strings/TextString.h"

namespace strings_internal {

namespace {

constexpr std::array<EntityRow, 42> kRows = {{
    {"&ouml;", '\xF6'},   {"&Ouml;", '\xD6'},   {"&auml;", '\xE4'},   {"&Auml;", '\xC4'},
    {"&uuml;", '\xFC'},   {"&Uuml;", '\xDC'},   {"&szlig;", '\xDF'},  {"&sect;", '\xA7'},
    {"&Ccedil;", '\xC7'}, {"&ccedil;", '\xE7'}, {"&Aacute;", '\xC1'}, {"&Agrave;", '\xC0'},
    {"&Acirc;", '\xC2'},  {"&aacute;", '\xE1'}, {"&agrave;", '\xE0'}, {"&acirc;", '\xE2'},
    {"&Oacute;", '\xD3'}, {"&Ograve;", '\xD2'}, {"&Ocirc;", '\xD4'},  {"&oacute;", '\xF3'},
    {"&ograve;", '\xF2'}, {"&ocirc;", '\xF4'},  {"&Uacute;", '\xDA'}, {"&Ugrave;", '\xD9'},
    {"&Ucirc;", '\xDB'},  {"&uacute;", '\xFA'}, {"&ugrave;", '\xF9'}, {"&ucirc;", '\xFB'},
    {"&Iacute;", '\xCD'}, {"&Igrave;", '\xCC'}, {"&Icirc;", '\xCE'},  {"&iacute;", '\xED'},
    {"&igrave;", '\xEC'}, {"&icirc;", '\xEE'},  {"&Eacute;", '\xC9'}, {"&Egrave;", '\xC8'},
    {"&Ecirc;", '\xCA'},  {"&eacute;", '\xE9'}, {"&egrave;", '\xE8'}, {"&ecirc;", '\xEA'},
    {"&yacute;", '\xFD'}, {"&Yacute;", '\xDD'},
}};

constexpr ReferenceIndex BuildIndex() {
  ReferenceIndex index;
  index.masks[0] = 0xFF;  // row 0 matches nothing: no '&' is 0
  index.bytes[0] = '&';
  for (unsigned row = 0; row < kRows.size(); ++row) {
    const char* reference = kRows[row].reference;
    const unsigned slot = ReferenceSlot(static_cast<unsigned char>(reference[1]),
                                        static_cast<unsigned char>(reference[2]));
    if (index.rowOf[slot] != 0) index.shared = true;
    index.rowOf[slot] = static_cast<uint8_t>(row + 1);
    for (unsigned i = 0; reference[i] != '\0'; ++i) {
      index.patterns[row + 1] |= uint64_t{static_cast<unsigned char>(reference[i])} << (8 * i);
      index.masks[row + 1] |= uint64_t{0xFF} << (8 * i);
    }
    index.references[row + 1] = reference;
    for (const char* p = reference; *p != '\0'; ++p) ++index.lengths[row + 1];
    index.bytes[row + 1] = kRows[row].byte;
  }
  return index;
}

constexpr ReferenceIndex kIndex = BuildIndex();
static_assert(!kIndex.shared, "choose another multiplier for ReferenceSlot");

constexpr void Put(EntityEncoding& table, unsigned row, unsigned char byte, const char* reference) {
  table.rowOf[byte] = static_cast<uint8_t>(row);
  uint8_t length = 0;
  for (; reference[length] != '\0'; ++length) table.references[row][length] = reference[length];
  table.lengths[byte] = length;
}

constexpr EntityEncoding BuildEncoding() {
  EntityEncoding table;
  for (uint8_t& length : table.lengths) length = 1;
  Put(table, 1, '&', "&amp;");
  for (unsigned row = 0; row < kRows.size(); ++row) {
    Put(table, row + 2, static_cast<unsigned char>(kRows[row].byte), kRows[row].reference);
  }
  return table;
}

}  // namespace

const std::array<EntityRow, 42> EntityTable = kRows;

void EncodePassByPass(TextString* s) {
  s->ReplaceCase("&", "&amp;", nullptr);
  for (const auto& row : kRows) {
    const char byte[2] = {row.byte, '\0'};
    s->ReplaceCase(byte, row.reference, nullptr);
  }
}

void CloseNumericReference(char* ampersand) {
  constexpr int kFirstSemicolonPlace = 3;
  constexpr int kLastSemicolonPlace = 6;
  // Place 2 is looked at only to stop where the text ends right after "&#".
  for (int place = 2; place <= kLastSemicolonPlace && ampersand[place] != '\0'; ++place) {
    if (place >= kFirstSemicolonPlace && ampersand[place] == ';') {
      ampersand[place] = ',';
      return;
    }
  }
}
const EntityEncoding EntityEncodingTable = BuildEncoding();
const ReferenceIndex EntityReferenceIndex = kIndex;

}  // namespace strings_internal
