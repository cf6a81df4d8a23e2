// XML tree: escaping, items, the reader, the writer and the temporary file.
// Reading, writing and freeing walk the tree with explicit stacks: a syntax
// tree may nest thousands of levels, far deeper than the stack would allow.
#include "platform/Xml.h"

#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "platform/Cp1254.h"
#include "platform/OutputFile.h"

namespace zentavo {

namespace {

constexpr const char* kInvalidFormat = "Invalid file format";

bool SameName(XmlNameCase nameCase, std::string_view a, std::string_view b) {
  return nameCase == XmlNameCase::kCp1254 ? cp1254::SameText(a, b) : SameTextAscii(a, b);
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

void AppendAttribute(std::string& text, std::string_view name, std::string_view escapedValue) {
  text += ' ';
  text += name;
  text += "=\"";
  text += escapedValue;
  text += '"';
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

// Flags, offset and name case share the word after the children pointer.
static_assert(sizeof(XmlItem) <= 2 * sizeof(std::string) + 4 * sizeof(void*));

XmlItem::~XmlItem() {
  Clear();
  if (parent_ != nullptr) parent_->Detach(this);
}

void XmlItem::Detach(XmlItem* child) {
  if (!items_) return;
  auto it = std::find(items_->begin(), items_->end(), child);
  if (it != items_->end()) items_->erase(it);
}

XmlItem* XmlItem::Root() {
  XmlItem* item = this;
  while (item->parent_ != nullptr) item = item->parent_;
  return item;
}

const XmlItem* XmlItem::Root() const { return const_cast<XmlItem*>(this)->Root(); }

XmlItem* XmlItem::Add() {
  auto* item = new XmlItem(nameCase_);
  AddItem(item);
  return item;
}

void XmlItem::AddItem(XmlItem* item) {
  if (!items_) items_ = std::make_unique<std::vector<XmlItem*>>();
  XmlItem* old = item->parent_;
  items_->push_back(item);
  // Removing the first occurrence after appending moves an item that already
  // was our child to the end.
  if (old != nullptr) old->Detach(item);
  item->parent_ = this;
}

void XmlItem::InsertItem(int index, XmlItem* item) {
  AddItem(item);
  items_->pop_back();
  index = std::clamp(index, 0, static_cast<int>(items_->size()));
  items_->insert(items_->begin() + index, item);
}

int XmlItem::Find(std::string_view name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameName(nameCase_, Items(i)->Name, name)) return i;
  return -1;
}

XmlItem* XmlItem::FindItem(std::string_view name) {
  int i = Find(name);
  if (i >= 0) return Items(i);
  XmlItem* item = Add();
  item->Name = std::string(name);
  return item;
}

int XmlItem::IndexOf(const XmlItem* item) const {
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
  return hay.find(key);  // hay[k] is the space before the name, so the name starts at text[k]
}
}  // namespace

std::string XmlItem::Prop(std::string_view name) const {
  std::size_t start = FindAttribute(Text, name);
  if (start == std::string::npos) return {};
  std::size_t valueStart = start + name.size() + 2;
  std::size_t close = Text.find('"', valueStart);
  if (close == std::string::npos) return {};
  return XMLToStr(std::string_view(Text).substr(valueStart, close - valueStart));
}

void XmlItem::SetProp(std::string_view name, std::string_view value) {
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

void XmlItem::Clear() {
  if (items_) {
    // Each item's children are taken over before it is freed, so every
    // destructor below meets an item without children.
    std::vector<XmlItem*> pending = std::move(*items_);
    items_.reset();
    while (!pending.empty()) {
      XmlItem* item = pending.back();
      pending.pop_back();
      if (item->items_) {
        pending.insert(pending.end(), item->items_->begin(), item->items_->end());
        item->items_.reset();
      }
      item->parent_ = nullptr;
      delete item;
    }
  }
  if (Unloadable) Loaded = false;
}

void XmlItem::Assign(const XmlItem& source) {
  if (&source == this) return;
  Clear();
  Name = source.Name;
  Text = source.Text;
  Data = source.Data;
  struct Work {
    const XmlItem* from;
    XmlItem* to;
  };
  std::vector<Work> work{{&source, this}};
  while (!work.empty()) {
    Work w = work.back();
    work.pop_back();
    for (int i = 0; i < w.from->Count(); ++i) {
      const XmlItem* child = w.from->Items(i);
      XmlItem* copy = w.to->Add();
      copy->Name = child->Name;
      copy->Text = child->Text;
      copy->Data = child->Data;
      if (child->Count() > 0) work.push_back({child, copy});
    }
  }
}

void XmlItem::SetOffset(std::uint64_t offset) {
  offsetHi_ = static_cast<std::uint8_t>(offset >> 32);
  offsetLo_ = static_cast<std::uint32_t>(offset);
}

// ---------------------------------------------------------------- reader

namespace {

// A text read in place by LoadFromString, without copying it into a stream.
class TextStream : public TStream {
 public:
  explicit TextStream(std::string_view text) : text_(text) {}
  std::size_t Read(void* buffer, std::size_t n) override {
    if (pos_ >= text_.size()) return 0;
    n = std::min(n, text_.size() - pos_);
    std::memcpy(buffer, text_.data() + pos_, n);
    pos_ += n;
    return n;
  }
  void Write(const void*, std::size_t) override { throw std::logic_error("TextStream is read-only"); }
  std::uint64_t Position() const override { return pos_; }
  void Seek(std::uint64_t position) override { pos_ = static_cast<std::size_t>(position); }
  std::uint64_t Size() const override { return text_.size(); }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
};

// A string written to in place by SaveToString, spared the copy out of a
// memory stream.
class StringSink : public TStream {
 public:
  explicit StringSink(std::string& out) : out_(out) {}
  std::size_t Read(void*, std::size_t) override { return 0; }
  void Write(const void* buffer, std::size_t n) override { out_.append(static_cast<const char*>(buffer), n); }
  std::uint64_t Position() const override { return out_.size(); }
  void Seek(std::uint64_t) override { throw std::logic_error("StringSink only appends"); }
  std::uint64_t Size() const override { return out_.size(); }

 private:
  std::string& out_;
};

class XmlReader {
 public:
  XmlReader(TStream& stream, const XmlSettings& settings)
      : stream_(stream), settings_(settings), pos_(stream.Position()), size_(stream.Size()) {}
  // The stream is left just after the last byte consumed, not after the read-ahead.
  ~XmlReader() { stream_.Seek(pos_); }

  void ReadHeader() {
    std::string name, text;
    ReadTag(name, text);
    if (name.substr(0, 4) != "?xml") throw std::runtime_error(kInvalidFormat);
  }

  // Reads one element with its subtree into `top`. False when an end tag or
  // the end of input came instead (the caller frees the item).
  bool ReadItem(XmlItem& top, bool partial) {
    std::uint64_t start = pos_;
    ReadTag(top.Name, top.Text);
    if (IsEnd(top.Name)) return false;
    if (CloseEmptyForm(top)) return true;
    std::vector<OpenElement> open{{&top, start}};
    // The item the next tag is read into; an end tag leaves it for the tag after.
    std::unique_ptr<XmlItem> next;
    try {
      while (!open.empty()) {
        if (!next) next = std::make_unique<XmlItem>(top.NameCase());
        std::uint64_t at = pos_;
        ReadTag(next->Name, next->Text);
        OpenElement& parent = open.back();
        if (IsEnd(next->Name)) {
          // An end tag must close the innermost open element; the end of
          // input closes every element still open.
          if (!next->Name.empty() && !SameTextAscii(std::string_view(next->Name).substr(1), parent.item->Name))
            throw std::runtime_error(kInvalidFormat);
          Finish(parent, partial);
          open.pop_back();
          continue;
        }
        XmlItem* child = next.get();
        bool complete = CloseEmptyForm(*child);
        if (!complete && static_cast<int>(open.size()) >= settings_.maxDepth)
          throw std::runtime_error(std::string(kInvalidFormat) + ": elements nested too deeply");
        parent.item->AddItem(next.release());
        if (!complete) open.push_back({child, at});
      }
    } catch (...) {
      // Only complete elements stay in the tree: the one still open directly
      // under `top` goes, with everything read into it.
      if (open.size() > 1) delete open[1].item;
      throw;
    }
    return true;
  }

 private:
  struct OpenElement {
    XmlItem* item;
    std::uint64_t start;  // stream position of its start tag
  };

  static bool IsEnd(const std::string& name) { return name.empty() || name[0] == '/'; }

  // Completes an element written in the empty form; true when it was one.
  static bool CloseEmptyForm(XmlItem& item) {
    if (item.Name.back() == '/') {
      item.Name.pop_back();
      return true;
    }
    if (!item.Text.empty() && item.Text.back() == '/') {
      item.Text.pop_back();
      return true;
    }
    return false;
  }

  // An open element has been read up to its end.
  void Finish(const OpenElement& open, bool partial) {
    XmlItem& item = *open.item;
    if (settings_.unloadMarks && RemoveUnloadMark(item.Text) && partial) {
      item.Clear();
      item.SetOffset(open.start);
      item.Unloadable = true;
      item.Loaded = false;
    }
  }

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
      // The first three characters decide whether this is a comment.
      tag_.clear();
      bool closed = false;
      while (tag_.size() < 3) {
        int c = Next();
        if (c < 0 || c == '<') throw std::runtime_error(kInvalidFormat);
        if (c == '>') {
          closed = true;
          break;
        }
        tag_ += static_cast<char>(c);
      }
      if (!closed && tag_[0] == '!' && tag_[1] == '-' && tag_[2] == '-') {
        // A third dash in a row restarts the count.
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
      // The rest of the tag, a buffer's worth at a time.
      while (!closed) {
        if (!Refill()) throw std::runtime_error(kInvalidFormat);
        std::size_t i = bufPos_;
        while (i < bufLen_ && buf_[i] != '>' && buf_[i] != '<') ++i;
        tag_.append(buf_ + bufPos_, i - bufPos_);
        std::size_t consumed = i - bufPos_;
        if (i < bufLen_) {
          if (buf_[i] == '<') throw std::runtime_error(kInvalidFormat);
          closed = true;
          ++consumed;
        }
        bufPos_ += consumed;
        pos_ += consumed;
      }
      std::size_t size = tag_.size();
      if (size > 0 && tag_[size - 1] == ' ') --size;
      std::size_t space = tag_.find(' ');
      if (space >= size) {
        name.assign(tag_, 0, size);
      } else {
        name.assign(tag_, 0, space);
        text.assign(tag_, space + 1, size - space - 1);
      }
      return;
    }
  }

  // Removes ld="0" (first attribute or after a space, any case) and one
  // separating space; true when it was there.
  static bool RemoveUnloadMark(std::string& text) {
    std::size_t eq = text.find("=\"0\"");
    if (eq == std::string::npos) return false;
    std::string upper = UpperAscii(text);
    for (std::size_t p = eq < 2 ? 0 : eq - 2;;) {
      p = upper.find("LD=\"0\"", p);
      if (p == std::string::npos) return false;
      if (p == 0 || text[p - 1] == ' ') {
        std::size_t from = p, to = p + 6;
        if (from > 0)
          --from;
        else if (to < text.size() && text[to] == ' ')
          ++to;
        text.erase(from, to - from);
        return true;
      }
      ++p;
    }
  }

  TStream& stream_;
  const XmlSettings& settings_;
  char buf_[4096];
  std::size_t bufLen_ = 0, bufPos_ = 0;
  std::uint64_t pos_, size_;
  std::string tag_;  // the tag being read; kept to spare an allocation per tag
};

// ---------------------------------------------------------------- writer

class XmlWriter {
 public:
  XmlWriter(TStream& stream, const XmlSettings& settings, bool autoIndent, TStream* temp)
      : stream_(stream), settings_(settings), autoIndent_(autoIndent), temp_(temp) {}

  void WriteHeader() {
    buffer_ += settings_.declaration;
    EndLine();
  }

  void WriteItem(XmlItem& top) {
    struct Open {
      XmlItem* item;
      int indent;
      int next;      // the child to write next
      bool fetched;  // read back from the temporary stream for this write
    };
    std::vector<Open> open;
    auto start = [&](XmlItem& item, int indent) {
      bool fetched = Fetch(item);
      buffer_.append(static_cast<std::size_t>(indent), ' ');
      buffer_ += '<';
      buffer_ += item.Name;
      if (!item.Text.empty() || item.Unloadable) {
        if (item.Text.empty() || item.Text[0] != ' ') buffer_ += ' ';
        buffer_ += item.Text;
        if (item.Unloadable) buffer_ += " ld=\"0\"";
      }
      if (item.Count() > 0) {
        buffer_ += '>';
        EndLine();
        open.push_back({&item, indent, 0, fetched});
      } else {
        buffer_ += "/>";
        EndLine();
        if (fetched) item.Clear();
      }
    };
    start(top, 0);
    while (!open.empty()) {
      Open& o = open.back();
      if (o.next < o.item->Count()) {
        XmlItem& child = *o.item->Items(o.next++);
        start(child, autoIndent_ ? o.indent + 2 : 0);  // may grow `open`: `o` is not used after
        continue;
      }
      buffer_.append(static_cast<std::size_t>(o.indent), ' ');
      buffer_ += "</";
      buffer_ += o.item->Name;
      buffer_ += '>';
      EndLine();
      // An item fetched for this write is unloaded again.
      if (o.fetched) o.item->Clear();
      open.pop_back();
    }
  }

  void Flush() {
    stream_.WriteString(buffer_);
    buffer_.clear();
  }

 private:
  // Brings the children of an unloaded item back from the temporary stream.
  bool Fetch(XmlItem& item) {
    if (temp_ == nullptr || !item.Unloadable || item.Loaded) return false;
    temp_->Seek(item.Offset());
    XmlReader reader(*temp_, settings_);
    reader.ReadItem(item, false);
    item.Loaded = true;
    return true;
  }

  // Each tag is a line of its own when indenting; the buffer goes out in
  // pieces of a little over 4096 characters.
  void EndLine() {
    if (autoIndent_) buffer_ += "\r\n";
    if (buffer_.size() > 4096) Flush();
  }

  TStream& stream_;
  const XmlSettings& settings_;
  bool autoIndent_;
  TStream* temp_;
  std::string buffer_;
};

}  // namespace

// ---------------------------------------------------------------- document

XmlDocument::XmlDocument(const XmlSettings& settings)
    : settings_(settings), root_(std::make_unique<XmlItem>(settings.nameCase)) {}

XmlDocument::~XmlDocument() {
  root_.reset();
  DeleteTempFile();
}

void XmlDocument::Clear() {
  root_->Clear();
  DeleteTempFile();
}

void XmlDocument::Load(TStream& stream, bool partial) {
  root_->Clear();
  root_->Name.clear();
  root_->Text.clear();
  root_->SetOffset(0);
  XmlReader reader(stream, settings_);
  reader.ReadHeader();
  reader.ReadItem(*root_, partial);
}

void XmlDocument::LoadFromStream(TStream& stream) {
  DeleteTempFile();
  Load(stream, false);
}

void XmlDocument::LoadFromStreamPartial(std::unique_ptr<TStream> stream) {
  DeleteTempFile();
  Load(*stream, true);
  ownedStream_ = std::move(stream);
  tempStream_ = ownedStream_.get();
}

void XmlDocument::SaveToStream(TStream& stream) {
  XmlWriter writer(stream, settings_, AutoIndent, tempStream_);
  writer.WriteHeader();
  writer.WriteItem(*root_);
  writer.Flush();
}

void XmlDocument::LoadFromString(std::string_view text) {
  TextStream stream(text);
  LoadFromStream(stream);
}

std::string XmlDocument::SaveToString() {
  std::string out;
  StringSink sink(out);
  SaveToStream(sink);
  return out;
}

void XmlDocument::LoadFromFile(const std::string& path) {
  TFileStream stream(path, TFileStream::kRead);
  LoadFromStream(stream);
}

void XmlDocument::SaveToFile(const std::string& path) {
  TOutputFileStream stream(path);
  SaveToStream(stream);
  stream.Commit();
}

void XmlDocument::CreateTempFile() {
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

void XmlDocument::DeleteTempFile() {
  ownedStream_.reset();
  tempStream_ = nullptr;
  if (tempFileCreated_) {
    unlink(tempFile_.c_str());
    tempFileCreated_ = false;
  }
  tempFile_.clear();
}

void XmlDocument::UnloadItem(XmlItem& item) {
  if (!item.Loaded || !item.Unloadable) return;
  if (!tempFileCreated_) CreateTempFile();
  // Written to memory first: nested unloaded items are fetched from the same
  // file while the element is being formed.
  TMemoryStream element;
  {
    XmlWriter writer(element, settings_, false, tempStream_);
    writer.WriteItem(item);
    writer.Flush();
  }
  std::uint64_t offset = tempStream_->Size();
  tempStream_->Seek(offset);
  tempStream_->Write(element.Data().data(), element.Data().size());
  item.SetOffset(offset);
  item.Clear();
}

void XmlDocument::LoadItem(XmlItem& item) {
  if (tempStream_ == nullptr || !item.Unloadable || item.Loaded) return;
  std::string text = item.Text;
  tempStream_->Seek(item.Offset());
  {
    XmlReader reader(*tempStream_, settings_);
    reader.ReadItem(item, false);
  }
  item.Text = std::move(text);
  item.Loaded = true;
}

}  // namespace zentavo
