// The report template format: one XML element per object, named by its class,
// its published properties as attributes (in the class's order), children as
// child elements; PropData carries the extra properties as hex records.
#pragma once

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Streams.h"
#include "report/frxClassRegistry.h"
#include "report/frxProps.h"
#include "report/frxXML.h"

namespace zentavo {

class TfrxComponent;

// ---- PropData records

class PropDataWriter {
 public:
  void WriteName(std::string_view name);  // cut at 255 bytes
  void WriteInteger(std::int64_t v);      // smallest of 8, 16, 32 bits
  void WriteString(std::string_view s);   // short (≤ 255) or long string
  void WriteLongString(std::string_view s);
  void WriteBinary(std::string_view bytes);
  void WriteListBegin() { bytes_ += '\x01'; }
  void WriteListEnd() { bytes_ += '\x00'; }
  const std::string& Bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Reads records; every read checks the remaining length and throws on
// malformed data (the caller stops reading quietly).
class PropDataReader {
 public:
  explicit PropDataReader(std::string_view data) : data_(data) {}
  bool AtEnd() const { return pos_ >= data_.size(); }
  std::string ReadName();
  std::int64_t ReadInteger();
  std::string ReadString();
  std::string ReadBinary();
  void ReadListBegin();
  void ReadCollectionBegin();  // a list, or the old collection marker
  bool AtListEnd() const;
  void ReadListEnd();

 private:
  unsigned char Byte();
  std::string_view Bytes(std::size_t n);
  std::uint32_t UInt32();
  std::string_view data_;
  std::size_t pos_ = 0;
};

// ---- object text

// The attribute text of one object (each attribute preceded by a space),
// the prefix put before every name (e.g. "Font.").
std::string ObjToXML(const TfrxPersistent& object, const std::string& prefix, bool saveDefaultValues);

struct PendingReference {
  TfrxPersistent* target;
  const PropInfo* prop;
  std::string name;
};
struct XMLReadContext {
  std::set<std::string> errors;  // sorted, each distinct line once
  std::vector<PendingReference> pending;
};
// Applies an attribute text to an object. Errors of single attributes are
// collected in `context` (or dropped without one); reading goes on.
void XMLToObj(std::string_view text, TfrxPersistent& object, XMLReadContext* context);

// The text of a single object: class name, a space and its attributes; and
// the object created back from such a text (null when the class is unknown).
std::string ObjectToText(const TfrxComponent& object);
TfrxComponent* ObjectFromText(std::string_view text);

// ---- element trees: the one writer and the one reader

// The element of one object: its class name, then Name and its attributes.
void WriteElement(const TfrxComponent& object, TfrxXMLItem& item, bool saveDefaultValues);
// The object's children as child elements, recursively.
void WriteChildElements(const TfrxComponent& parent, TfrxXMLItem& item, bool saveDefaultValues);

struct TreeReadOptions {
  // A problem (a class that cannot stand as an element, an object its parent
  // does not take, nesting deeper than maxDepth) throws instead of being
  // recorded with the element skipped.
  bool strict = false;
  int maxDepth = 0;  // 0: only the XML document's own limit
  // Pending references (FlowTo, DataSet ...) are looked up once the tree is
  // read; prepared pages draw without them.
  bool resolveReferences = true;
  // What an element describes: a class name, a space and the attributes to
  // apply; `name` may receive the name its object gets. By default the
  // element's own name and text.
  std::function<std::string(const TfrxXMLItem& element, std::string& name)> describe;
};
// Reads the children of `item` into `parent`; returns the problems recorded.
std::vector<std::string> ReadChildElements(const TfrxXMLItem& item, TfrxComponent& parent,
                                           const TreeReadOptions& options);
// Applies one element's attributes to an existing object.
void ReadElement(const TfrxXMLItem& item, TfrxComponent& object);

// ---- whole documents (TfrxComponent::SaveToStream / LoadFromStream)

void WriteComponent(TfrxComponent& root, TStream& stream, bool saveChildren, bool saveDefaultValues);
// Reads the document into `root` (which must be cleared); returns the error
// lines. XML syntax errors raise "Invalid file format".
std::vector<std::string> ReadComponent(TfrxComponent& root, TStream& stream);

}  // namespace zentavo
