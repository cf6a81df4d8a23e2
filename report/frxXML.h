// The small XML tree under templates and prepared reports: elements carry their
// data as unparsed attribute text; finished subtrees can move to a temporary file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Streams.h"

namespace zentavo {

// Escapes a value for an attribute; XMLToStr gives back exactly the same bytes.
std::string StrToXML(std::string_view s);
// Throws "'DIGITS' is not a valid integer value" for a reference like "&#1x;".
std::string XMLToStr(std::string_view s);

class TfrxXMLItem {
 public:
  TfrxXMLItem() = default;
  // Clears the item and removes it from its parent's list.
  ~TfrxXMLItem();
  TfrxXMLItem(const TfrxXMLItem&) = delete;
  TfrxXMLItem& operator=(const TfrxXMLItem&) = delete;

  std::string Name;
  std::string Text;  // attribute text exactly as written, never parsed into a map
  void* Data = nullptr;
  bool Loaded = true;
  bool Unloadable = false;

  TfrxXMLItem* Parent() const { return parent_; }
  int Count() const { return items_ ? static_cast<int>(items_->size()) : 0; }
  TfrxXMLItem* Items(int i) const { return (*items_)[static_cast<std::size_t>(i)]; }
  TfrxXMLItem* operator[](int i) const { return Items(i); }

  TfrxXMLItem* Add();
  void AddItem(TfrxXMLItem* item);  // takes ownership; moves it from its old parent
  void InsertItem(int index, TfrxXMLItem* item);
  int Find(std::string_view name) const;  // ignoring ASCII case, -1 when absent
  TfrxXMLItem* FindItem(std::string_view name);  // appends a new child when absent
  int IndexOf(const TfrxXMLItem* item) const;
  std::string Prop(std::string_view name) const;
  void SetProp(std::string_view name, std::string_view value);
  void Clear();

  // Stream position in the document's temporary stream while unloaded; kept
  // as 8 + 32 bits like the original small item (offsets below 2^40).
  std::uint64_t Offset() const { return (std::uint64_t{offsetHi_} << 32) | offsetLo_; }
  void SetOffset(std::uint64_t offset);

 private:
  void Detach(TfrxXMLItem* child);
  TfrxXMLItem* parent_ = nullptr;
  std::unique_ptr<std::vector<TfrxXMLItem*>> items_;
  std::uint8_t offsetHi_ = 0;
  std::uint32_t offsetLo_ = 0;
};

class TfrxXMLDocument {
 public:
  TfrxXMLDocument();
  ~TfrxXMLDocument();
  TfrxXMLDocument(const TfrxXMLDocument&) = delete;
  TfrxXMLDocument& operator=(const TfrxXMLDocument&) = delete;

  TfrxXMLItem& Root() { return *root_; }
  const TfrxXMLItem& Root() const { return *root_; }
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

  void CreateTempFile();
  void DeleteTempFile();
  void LoadItem(TfrxXMLItem& item);
  void UnloadItem(TfrxXMLItem& item);

 private:
  void Load(TStream& stream, bool partial);
  std::unique_ptr<TfrxXMLItem> root_;
  std::string tempFile_;
  TStream* tempStream_ = nullptr;
  std::unique_ptr<TStream> ownedStream_;
  bool tempFileCreated_ = false;
};

}  // namespace zentavo
