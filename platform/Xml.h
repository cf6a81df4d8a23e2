// The small XML tree that templates, prepared reports, grammars and syntax trees
// are kept in: one item class, one reader, one writer, one escaping for all of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Streams.h"

namespace zentavo {

// Escapes a value for an attribute; XMLToStr gives back exactly the same bytes.
// Bytes the reader keeps as they stand (a bare "&", tabs, letters 128-255) are
// written as they are, so stored documents stay the bytes they always were.
std::string StrToXML(std::string_view s);
// "&#N;" becomes the byte N (low 8 bits), "&quot;" a quote; throws
// "'DIGITS' is not a valid integer value" for a reference like "&#1x;".
std::string XMLToStr(std::string_view s);
// Appends ` name="value"` to an attribute text; the value is already escaped.
void AppendAttribute(std::string& text, std::string_view name, std::string_view escapedValue);

// How Find and FindItem compare element names.
enum class XmlNameCase : std::uint8_t {
  kAscii,   // ASCII letters fold, every other byte as it is
  kCp1254,  // Windows-1254 letters fold too (ş/Ş, ç/Ç ...)
};

// What tells one user's documents from another's. Everything else (escaping,
// the reading rules, the layout written) is the same for every document.
struct XmlSettings {
  std::string_view declaration;  // the first tag SaveToStream writes
  XmlNameCase nameCase;  // of Find and FindItem; every item of the document carries it
  // ld="0" on an open element marks children that a partial load leaves on the
  // stream; the mark is taken out of the attribute text. Without it, ld is an
  // attribute like any other.
  bool unloadMarks;
  // Open elements nested deeper than this are refused as hostile input.
  int maxDepth;
};

class XmlItem {
 public:
  XmlItem() = default;
  explicit XmlItem(XmlNameCase nameCase) : nameCase_(nameCase) {}
  // Frees the subtree without recursion (a deep tree cannot exhaust the stack)
  // and removes the item from its parent's list.
  ~XmlItem();
  XmlItem(const XmlItem&) = delete;
  XmlItem& operator=(const XmlItem&) = delete;

  XmlItem* Parent() const { return parent_; }
  // The top item: the parents walked up.
  XmlItem* Root();
  const XmlItem* Root() const;
  int Count() const { return items_ ? static_cast<int>(items_->size()) : 0; }
  XmlItem* Items(int i) const { return (*items_)[static_cast<std::size_t>(i)]; }
  XmlItem* operator[](int i) const { return Items(i); }

  // New children compare names as their parent does.
  XmlItem* Add();
  void AddItem(XmlItem* item);  // takes ownership; moves it from its old parent
  void InsertItem(int index, XmlItem* item);
  int Find(std::string_view name) const;  // ignoring case (NameCase), -1 when absent
  XmlItem* FindItem(std::string_view name);  // appends a new child when absent
  int IndexOf(const XmlItem* item) const;
  std::string Prop(std::string_view name) const;  // unescaped; empty when absent
  void SetProp(std::string_view name, std::string_view value);
  void Clear();
  // Clears, then copies Name, Text, Data and the whole subtree of `source`
  // (without recursion). The copies compare names as this item does.
  void Assign(const XmlItem& source);
  XmlNameCase NameCase() const { return nameCase_; }

  // Stream position in the document's temporary stream while unloaded; kept
  // as 8 + 32 bits like the original small item (offsets below 2^40).
  std::uint64_t Offset() const { return (std::uint64_t{offsetHi_} << 32) | offsetLo_; }
  void SetOffset(std::uint64_t offset);

  // The fields are laid out so the flags, the offset and the name case share
  // one word: a prepared report holds one item per printed object.
  std::string Name;
  std::string Text;  // attribute text exactly as written, never parsed into a map
  void* Data = nullptr;

 private:
  XmlItem* parent_ = nullptr;
  std::unique_ptr<std::vector<XmlItem*>> items_;

 public:
  bool Loaded = true;
  bool Unloadable = false;

 private:
  void Detach(XmlItem* child);
  std::uint8_t offsetHi_ = 0;
  XmlNameCase nameCase_ = XmlNameCase::kAscii;
  std::uint32_t offsetLo_ = 0;
};

class XmlDocument {
 public:
  explicit XmlDocument(const XmlSettings& settings);
  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  const XmlSettings& Settings() const { return settings_; }
  XmlItem& Root() { return *root_; }
  const XmlItem& Root() const { return *root_; }
  bool AutoIndent = false;
  std::string TempDir;
  const std::string& TempFile() const { return tempFile_; }

  void Clear();
  // Reads from the stream's position; throws "Invalid file format".
  void LoadFromStream(TStream& stream);
  // Partial load: subtrees marked ld="0" stay on the stream, which the
  // document now owns and reads again on demand.
  void LoadFromStreamPartial(std::unique_ptr<TStream> stream);
  void SaveToStream(TStream& stream);
  void LoadFromString(std::string_view text);
  std::string SaveToString();
  void LoadFromFile(const std::string& path);
  void SaveToFile(const std::string& path);

  void CreateTempFile();
  void DeleteTempFile();
  void LoadItem(XmlItem& item);
  void UnloadItem(XmlItem& item);

 private:
  void Load(TStream& stream, bool partial);
  XmlSettings settings_;
  std::unique_ptr<XmlItem> root_;
  std::string tempFile_;
  TStream* tempStream_ = nullptr;
  std::unique_ptr<TStream> ownedStream_;
  bool tempFileCreated_ = false;
};

}  // namespace zentavo
