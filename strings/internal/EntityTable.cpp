#include "strings/internal/EntityTable.h"

namespace strings_internal {

const std::array<EntityRow, 42> EntityTable = {{
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

}  // namespace strings_internal
