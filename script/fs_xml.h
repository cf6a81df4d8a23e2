// The script engine's XML documents: grammars and syntax trees, in the shared
// XML tree with the script's settings.
#pragma once

#include "platform/Xml.h"

namespace zentavo {

// Element names compare as the script compares names, a declaration without
// an encoding, no ld="0" marks (an ld attribute is text like any other), and
// a depth that only a hostile document reaches: a syntax tree nests one or
// two levels per nested statement or bracket.
inline constexpr XmlSettings kFsXMLSettings{"<?xml version=\"1.0\"?>", XmlNameCase::kCp1254, false, 10000};

namespace fsxml {
using zentavo::StrToXML;
using zentavo::XMLToStr;
}  // namespace fsxml

// An item made outside a document is given kFsXMLSettings.nameCase, so that it
// and the children added to it find names as the script's documents do.
using TfsXMLItem = XmlItem;

class TfsXMLDocument : public XmlDocument {
 public:
  TfsXMLDocument() : XmlDocument(kFsXMLSettings) {}
};

}  // namespace zentavo
