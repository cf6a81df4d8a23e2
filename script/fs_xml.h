// The script engine's small XML tree: grammars and syntax trees are held in
// it. Items keep their attribute text unparsed, as the report's document does.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace zentavo {

namespace fsxml {
// Escapes a value for an attribute. Besides line ends, the quote and angle
// brackets we also escape "&" and every other control character, so any
// value (a string literal holding "&#65;" included) reads back unchanged.
std::string StrToXML(std::string_view s);
// Reverses StrToXML: "&#N;" becomes the byte N (low 8 bits), "&quot;" a quote.
std::string XMLToStr(std::string_view s);
}  // namespace fsxml

class TfsXMLItem {
 public:
  TfsXMLItem() = default;
  TfsXMLItem(const TfsXMLItem&) = delete;
  TfsXMLItem& operator=(const TfsXMLItem&) = delete;
  // Frees the subtree without recursion, so a deep tree cannot exhaust the stack.
  ~TfsXMLItem();

  std::string Name;
  std::string Text;  // attribute text as written: name="value" pairs, values escaped
  void* Data = nullptr;

  TfsXMLItem* Parent() const { return parent_; }
  TfsXMLItem* Root();
  std::size_t Count() const { return items_.size(); }
  TfsXMLItem& operator[](std::size_t i) const { return *items_[i]; }

  TfsXMLItem& Add();
  // Appends an item (taking ownership); an item of another parent is moved here.
  TfsXMLItem& AddItem(std::unique_ptr<TfsXMLItem> item);
  TfsXMLItem& InsertItem(std::size_t index, std::unique_ptr<TfsXMLItem> item);
  std::unique_ptr<TfsXMLItem> Remove(std::size_t index);
  // Index of the first child with that name ignoring case, or -1.
  int Find(std::string_view name) const;
  // The first child of that name; a missing one is created and appended.
  TfsXMLItem& FindItem(std::string_view name);
  int IndexOf(const TfsXMLItem* item) const;
  // One attribute, unescaped; empty when absent.
  std::string Prop(std::string_view name) const;
  void Clear();
  // Deep copy of Name, Text, Data and children (without recursion).
  void Assign(const TfsXMLItem& source);

 private:
  TfsXMLItem* parent_ = nullptr;
  std::vector<std::unique_ptr<TfsXMLItem>> items_;
};

class TfsXMLDocument {
 public:
  TfsXMLDocument();
  TfsXMLItem& Root() { return *root_; }
  const TfsXMLItem& Root() const { return *root_; }
  bool AutoIndent = false;

  void Clear() { root_->Clear(); }
  // Reads "<?xml ...?>" and one element with its subtree; "Invalid file format"
  // on malformed input. Nesting is bounded (kMaxDepth) rather than trusted.
  void LoadFromString(std::string_view text);
  void LoadFromFile(const std::string& path);
  std::string SaveToString() const;
  void SaveToFile(const std::string& path) const;

  static constexpr int kMaxDepth = 10000;

 private:
  std::unique_ptr<TfsXMLItem> root_;
};

// Writes one element and its subtree (no declaration), as SaveToString does.
std::string WriteXMLItem(const TfsXMLItem& item, bool autoIndent);

}  // namespace zentavo
