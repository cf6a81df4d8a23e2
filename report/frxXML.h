// The report's XML documents: templates and prepared reports, in the shared
// XML tree configured as the report engine has always written them.
#pragma once

#include "platform/Xml.h"

namespace zentavo {

// ASCII case for element names, ld="0" marks for subtrees kept out of memory,
// and a depth that templates (report > page > band > view) and prepared
// reports stay far below.
inline constexpr XmlSettings kReportXmlSettings{
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>", XmlNameCase::kAscii, true, 256};

using TfrxXMLItem = XmlItem;

class TfrxXMLDocument : public XmlDocument {
 public:
  TfrxXMLDocument() : XmlDocument(kReportXmlSettings) {}
};

}  // namespace zentavo
