// The first step of every XML data reader of the engine: parse the text and check
// the root element, with the error text the readers log.
#pragma once

#include <string>

class TiXmlDocument;
class TiXmlElement;

// Parses text (null reads as empty) into doc. The parser steps over a whole UTF-8
// character at a time, past the end of a text that ends inside one, so the text is
// handed over with zero bytes behind it.
void VParseXmlText(TiXmlDocument& doc, const char* text);

// Parses text as VParseXmlText does and returns the root element when it
// is named name, or alternative when one is given. Otherwise null, with error set
// to "line N: <parser's description>" or "the root element is not <name>" ("is
// neither <name> nor <alternative>"); doc.Error() tells the two apart.
const TiXmlElement* VParseXmlRoot(TiXmlDocument& doc, const char* text, const char* name, std::string& error,
                                  const char* alternative = nullptr);
