// Parsing an engine XML file up to its root element.
#include "engine/core/VXmlRoot.h"

#include <tinyxml.h>

void VParseXmlText(TiXmlDocument& doc, const char* text) {
  // Longer than any UTF-8 character, so a step past the end lands on a zero.
  std::string padded(text ? text : "");
  padded.append(4, '\0');
  doc.Parse(padded.c_str());
}

const TiXmlElement* VParseXmlRoot(TiXmlDocument& doc, const char* text, const char* name, std::string& error,
                                  const char* alternative) {
  VParseXmlText(doc, text);
  if (doc.Error()) {
    error = "line " + std::to_string(doc.ErrorRow()) + ": " + doc.ErrorDesc();
    return nullptr;
  }
  const TiXmlElement* root = doc.RootElement();
  if (root && (root->ValueStr() == name || (alternative && root->ValueStr() == alternative))) return root;
  if (alternative)
    error = std::string("the root element is neither <") + name + "> nor <" + alternative + ">";
  else
    error = std::string("the root element is not <") + name + ">";
  return nullptr;
}
