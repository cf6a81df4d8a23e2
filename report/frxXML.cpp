// XML document: escaping, item tree, reader, writer and the temporary file.
#include "report/frxXML.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace zentavo {

namespace {

constexpr const char* kInvalidFormat = "Invalid file format";
// Templates nest report > page > band > view; prepared reports a few levels
// more. Anything deeper is hostile input, refused before the stack suffers.
constexpr int kMaxDepth = 256;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
  return true;
}

std::string UpperAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

}  // namespace

std::string StrToXML(std::string_view s) {
  std::string out;
  out.reserve(s.size() + 8);
  for (std::size_t i = 0; i < s.size(); ++i) {
    char c = s[i];
    switch (c) {
      case '\n': out += "&#10;"; break;
      case '\r': out += "&#13;"; break;
      case '"': out += "&#34;"; break;
      case '<': out += "&#60;"; break;
      case '>': out += "&#62;"; break;
      case '&':
        // A bare ampersand is kept as the format always did, except where the
        // reader would take it for a reference: "&#65;" or "&quot;" written as
        // they stand would come back as other text.
        if (s.substr(i + 1, 1) == "#" || s.substr(i + 1, 5) == "quot;")
          out += "&#38;";
        else
          out += '&';
        break;
      default: out += c;
    }
  }
  return out;
}

std::string XMLToStr(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i + 1 < s.size()) {
    if (s[i] == '&') {
      if (s.size() - i - 1 >= 3 && s[i + 1] == '#') {
        std::size_t semi = s.find(';', i + 3);
        if (semi != std::string_view::npos) {
          std::string_view digits = s.substr(i + 2, semi - i - 2);
          std::string_view d = digits;
          if (!d.empty() && (d[0] == '+' || d[0] == '-')) d.remove_prefix(1);
          int value = 0;
          auto [p, ec] = std::from_chars(d.data(), d.data() + d.size(), value);
          if (d.empty() || ec != std::errc() || p != d.data() + d.size())
            throw std::runtime_error("'" + std::string(digits) + "' is not a valid integer value");
          if (digits[0] == '-') value = -value;
          out += static_cast<char>(value & 0xFF);
          i = semi + 1;
          continue;
        }
        // No terminating ";" up to the end of the text: the ampersand stays.
      } else if (s.substr(i + 1, 5) == "quot;") {
        out += '"';
        i += 6;
        continue;
      }
    }
    out += s[i];
    ++i;
  }
  if (i < s.size()) out += s.substr(i);
  return out;
}

// ---------------------------------------------------------------- items

TfrxXMLItem::~TfrxXMLItem() {
  Clear();
  if (parent_ != nullptr) parent_->Detach(this);
}

void TfrxXMLItem::Detach(TfrxXMLItem* child) {
  if (!items_) return;
  auto it = std::find(items_->begin(), items_->end(), child);
  if (it != items_->end()) items_->erase(it);
}

TfrxXMLItem* TfrxXMLItem::Add() {
  auto* item = new TfrxXMLItem;
  AddItem(item);
  return item;
}

void TfrxXMLItem::AddItem(TfrxXMLItem* item) {
  if (!items_) items_ = std::make_unique<std::vector<TfrxXMLItem*>>();
  TfrxXMLItem* old = item->parent_;
  items_->push_back(item);
  // Removing the first occurrence after appending moves an item that already
  // was our child to the end.
  if (old != nullptr) old->Detach(item);
  item->parent_ = this;
}

void TfrxXMLItem::InsertItem(int index, TfrxXMLItem* item) {
  AddItem(item);
  items_->pop_back();
  index = std::clamp(index, 0, static_cast<int>(items_->size()));
  items_->insert(items_->begin() + index, item);
}

int TfrxXMLItem::Find(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (EqualsIgnoreCase(Items(i)->Name, name)) return i;
  return -1;
}

TfrxXMLItem* TfrxXMLItem::FindItem(std::string_view name) {
  int i = Find(name);
  if (i >= 0) return Items(i);
  TfrxXMLItem* item = Add();
  item->Name = std::string(name);
  return item;
}

int TfrxXMLItem::IndexOf(const TfrxXMLItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (Items(i) == item) return i;
  return -1;
}

namespace {
// Position in `text` where attribute `name` begins, or npos. Matching whole
// names only: a leading space keeps "Name" from matching inside "DataSetName".
std::size_t FindAttribute(const std::string& text, std::string_view name) {
  std::string hay = " " + UpperAscii(text);
  std::string key = " " + UpperAscii(name) + "=\"";
  std::size_t k = hay.find(key);
  return k;  // hay[k] is the space before the name, so the name starts at text[k]
}
}  // namespace

std::string TfrxXMLItem::Prop(std::string_view name) const {
  std::size_t start = FindAttribute(Text, name);
  if (start == std::string::npos) return {};
  std::size_t valueStart = start + name.size() + 2;
  std::size_t close = Text.find('"', valueStart);
  if (close == std::string::npos) return {};
  return XMLToStr(std::string_view(Text).substr(valueStart, close - valueStart));
}

void TfrxXMLItem::SetProp(std::string_view name, std::string_view value) {
  std::string attribute = std::string(name) + "=\"" + StrToXML(value) + "\"";
  std::size_t start = FindAttribute(Text, name);
  if (start != std::string::npos) {
    std::size_t close = Text.find('"', start + name.size() + 2);
    std::size_t end = close == std::string::npos ? Text.size() : close + 1;
    Text.erase(start, end - start);
  } else {
    start = Text.size();
  }
  if (start > 0 && Text[start - 1] != ' ') attribute.insert(attribute.begin(), ' ');
  Text.insert(start, attribute);
}

void TfrxXMLItem::Clear() {
  if (items_) {
    for (TfrxXMLItem* child : *items_) {
      child->parent_ = nullptr;
      delete child;
    }
    items_.reset();
  }
  if (Unloadable) Loaded = false;
}

void TfrxXMLItem::SetOffset(std::uint64_t offset) {
  offsetHi_ = static_cast<std::uint8_t>(offset >> 32);
  offsetLo_ = static_cast<std::uint32_t>(offset);
}

// ---------------------------------------------------------------- reader

namespace {

class XMLReader {
 public:
  explicit XMLReader(TStream& stream) : stream_(stream), pos_(stream.Position()), size_(stream.Size()) {}
  ~XMLReader() { stream_.Seek(pos_); }

  void ReadHeader() {
    std::string name, text;
    ReadTag(name, text);
    if (name.substr(0, 4) != "?xml") throw std::runtime_error(kInvalidFormat);
  }

  // Reads one element with its subtree into `item`. False when an end tag or
  // the end of input came instead (the caller frees the item).
  bool ReadItem(TfrxXMLItem& item, bool partial, int depth) {
    std::uint64_t start = pos_;
    ReadTag(item.Name, item.Text);
    lastTag_ = item.Name;
    if (item.Name.empty() || item.Name[0] == '/') return false;
    if (item.Name.back() == '/') {
      item.Name.pop_back();
      return true;
    }
    if (!item.Text.empty() && item.Text.back() == '/') {
      item.Text.pop_back();
      return true;
    }
    if (depth >= kMaxDepth)
      throw std::runtime_error(std::string(kInvalidFormat) + ": elements nested too deeply");
    for (;;) {
      auto* child = new TfrxXMLItem;
      bool complete;
      try {
        complete = ReadItem(*child, partial, depth + 1);
      } catch (...) {
        delete child;
        throw;
      }
      if (!complete) {
        delete child;
        break;
      }
      item.AddItem(child);
    }
    if (!lastTag_.empty() && !EqualsIgnoreCase(lastTag_, "/" + item.Name))
      throw std::runtime_error(kInvalidFormat);
    if (RemoveUnloadMark(item.Text) && partial) {
      item.Clear();
      item.SetOffset(start);
      item.Unloadable = true;
      item.Loaded = false;
    }
    return true;
  }

 private:
  int Next() {
    if (!Refill()) return -1;
    ++pos_;
    return static_cast<unsigned char>(buf_[bufPos_++]);
  }

  bool Refill() {
    if (bufPos_ < bufLen_) return true;
    if (pos_ >= size_) return false;
    stream_.Seek(pos_);
    bufLen_ = stream_.Read(buf_, sizeof buf_);
    bufPos_ = 0;
    return bufLen_ > 0;
  }

  // One tag's name and attribute text; an empty name at the end of input.
  void ReadTag(std::string& name, std::string& text) {
    name.clear();
    text.clear();
    std::string tag;
    for (;;) {
      // Skip to the next "<" (text between tags is ignored).
      for (;;) {
        if (!Refill()) return;
        const char* from = buf_ + bufPos_;
        const void* lt = std::memchr(from, '<', bufLen_ - bufPos_);
        std::size_t n = lt ? static_cast<std::size_t>(static_cast<const char*>(lt) - from) + 1 : bufLen_ - bufPos_;
        bufPos_ += n;
        pos_ += n;
        if (lt) break;
      }
      // The first characters decide whether this is a comment.
      tag.clear();
      bool comment = false;
      for (;;) {
        if (tag.size() == 3) break;
        int c = Next();
        if (c < 0 || c == '<') throw std::runtime_error(kInvalidFormat);
        if (c == '>') break;
        tag += static_cast<char>(c);
        if (tag == "!--") {
          comment = true;
          break;
        }
      }
      if (comment) {
        int dashes = 0;
        for (;;) {
          int c = Next();
          if (c < 0) return;
          if (c == '-') {
            dashes = dashes == 2 ? 1 : dashes + 1;
          } else if (c == '>' && dashes == 2) {
            break;
          } else {
            dashes = 0;
          }
        }
        continue;
      }
      if (tag.size() == 3) {
        // The rest of the tag, a buffer's worth at a time.
        for (bool closed = false; !closed;) {
          if (!Refill()) throw std::runtime_error(kInvalidFormat);
          std::size_t i = bufPos_;
          while (i < bufLen_ && buf_[i] != '>' && buf_[i] != '<') ++i;
          tag.append(buf_ + bufPos_, i - bufPos_);
          std::size_t consumed = i - bufPos_;
          if (i < bufLen_) {
            if (buf_[i] == '<') throw std::runtime_error(kInvalidFormat);
            closed = true;
            ++consumed;
          }
          bufPos_ += consumed;
          pos_ += consumed;
        }
      }
      if (!tag.empty() && tag.back() == ' ') tag.pop_back();
      std::size_t space = tag.find(' ');
      if (space == std::string::npos) {
        name = std::move(tag);
      } else {
        name = tag.substr(0, space);
        text = tag.substr(space + 1);
      }
      return;
    }
  }

  // Removes ld="0" (first attribute or after a space) and one separating space.
  static bool RemoveUnloadMark(std::string& text) {
    if (text.find('"') == std::string::npos || (text.find("ld=") == std::string::npos && text.find("LD=") == std::string::npos &&
                                                 text.find("Ld=") == std::string::npos && text.find("lD=") == std::string::npos))
      return false;
    std::size_t p = 0;
    for (;;) {
      p = UpperAscii(text).find("LD=\"0\"", p);
      if (p == std::string::npos) return false;
      if (p == 0 || text[p - 1] == ' ') break;
      ++p;
    }
    std::size_t from = p, to = p + 6;
    if (from > 0) --from;
    else if (to < text.size() && text[to] == ' ') ++to;
    text.erase(from, to - from);
    return true;
  }

  TStream& stream_;
  char buf_[4096];
  std::size_t bufLen_ = 0, bufPos_ = 0;
  std::uint64_t pos_, size_;
  std::string lastTag_;
};

// ---------------------------------------------------------------- writer

class XMLWriter {
 public:
  XMLWriter(TStream& stream, bool autoIndent, TStream* temp)
      : stream_(stream), autoIndent_(autoIndent), temp_(temp) {}
  ~XMLWriter() = default;

  void WriteHeader() { WriteLine("<?xml version=\"1.0\" encoding=\"utf-8\"?>"); }

  void WriteItem(TfrxXMLItem& item, int indent) {
    bool fetched = false;
    if (temp_ != nullptr && item.Unloadable && !item.Loaded) {
      temp_->Seek(item.Offset());
      XMLReader reader(*temp_);
      reader.ReadItem(item, false, 0);
      item.Loaded = true;
      fetched = true;
    }
    std::string line(static_cast<std::size_t>(indent), ' ');
    line += '<';
    line += item.Name;
    if (!item.Text.empty() || item.Unloadable) {
      if (item.Text.empty() || item.Text[0] != ' ') line += ' ';
      line += item.Text;
      if (item.Unloadable) line += " ld=\"0\"";
    }
    line += item.Count() > 0 ? ">" : "/>";
    WriteLine(line);
    for (int i = 0; i < item.Count(); ++i) WriteItem(*item.Items(i), autoIndent_ ? indent + 2 : 0);
    if (item.Count() > 0) {
      std::string close(static_cast<std::size_t>(indent), ' ');
      close += "</" + item.Name + ">";
      WriteLine(close);
    }
    if (fetched) item.Clear();
  }

  void Flush() {
    stream_.WriteString(buffer_);
    buffer_.clear();
  }

 private:
  void WriteLine(const std::string& line) {
    buffer_ += line;
    if (autoIndent_) buffer_ += "\r\n";
    if (buffer_.size() > 4096) Flush();
  }

  TStream& stream_;
  bool autoIndent_;
  TStream* temp_;
  std::string buffer_;
};

}  // namespace

// ---------------------------------------------------------------- document

TfrxXMLDocument::TfrxXMLDocument() : root_(std::make_unique<TfrxXMLItem>()) {}

TfrxXMLDocument::~TfrxXMLDocument() {
  root_.reset();
  DeleteTempFile();
}

void TfrxXMLDocument::Clear() {
  root_->Clear();
  DeleteTempFile();
}

void TfrxXMLDocument::Load(TStream& stream, bool partial) {
  root_->Clear();
  root_->Name.clear();
  root_->Text.clear();
  root_->SetOffset(0);
  XMLReader reader(stream);
  reader.ReadHeader();
  reader.ReadItem(*root_, partial, 0);
}

void TfrxXMLDocument::LoadFromStream(TStream& stream) {
  DeleteTempFile();
  Load(stream, false);
}

void TfrxXMLDocument::LoadFromStreamPartial(std::unique_ptr<TStream> stream) {
  DeleteTempFile();
  Load(*stream, true);
  ownedStream_ = std::move(stream);
  tempStream_ = ownedStream_.get();
}

void TfrxXMLDocument::SaveToStream(TStream& stream) {
  XMLWriter writer(stream, AutoIndent, tempStream_);
  writer.WriteHeader();
  writer.WriteItem(*root_, 0);
  writer.Flush();
}

void TfrxXMLDocument::LoadFromString(std::string_view text) {
  TMemoryStream stream{std::string(text)};
  LoadFromStream(stream);
}

std::string TfrxXMLDocument::SaveToString() {
  TMemoryStream stream;
  SaveToStream(stream);
  return stream.Data();
}

void TfrxXMLDocument::CreateTempFile() {
  if (tempFileCreated_) return;
  std::string dir = TempDir;
  if (dir.empty()) {
    const char* env = std::getenv("TMPDIR");
    dir = (env != nullptr && *env != '\0') ? env : "/tmp";
  }
  std::string path = dir + "/frXXXXXX";
  int fd = mkstemp(path.data());  // mode 0600
  if (fd < 0) throw std::runtime_error("Cannot create temporary file in \"" + dir + "\"");
  auto file = std::make_unique<TFileStream>(fd, path);
  if (tempStream_ != nullptr) {
    // Items left on a partially loaded input keep their offsets: the input is
    // copied to the start of the file, new unloads go after it.
    char buffer[4096];
    tempStream_->Seek(0);
    for (std::size_t n; (n = tempStream_->Read(buffer, sizeof buffer)) > 0;) file->Write(buffer, n);
  }
  DeleteTempFile();
  tempFile_ = path;
  ownedStream_ = std::move(file);
  tempStream_ = ownedStream_.get();
  tempFileCreated_ = true;
}

void TfrxXMLDocument::DeleteTempFile() {
  ownedStream_.reset();
  tempStream_ = nullptr;
  if (tempFileCreated_) {
    unlink(tempFile_.c_str());
    tempFileCreated_ = false;
  }
  tempFile_.clear();
}

void TfrxXMLDocument::UnloadItem(TfrxXMLItem& item) {
  if (!item.Loaded || !item.Unloadable) return;
  if (!tempFileCreated_) CreateTempFile();
  // Written to memory first: nested unloaded items are fetched from the same
  // file while the element is being formed.
  TMemoryStream element;
  {
    XMLWriter writer(element, false, tempStream_);
    writer.WriteItem(item, 0);
    writer.Flush();
  }
  std::uint64_t offset = tempStream_->Size();
  tempStream_->Seek(offset);
  tempStream_->Write(element.Data().data(), element.Data().size());
  item.SetOffset(offset);
  item.Clear();
}

void TfrxXMLDocument::LoadItem(TfrxXMLItem& item) {
  if (tempStream_ == nullptr || !item.Unloadable || item.Loaded) return;
  std::string text = item.Text;
  tempStream_->Seek(item.Offset());
  {
    XMLReader reader(*tempStream_);
    reader.ReadItem(item, false, 0);
  }
  item.Text = std::move(text);
  item.Loaded = true;
}

}  // namespace zentavo
