// The script engine's XML tree: escaping, items, reading and writing.
#include "script/fs_xml.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Cp1254.h"

namespace zentavo {

namespace {

const char kInvalidFormat[] = "Invalid file format";

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (cp1254::ToLower(static_cast<unsigned char>(a[i])) !=
        cp1254::ToLower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

namespace fsxml {

std::string StrToXML(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    auto u = static_cast<unsigned char>(c);
    if (u < 32 || c == '"' || c == '<' || c == '>' || c == '&') {
      out += "&#";
      out += std::to_string(u);
      out += ';';
    } else {
      out += c;
    }
  }
  return out;
}

std::string XMLToStr(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    // A position is examined only before the last character.
    if (s[i] == '&' && i + 1 < s.size()) {
      if (i + 3 < s.size() && s[i + 1] == '#') {
        std::size_t semi = s.find(';', i + 3);
        if (semi != std::string_view::npos) {
          unsigned code = 0;
          bool digits = true;
          for (std::size_t k = i + 2; k < semi; ++k) {
            if (s[k] < '0' || s[k] > '9') {
              digits = false;
              break;
            }
            code = (code * 10 + static_cast<unsigned>(s[k] - '0')) & 0xFFu;  // low 8 bits count
          }
          if (!digits)
            throw std::runtime_error("'" + std::string(s.substr(i + 2, semi - i - 2)) +
                                     "' is not a valid integer value");
          out += static_cast<char>(code);
          i = semi + 1;
          continue;
        }
        // No ";" up to the end: the ampersand stays as written.
      } else if (s.substr(i + 1, 5) == "quot;") {
        out += '"';
        i += 6;
        continue;
      }
    }
    out += s[i++];
  }
  return out;
}

}  // namespace fsxml

TfsXMLItem::~TfsXMLItem() { Clear(); }

TfsXMLItem* TfsXMLItem::Root() {
  TfsXMLItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  return item;
}

TfsXMLItem& TfsXMLItem::Add() { return AddItem(std::make_unique<TfsXMLItem>()); }

TfsXMLItem& TfsXMLItem::AddItem(std::unique_ptr<TfsXMLItem> item) {
  item->parent_ = this;
  items_.push_back(std::move(item));
  return *items_.back();
}

TfsXMLItem& TfsXMLItem::InsertItem(std::size_t index, std::unique_ptr<TfsXMLItem> item) {
  item->parent_ = this;
  if (index > items_.size()) index = items_.size();
  return **items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
}

std::unique_ptr<TfsXMLItem> TfsXMLItem::Remove(std::size_t index) {
  std::unique_ptr<TfsXMLItem> item = std::move(items_.at(index));
  items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
  item->parent_ = nullptr;
  return item;
}

int TfsXMLItem::Find(std::string_view name) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (EqualNoCase(items_[i]->Name, name)) return static_cast<int>(i);
  return -1;
}

TfsXMLItem& TfsXMLItem::FindItem(std::string_view name) {
  int i = Find(name);
  if (i >= 0) return *items_[static_cast<std::size_t>(i)];
  TfsXMLItem& item = Add();
  item.Name = std::string(name);
  return item;
}

int TfsXMLItem::IndexOf(const TfsXMLItem* item) const {
  for (std::size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return static_cast<int>(i);
  return -1;
}

std::string TfsXMLItem::Prop(std::string_view name) const {
  // A leading space makes the search match whole attribute names only.
  std::string hay = cp1254::UpperCase(" " + Text);
  std::string key = " " + cp1254::UpperCase(name) + "=\"";
  std::size_t at = hay.find(key);
  if (at == std::string::npos) return {};
  std::size_t start = at + key.size() - 1;  // index into Text (hay has one more char)
  std::size_t end = Text.find('"', start);
  if (end == std::string::npos) return {};
  return fsxml::XMLToStr(std::string_view(Text).substr(start, end - start));
}

void TfsXMLItem::Clear() {
  // Detach grandchildren first so that destroying a deep chain never recurses.
  std::vector<std::unique_ptr<TfsXMLItem>> pending = std::move(items_);
  items_.clear();
  while (!pending.empty()) {
    std::unique_ptr<TfsXMLItem> item = std::move(pending.back());
    pending.pop_back();
    for (auto& child : item->items_) pending.push_back(std::move(child));
    item->items_.clear();
  }
}

void TfsXMLItem::Assign(const TfsXMLItem& source) {
  if (&source == this) return;
  Clear();
  Name = source.Name;
  Text = source.Text;
  Data = source.Data;
  struct Work {
    const TfsXMLItem* from;
    TfsXMLItem* to;
  };
  std::vector<Work> work{{&source, this}};
  while (!work.empty()) {
    Work w = work.back();
    work.pop_back();
    for (const auto& child : w.from->items_) {
      TfsXMLItem& copy = w.to->Add();
      copy.Name = child->Name;
      copy.Text = child->Text;
      copy.Data = child->Data;
      work.push_back({child.get(), &copy});
    }
  }
}

TfsXMLDocument::TfsXMLDocument() : root_(std::make_unique<TfsXMLItem>()) {}

namespace {

struct Tag {
  std::string name, text;
  bool atEnd = false;  // end of input outside a tag
};

class TagReader {
 public:
  explicit TagReader(std::string_view s) : s_(s) {}

  Tag Next() {
    for (;;) {
      std::size_t lt = s_.find('<', pos_);
      if (lt == std::string_view::npos) {
        pos_ = s_.size();
        return Tag{{}, {}, true};
      }
      pos_ = lt + 1;
      if (s_.substr(pos_, 3) == "!--") {
        SkipComment();
        continue;
      }
      std::size_t gt = pos_;
      while (gt < s_.size() && s_[gt] != '>') {
        if (s_[gt] == '<') throw std::runtime_error(kInvalidFormat);
        ++gt;
      }
      if (gt >= s_.size()) throw std::runtime_error(kInvalidFormat);
      std::string_view content = s_.substr(pos_, gt - pos_);
      pos_ = gt + 1;
      if (!content.empty() && content.back() == ' ') content.remove_suffix(1);
      Tag tag;
      std::size_t space = content.find(' ');
      if (space == std::string_view::npos) {
        tag.name = std::string(content);
      } else {
        tag.name = std::string(content.substr(0, space));
        tag.text = std::string(content.substr(space + 1));
      }
      return tag;
    }
  }

 private:
  void SkipComment() {
    pos_ += 3;
    int dashes = 0;
    while (pos_ < s_.size()) {
      char c = s_[pos_++];
      if (c == '>' && dashes == 2) return;
      // A third dash in a row restarts the count.
      dashes = c == '-' ? (dashes == 2 ? 1 : dashes + 1) : 0;
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

// Completes an element written in the empty form; true when it was one.
bool CloseEmptyForm(TfsXMLItem& item) {
  if (!item.Name.empty() && item.Name.back() == '/') {
    item.Name.pop_back();
    return true;
  }
  if (!item.Text.empty() && item.Text.back() == '/') {
    item.Text.pop_back();
    return true;
  }
  return false;
}

}  // namespace

void TfsXMLDocument::LoadFromString(std::string_view text) {
  root_->Clear();
  root_->Name.clear();
  root_->Text.clear();
  TagReader reader(text);
  Tag header = reader.Next();
  if (header.name.compare(0, 4, "?xml") != 0) throw std::runtime_error(kInvalidFormat);
  Tag first = reader.Next();
  if (first.atEnd || first.name.empty() || first.name[0] == '/') return;
  root_->Name = std::move(first.name);
  root_->Text = std::move(first.text);
  if (CloseEmptyForm(*root_)) return;
  std::vector<TfsXMLItem*> open{root_.get()};
  while (!open.empty()) {
    Tag tag = reader.Next();
    if (tag.atEnd || tag.name.empty()) return;  // elements left open at the end are accepted
    if (tag.name[0] == '/') {
      if (!EqualNoCase(std::string_view(tag.name).substr(1), open.back()->Name))
        throw std::runtime_error(kInvalidFormat);
      open.pop_back();
      continue;
    }
    TfsXMLItem& item = open.back()->Add();
    item.Name = std::move(tag.name);
    item.Text = std::move(tag.text);
    if (CloseEmptyForm(item)) continue;
    if (static_cast<int>(open.size()) >= kMaxDepth)
      throw std::runtime_error("XML elements nested too deeply");
    open.push_back(&item);
  }
}

void TfsXMLDocument::LoadFromFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("Cannot open file \"" + path + "\"");
  std::ostringstream buffer;
  buffer << in.rdbuf();
  LoadFromString(buffer.str());
}

std::string WriteXMLItem(const TfsXMLItem& item, bool autoIndent) {
  std::string out;
  struct Work {
    const TfsXMLItem* item;
    std::size_t indent;
    bool closing;
  };
  std::vector<Work> work{{&item, 0, false}};
  while (!work.empty()) {
    Work w = work.back();
    work.pop_back();
    if (autoIndent) out.append(w.indent, ' ');
    if (w.closing) {
      out += "</" + w.item->Name + ">";
    } else {
      out += '<';
      out += w.item->Name;
      if (!w.item->Text.empty()) {
        if (w.item->Text[0] != ' ') out += ' ';
        out += w.item->Text;
      }
      if (w.item->Count() == 0) {
        out += "/>";
      } else {
        out += '>';
        std::size_t step = autoIndent ? 2 : 0;
        work.push_back({w.item, w.indent, true});
        for (std::size_t i = w.item->Count(); i-- > 0;)
          work.push_back({&(*w.item)[i], w.indent + step, false});
      }
    }
    if (autoIndent) out += "\r\n";
  }
  return out;
}

std::string TfsXMLDocument::SaveToString() const {
  std::string out = "<?xml version=\"1.0\"?>";
  if (AutoIndent) out += "\r\n";
  return out + WriteXMLItem(*root_, AutoIndent);
}

void TfsXMLDocument::SaveToFile(const std::string& path) const {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("Cannot create file \"" + path + "\"");
  out << SaveToString();
}

}  // namespace zentavo
