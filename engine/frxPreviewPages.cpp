// The store of prepared pages.
#include "engine/frxPreviewPages.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <stdexcept>

#include "engine/frxObjectTree.h"
#include "platform/Canvas.h"
#include "platform/Color.h"
#include "platform/Cp1254.h"
#include "platform/OutputFile.h"
#include "platform/Rounding.h"
#include "platform/ScopeGuard.h"
#include "platform/Text.h"
#include "report/frxClass.h"
#include "report/frxCustomEngine.h"
#include "report/frxDiff.h"

namespace zentavo {

namespace {


// A whole non-negative decimal number, or -1.
int ParseIndex(std::string_view s) {
  if (s.empty() || s.size() > 9) return -1;
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || p != s.data() + s.size() || v < 0) return -1;
  return v;
}

int ParseInt(const std::string& s, int fallback) {
  int v = 0;
  auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && p == s.data() + s.size() ? v : fallback;
}

std::string IntText(long long v) { return std::to_string(v); }

// "page" + number of its source page; -1 for any other name.
int SourceIndexOfPageName(std::string_view name) {
  if (name.size() < 5 || !SameTextAscii(name.substr(0, 4), "page")) return -1;
  return ParseIndex(name.substr(4));
}

constexpr std::size_t kElementOverhead = 52;

// The report's settings a prepared report carries in its "report" section.
constexpr const char* kReportSettings[] = {"DotMatrixReport", "PreviewOptions.OutlineVisible",
                                           "PreviewOptions.OutlineWidth"};

// Trees in prepared reports come from files of unknown origin: read all or
// nothing, not deeper than a report ever nests.
TreeReadOptions StoreReading() {
  TreeReadOptions options;
  options.strict = true;
  options.maxDepth = 64;
  options.resolveReferences = false;
  return options;
}

// A complete page: the page element and its objects in the template format.
void WritePageElement(const TfrxReportPage& page, TfrxXMLItem& item) {
  WriteElement(page, item, false);
  WriteChildElements(page, item, false);
}

void ReadPageElement(const TfrxXMLItem& item, TfrxReportPage& page) {
  ScopedValue loading(page.IsLoadingFlag, true);
  ReadElement(item, page);
  ReadChildElements(item, page, StoreReading());
}

// What a stored element's differences are applied over: the source object's
// class and, for a class with a difference encoding of its own, its complete
// attributes (the others store theirs in every element).
std::string SourceDescription(const TfrxComponent& source) {
  return source.GetClassInfo().HasOwnDiff(source) ? source.ClassName() + ObjToXML(source, "", false)
                                                  : source.ClassName();
}

// Device coordinates from numbers of unknown origin: anything not finite or
// beyond this many device pixels is not drawn.
constexpr double kMaxDevice = 1e8;
bool Drawable(double v) { return std::isfinite(v) && std::abs(v) < kMaxDevice; }

}  // namespace

// ---------------------------------------------------------------- dictionary

void TfrxDictionary::Clear() {
  entries_.clear();
  keyOfSource_.clear();
  taken_.clear();
}

bool TfrxDictionary::TakenNumbers::Has(std::int64_t n) const {
  auto it = runs_.upper_bound(n);
  return it != runs_.begin() && std::prev(it)->second >= n;
}

std::int64_t TfrxDictionary::TakenNumbers::FirstFreeFrom(std::int64_t n) const {
  auto it = runs_.upper_bound(n);
  if (it == runs_.begin()) return n;
  --it;
  return it->second >= n ? it->second + 1 : n;
}

void TfrxDictionary::TakenNumbers::Insert(std::int64_t n) {
  if (Has(n)) return;
  auto next = runs_.find(n + 1);
  auto it = runs_.upper_bound(n);
  if (it != runs_.begin() && std::prev(it)->second == n - 1) {
    auto before = std::prev(it);
    before->second = next != runs_.end() ? next->second : n;
    if (next != runs_.end()) runs_.erase(next);
    return;
  }
  std::int64_t last = n;
  if (next != runs_.end()) {
    last = next->second;
    runs_.erase(next);
  }
  runs_[n] = last;
}

// The probe and the count ask whether prefix + the decimal number is a key;
// the runs answer that for every number at once.
std::string TfrxDictionary::NewKey(const std::string& prefix) const {
  auto found = taken_.find(prefix);
  if (found == taken_.end()) return prefix + "1";
  const TakenNumbers& taken = found->second;
  int start = 1;
  for (int n = 10000; n >= 2; n /= 2)
    if (taken.Has(n)) {
      start = n;
      break;
    }
  return prefix + std::to_string(taken.FirstFreeFrom(start));
}

void TfrxDictionary::Add(const std::string& key, Entry entry) {
  if (entry.source != nullptr) keyOfSource_[entry.source] = key;
  entries_[key] = std::move(entry);
  // Each tail of digits without a leading zero is a number some prefix
  // could have given this key.
  int value = 0;
  long long scale = 1;
  for (std::size_t i = key.size(); i > 0 && scale <= 1000000000; --i) {
    const char c = key[i - 1];
    if (c < '0' || c > '9') break;
    const long long v = value + (c - '0') * scale;
    if (v > std::numeric_limits<int>::max()) break;
    value = static_cast<int>(v);
    scale *= 10;
    if (c != '0') taken_[key.substr(0, i - 1)].Insert(value);
  }
}

const TfrxDictionary::Entry* TfrxDictionary::Find(std::string_view key) const {
  auto it = entries_.find(key);
  return it == entries_.end() ? nullptr : &it->second;
}

std::string TfrxDictionary::KeyOf(const TfrxComponent* source) const {
  auto it = keyOfSource_.find(source);
  return it == keyOfSource_.end() ? std::string() : it->second;
}

// ---------------------------------------------------------------- outline

TfrxXMLItem& TfrxOutline::Root() { return pages_.Section("outline"); }

TfrxXMLItem& TfrxOutline::Current() {
  if (current_ == nullptr) current_ = &Root();
  return *current_;
}

void TfrxOutline::AddItem(const std::string& text) {
  AddItem(text, static_cast<int>(std::lround(pages_.Report().Engine().CurY)));
}

void TfrxOutline::AddItem(const std::string& text, int top) {
  TfrxXMLItem* item = Current().Add();
  item->Name = "item";
  item->SetProp("text", StrToXML(text));
  item->SetProp("page", IntText(pages_.CurrentPage));
  item->SetProp("top", IntText(top));
  current_ = item;
}

void TfrxOutline::LevelRoot() { current_ = &Root(); }

void TfrxOutline::LevelUp() {
  TfrxXMLItem& root = Root();
  if (current_ != nullptr && current_ != &root && current_->Parent() != nullptr) current_ = current_->Parent();
}

void TfrxOutline::EnterItem(int index) {
  TfrxXMLItem& c = Current();
  if (index < 0 || index >= c.Count()) throw std::runtime_error("Outline item index out of range");
  current_ = c.Items(index);
}

int TfrxOutline::Count() const { return current_ == nullptr ? const_cast<TfrxOutline*>(this)->Root().Count() : current_->Count(); }

TfrxOutline::Item TfrxOutline::GetItem(int index) const {
  TfrxXMLItem& c = const_cast<TfrxOutline*>(this)->Current();
  if (index < 0 || index >= c.Count()) throw std::runtime_error("Outline item index out of range");
  const TfrxXMLItem& it = *c.Items(index);
  return {XMLToStr(it.Prop("text")), ParseInt(it.Prop("page"), 0), ParseInt(it.Prop("top"), 0)};
}

TfrxXMLItem* TfrxOutline::LastItem() {
  TfrxXMLItem& c = Current();
  return c.Count() > 0 ? c.Items(c.Count() - 1) : &c;
}

void TfrxOutline::MoveItemsToPage(TfrxXMLItem* item, int top) {
  if (item == nullptr || item->Parent() == nullptr) return;
  TfrxXMLItem* parent = item->Parent();
  int next = parent->IndexOf(item) + 1;
  if (next <= 0 || next >= parent->Count()) return;
  TfrxXMLItem* first = parent->Items(next);
  int delta = top - ParseInt(first->Prop("top"), 0);
  auto move = [&](auto& self, TfrxXMLItem& it) -> void {
    it.SetProp("page", IntText(ParseInt(it.Prop("page"), 0) + 1));
    it.SetProp("top", IntText(ParseInt(it.Prop("top"), 0) + delta));
    for (int i = 0; i < it.Count(); ++i) self(self, *it.Items(i));
  };
  for (int i = next; i < parent->Count(); ++i) move(move, *parent->Items(i));
}

// ---------------------------------------------------------------- store

TfrxPreviewPages::TfrxPreviewPages(TfrxReport& report) : report_(report) { Clear(); }

TfrxPreviewPages::~TfrxPreviewPages() { ClearCache(); }

void TfrxPreviewPages::ClearCache() { cache_.clear(); }

// Progress notifications of preparation; none in thread-safe mode.
void TfrxPreviewPages::Notify(int which, int value) {
  if (report_.EngineOptions.ThreadSafe) return;
  auto& hook = which == 0 ? report_.OnProgressStart : which == 1 ? report_.OnProgress : report_.OnProgressStop;
  if (hook) hook(report_, TfrxReport::ptRunning, value);
}

void TfrxPreviewPages::Clear() {
  ClearCache();
  sourceOf_.clear();
  sourcePageIndex_.clear();
  outline_.Reset();
  doc_.Clear();
  doc_.Root().Name = "preparedreport";
  sourcePages_.clear();
  dictionary_.Clear();
  CurrentPage = -1;
  AllocatedBytes = 0;
  AppendPages = false;
  markPage_ = markCount_ = -1;
}

int TfrxPreviewPages::PageCount() const {
  int i = doc_.Root().Find("previewpages");
  return i < 0 ? 0 : doc_.Root().Items(i)->Count();
}

TfrxXMLItem* TfrxPreviewPages::CurrentPageItem() {
  TfrxXMLItem& pages = Pages();
  if (CurrentPage < 0 || CurrentPage >= pages.Count()) return nullptr;
  TfrxXMLItem* page = pages.Items(CurrentPage);
  if (!page->Loaded) doc_.LoadItem(*page);
  return page;
}

void TfrxPreviewPages::StartPreparation() {
  doc_.TempDir = report_.EngineOptions.TempDir;
  UseFileCache = report_.EngineOptions.UseFileCache;
  MaxMemSize = report_.EngineOptions.MaxMemSize;
  preparing_ = true;
  ClearCache();
  Notify(0, 0);
}

void TfrxPreviewPages::FinishPreparation() {
  ClearCache();
  // Pointers into the template never outlive the preparation.
  sourceOf_.clear();
  sourcePageIndex_.clear();
  preparing_ = false;
  Notify(2, 0);
}

void TfrxPreviewPages::RegisterCopy(TfrxComponent& copy, int sourceIndex, bool bandPrefix) {
  TfrxDictionary::Entry entry;
  entry.sourceName = "Page" + std::to_string(sourceIndex) + "." + copy.Name();
  entry.source = &copy;
  entry.description = SourceDescription(copy);
  dictionary_.Add(dictionary_.NewKey(KeyPrefix(copy, bandPrefix)), std::move(entry));
}

void TfrxPreviewPages::RegisterSourcePage(TfrxReportPage& templatePage) {
  auto copy = std::make_unique<TfrxReportPage>();
  copy->SetContextReport(&report_);
  copy->AssignAll(templatePage);
  copy->SetName(templatePage.Name());
  int index = static_cast<int>(sourcePages_.size());
  // Template objects meet their copies by name (names are unique in a
  // report); an object the copy could not take stays without source.
  std::unordered_map<std::string, TfrxComponent*> originals;
  for (TfrxComponent* c : templatePage.AllObjects())
    if (!c->Name().empty()) originals[c->Name()] = c;
  std::vector<TfrxComponent*> copies = copy->AllObjects();
  sourceOf_[&templatePage] = copy.get();
  sourcePageIndex_[&templatePage] = index;
  std::vector<TfrxComponent*> excluded;
  for (TfrxComponent* c : copies) {
    bool inExcluded = false;
    for (TfrxComponent* p = c->Parent(); p != nullptr && !inExcluded; p = p->Parent())
      inExcluded = std::find(excluded.begin(), excluded.end(), p) != excluded.end();
    if (inExcluded) continue;
    if (IsExcludedFromSourcePage(*c)) {
      excluded.push_back(c);
      continue;
    }
    auto it = originals.find(c->Name());
    if (it != originals.end() && it->second->ClassName() == c->ClassName()) sourceOf_[it->second] = c;
    RegisterCopy(*c, index, true);
  }
  for (TfrxComponent* e : excluded) delete e;
  sourcePages_.push_back(std::move(copy));
}

void TfrxPreviewPages::RegisterSourceObject(TfrxComponent& object) {
  if (sourcePages_.empty()) return;
  TfrxReportPage& last = *sourcePages_.back();
  TfrxComponent* copy = ObjectFromText(ObjectToText(object));
  if (copy == nullptr) return;
  if (!last.AcceptsChild(*copy)) {
    delete copy;
    return;
  }
  copy->SetParent(&last);
  copy->CreateUniqueName();
  sourceOf_[&object] = copy;
  RegisterCopy(*copy, static_cast<int>(sourcePages_.size()) - 1, false);
}

void TfrxPreviewPages::AppendPage(TfrxReportPage& templatePage) {
  TfrxXMLItem& pages = Pages();
  if (UseFileCache && AllocatedBytes > static_cast<std::size_t>(std::max(MaxMemSize, 0)) * 1048576u) {
    for (int i = pages.Count() - 2; i >= 0; --i) {
      TfrxXMLItem& p = *pages.Items(i);
      if (!p.Loaded) break;
      doc_.UnloadItem(p);
    }
    AllocatedBytes = 0;
  }
  ++CurrentPage;
  if (CurrentPage < pages.Count() && !AppendPages) return;
  TfrxXMLItem* page = pages.Add();
  auto it = sourcePageIndex_.find(&templatePage);
  page->Name = "page" + std::to_string(it == sourcePageIndex_.end() ? 0 : it->second);
  if (pages.Count() > 2) page->Unloadable = true;
  Notify(1, pages.Count());
  AppendPages = false;
  CurrentPage = pages.Count() - 1;
}

void TfrxPreviewPages::StoreObject(TfrxComponent& object, const std::vector<TfrxComponent*>* children) {
  TfrxXMLItem* page = CurrentPageItem();
  if (page == nullptr) throw std::runtime_error("No prepared page to store objects on");
  const std::vector<TfrxComponent*>& list = children != nullptr ? *children : object.Objects();
  StoreUnder(*page, object, list);
}

void TfrxPreviewPages::StoreUnder(TfrxXMLItem& parent, TfrxComponent& object,
                                  std::span<TfrxComponent* const> children) {
  if (!object.Visible()) return;
  TfrxXMLItem* target = &parent;
  if (!IsTransparentForStore(object)) {
    TfrxXMLItem* item = parent.Add();
    auto it = sourceOf_.find(&object);
    TfrxComponent* source = it == sourceOf_.end() ? nullptr : it->second;
    std::string key = source != nullptr ? dictionary_.KeyOf(source) : std::string();
    if (!key.empty()) {
      item->Name = key;
      if (FirstPassDiff)
        item->Text = DiffText(object, *source, /*baseOnly=*/true);
      else if (object.GetClassInfo().HasOwnDiff(object))
        item->Text = object.Diff(*source);
      else
        item->Text = ObjToXML(object, "", false) + DiffText(object, *source, /*baseOnly=*/true);
    } else {
      item->Name = object.ClassName();
      item->Text = ObjToXML(object, "", false);
    }
    AllocatedBytes += item->Name.size() + item->Text.size() + kElementOverhead;
    target = item;
  }
  for (TfrxComponent* child : children) StoreUnder(*target, *child, child->Objects());
}

void TfrxPreviewPages::MarkPass() {
  markPage_ = PageCount() - 1;
  TfrxXMLItem* page = markPage_ >= 0 ? Pages().Items(markPage_) : nullptr;
  if (page != nullptr && !page->Loaded) doc_.LoadItem(*page);
  markCount_ = page != nullptr ? page->Count() : -1;
}

void TfrxPreviewPages::DropPass() {
  ClearCache();
  outline_.Reset();
  if (markPage_ < 0) {
    TfrxXMLItem& root = doc_.Root();
    for (int i = root.Count() - 1; i >= 0; --i)
      if (!SameTextAscii(root.Items(i)->Name, "anchors")) delete root.Items(i);
  } else {
    TfrxXMLItem& pages = Pages();
    while (pages.Count() > markPage_ + 1) delete pages.Items(pages.Count() - 1);
    TfrxXMLItem& page = *pages.Items(markPage_);
    if (!page.Loaded) doc_.LoadItem(page);
    while (page.Count() > markCount_ && page.Count() > 0) delete page.Items(page.Count() - 1);
  }
  CurrentPage = markPage_;
  AllocatedBytes = 0;
}

int TfrxPreviewPages::ObjectCount() {
  TfrxXMLItem* page = CurrentPageItem();
  return page == nullptr ? 0 : page->Count();
}

void TfrxPreviewPages::DetachObjects(int fromIndex) {
  TfrxXMLItem* page = CurrentPageItem();
  if (page == nullptr) return;
  TfrxXMLItem& cutted = Section("cutted");
  std::vector<TfrxXMLItem*> moving;
  for (int i = std::max(fromIndex, 0); i < page->Count(); ++i) moving.push_back(page->Items(i));
  for (TfrxXMLItem* item : moving) cutted.AddItem(item);
}

void TfrxPreviewPages::ReattachObjects(double x, double y) {
  int at = doc_.Root().Find("cutted");
  if (at < 0) return;
  TfrxXMLItem* cutted = doc_.Root().Items(at);
  TfrxXMLItem* page = CurrentPageItem();
  if (cutted->Count() > 0 && page != nullptr) {
    const TfrxXMLItem& first = *cutted->Items(0);
    double dx = x - ParseStoredFloat(first.Prop("l"), 0);
    double dy = y - ParseStoredFloat(first.Prop("t"), 0);
    std::vector<TfrxXMLItem*> moving;
    for (int i = 0; i < cutted->Count(); ++i) moving.push_back(cutted->Items(i));
    for (TfrxXMLItem* item : moving) {
      item->SetProp("l", FloatText(ParseStoredFloat(item->Prop("l"), 0) + dx));
      item->SetProp("t", FloatText(ParseStoredFloat(item->Prop("t"), 0) + dy));
      page->AddItem(item);
    }
  }
  delete cutted;
}

const TfrxDictionary::Entry* TfrxPreviewPages::SourceEntryOf(const TfrxXMLItem& element) const {
  return dictionary_.Find(element.Name);
}

bool TfrxPreviewPages::BandOnPage(const TfrxComponent& band) {
  TfrxXMLItem* page = CurrentPageItem();
  if (page == nullptr) return false;
  auto it = sourceOf_.find(&band);
  TfrxComponent* source = it == sourceOf_.end() ? nullptr : it->second;
  bool isPageFooter = dynamic_cast<const TfrxPageFooter*>(&band) != nullptr;
  bool isColumnFooter = dynamic_cast<const TfrxColumnFooter*>(&band) != nullptr;
  for (int i = 0; i < page->Count(); ++i) {
    const TfrxDictionary::Entry* e = SourceEntryOf(*page->Items(i));
    if (e == nullptr || e->source == nullptr) continue;
    if (source != nullptr && e->source == source) return true;
    if (isPageFooter && dynamic_cast<const TfrxPageFooter*>(e->source) != nullptr) return true;
    if (isColumnFooter && dynamic_cast<const TfrxColumnFooter*>(e->source) != nullptr) return true;
  }
  return false;
}

double TfrxPreviewPages::LowestBandBottom() {
  TfrxXMLItem* page = CurrentPageItem();
  double lowest = 0;
  if (page == nullptr) return 0;
  for (int i = 0; i < page->Count(); ++i) {
    const TfrxXMLItem& el = *page->Items(i);
    const TfrxDictionary::Entry* e = SourceEntryOf(el);
    if (e == nullptr || e->source == nullptr) continue;
    auto* band = dynamic_cast<const TfrxBand*>(e->source);
    if (band == nullptr || dynamic_cast<const TfrxPageFooter*>(band) != nullptr ||
        dynamic_cast<const TfrxOverlay*>(band) != nullptr)
      continue;
    double bottom = ParseStoredFloat(el.Prop("t"), band->Top()) + ParseStoredFloat(el.Prop("h"), band->Height());
    lowest = std::max(lowest, bottom);
  }
  return lowest;
}

// ---------------------------------------------------------------- rebuilding

std::unique_ptr<TfrxReportPage> TfrxPreviewPages::RebuildPage(TfrxXMLItem& element) {
  if (!element.Loaded) doc_.LoadItem(element);
  auto page = std::make_unique<TfrxReportPage>();
  page->SetContextReport(&report_);
  if (SameTextAscii(element.Name, "TfrxReportPage")) {
    ReadPageElement(element, *page);
  } else {
    int n = SourceIndexOfPageName(element.Name);
    if (n < 0 || n >= static_cast<int>(sourcePages_.size()))
      throw std::runtime_error("Prepared report: page \"" + element.Name + "\" has no source page");
    page->Assign(*sourcePages_[static_cast<std::size_t>(n)]);
    page->SetName(sourcePages_[static_cast<std::size_t>(n)]->Name());
    // Each element names its source object by dictionary key: the source's
    // description with the element's differences applied over it, under the
    // source's name. Elements without a source describe themselves.
    TreeReadOptions options = StoreReading();
    options.describe = [this](const TfrxXMLItem& sub, std::string& name) {
      const TfrxDictionary::Entry* e = dictionary_.Find(sub.Name);
      if (e == nullptr || e->source == nullptr) return sub.Name + " " + sub.Text;
      name = e->source->Name();
      return e->description + " " + sub.Text;
    };
    ReadChildElements(element, *page, options);
  }
  page->UpdateDimensions();
  return page;
}

TfrxReportPage* TfrxPreviewPages::BuildPage(int index) {
  int count = PageCount();
  if (count == 0) return nullptr;
  if (index < 0 || index >= count)
    throw std::runtime_error("Prepared page " + std::to_string(index + 1) + " does not exist (" +
                             std::to_string(count) + " pages)");
  if (!preparing_) {
    for (auto it = cache_.begin(); it != cache_.end(); ++it)
      if (it->index == index) {
        cache_.splice(cache_.begin(), cache_, it);
        return cache_.front().page.get();
      }
  } else {
    // Pages rebuilt during a run are always fresh.
    ClearCache();
  }
  TfrxXMLItem& element = *Pages().Items(index);
  cache_.push_front({index, RebuildPage(element)});
  if (static_cast<int>(cache_.size()) > kPageCacheSize) {
    int dropped = cache_.back().index;
    cache_.pop_back();
    TfrxXMLItem& old = *Pages().Items(dropped);
    if (UseFileCache && old.Unloadable) doc_.UnloadItem(old);
  }
  return cache_.front().page.get();
}

std::pair<int, int> TfrxPreviewPages::PageSize(int index) {
  if (index < 0 || index >= PageCount()) return {0, 0};
  TfrxXMLItem& element = *Pages().Items(index);
  int n = SourceIndexOfPageName(element.Name);
  TfrxReportPage* page = nullptr;
  if (n >= 0 && n < static_cast<int>(sourcePages_.size()))
    page = sourcePages_[static_cast<std::size_t>(n)].get();
  else
    page = BuildPage(index);
  if (page == nullptr) return {0, 0};
  double w = page->PaperWidth() * fr01cm, h = page->PaperHeight() * fr01cm;
  if (!Drawable(w) || !Drawable(h)) return {0, 0};
  return {RoundHalfEven(w), RoundHalfEven(h)};
}

void TfrxPreviewPages::PaintPage(int index, Canvas& canvas, double scaleX, double scaleY, double offsetX,
                                 double offsetY) {
  TfrxReportPage* page = BuildPage(index);
  if (page == nullptr) return;
  CanvasStateGuard guard(canvas);
  double left = page->LeftMargin, right = page->RightMargin;
  bool mirrored = page->MirrorMargins && index % 2 == 1;
  if (mirrored) std::swap(page->LeftMargin, page->RightMargin);
  struct MarginRestore {
    TfrxReportPage& p;
    double l, r;
    ~MarginRestore() {
      p.LeftMargin = l;
      p.RightMargin = r;
    }
  } restore{*page, left, right};

  double paperRight = offsetX + page->PaperWidth() * fr01cm * scaleX;
  double paperBottom = offsetY + page->PaperHeight() * fr01cm * scaleY;
  if (!Drawable(offsetX) || !Drawable(offsetY) || !Drawable(paperRight) || !Drawable(paperBottom))
    throw std::runtime_error("Prepared page " + std::to_string(index + 1) + " has a paper size out of range");
  Rect paper{RoundHalfEven(offsetX), RoundHalfEven(offsetY), RoundHalfEven(paperRight), RoundHalfEven(paperBottom)};
  if (canvas.Kind() != CanvasKind::Printer) canvas.IntersectClip(paper);
  // The page's own background; its frame and back picture are drawn by the
  // renderer's page drawing once that exists.
  if (std::optional<Rgb> fill = RgbFromColor(page->Color)) {
    canvas.SetBrush(Brush{BrushStyle::Solid, *fill});
    canvas.FillRect(paper);
  }
  offsetX += page->LeftMargin * fr01cm * scaleX;
  offsetY += page->TopMargin * fr01cm * scaleY;
  bool alwaysDraw = canvas.Kind() == CanvasKind::Recording;
  bool printer = canvas.Kind() == CanvasKind::Printer;
  for (TfrxComponent* c : page->AllObjects()) {
    auto* view = dynamic_cast<TfrxView*>(c);
    if (view == nullptr) continue;
    if (printer && !view->Printable) continue;
    double l = offsetX + view->AbsLeft() * scaleX, t = offsetY + view->AbsTop() * scaleY;
    double r = l + view->Width() * scaleX, b = t + view->Height() * scaleY;
    if (!Drawable(l) || !Drawable(t) || !Drawable(r) || !Drawable(b)) continue;
    if (!alwaysDraw) {
      Rect box{RoundHalfEven(std::floor(l)) - 20, RoundHalfEven(std::floor(t)) - 20, RoundHalfEven(std::ceil(r)) + 20,
               RoundHalfEven(std::ceil(b)) + 20};
      if (!canvas.RectVisible(box)) continue;
    }
    CanvasStateGuard viewGuard(canvas);
    // Text objects learn the page count for their "[TOTALPAGES#]".
    if (auto* memo = dynamic_cast<TfrxCustomMemoView*>(view)) memo->TotalPages = PageCount();
    view->Draw(canvas, scaleX, scaleY, offsetX, offsetY);
  }
}

// ---------------------------------------------------------------- editing

void TfrxPreviewPages::InsertBlankPage(int index) {
  TfrxXMLItem& pages = Pages();
  if (index < 0 || index >= pages.Count()) throw std::runtime_error("Page index out of range");
  auto* item = new TfrxXMLItem;
  item->Name = pages.Items(index)->Name;
  pages.InsertItem(index, item);
  ClearCache();
}

void TfrxPreviewPages::DeletePage(int index) {
  TfrxXMLItem& pages = Pages();
  if (index < 0 || index >= pages.Count()) throw std::runtime_error("Page index out of range");
  if (pages.Count() < 2) return;
  delete pages.Items(index);
  ClearCache();
}

void TfrxPreviewPages::ReplacePage(int index, TfrxReportPage& page) {
  TfrxXMLItem& pages = Pages();
  if (index < 0 || index >= pages.Count()) throw std::runtime_error("Page index out of range");
  auto* item = new TfrxXMLItem;
  WritePageElement(page, *item);
  TfrxXMLItem* old = pages.Items(index);
  pages.InsertItem(index, item);
  delete old;
  ClearCache();
}

void TfrxPreviewPages::AppendReportPages(TfrxReport& other) {
  TfrxPreviewPages& from = PreviewPagesOf(other);
  if (&from == this) throw std::runtime_error("A report cannot append its own pages");
  for (int i = 0; i < from.PageCount(); ++i) {
    TfrxReportPage* page = from.BuildPage(i);
    WritePageElement(*page, *Pages().Add());
  }
  CurrentPage = PageCount() - 1;
  ClearCache();
}

// ---------------------------------------------------------------- anchors

void TfrxPreviewPages::AddAnchor(const std::string& text, double curY) {
  TfrxXMLItem* item = Section("anchors").Add();
  item->Name = "item";
  item->SetProp("text", StrToXML(text));
  item->SetProp("page", IntText(CurrentPage));
  item->SetProp("top", IntText(RoundHalfEven(curY)));
}

TfrxXMLItem* TfrxPreviewPages::FindAnchor(const std::string& text) {
  TfrxXMLItem& anchors = Section("anchors");
  for (int i = anchors.Count() - 1; i >= 0; --i)
    if (SameTextAscii(XMLToStr(anchors.Items(i)->Prop("text")), text)) return anchors.Items(i);
  return nullptr;
}

int TfrxPreviewPages::GetAnchorPage(const std::string& text) {
  TfrxXMLItem* a = FindAnchor(text);
  return a == nullptr ? 1 : ParseInt(a->Prop("page"), 0) + 1;
}

// ---------------------------------------------------------------- files

void TfrxPreviewPages::SaveToStream(TStream& stream) {
  TfrxXMLItem& reportSection = Section("report");
  reportSection.Clear();
  TfrxXMLItem* r = reportSection.Add();
  r->Name = report_.ClassName();
  r->Text = PropertyAttributes(report_, kReportSettings).substr(1);

  TfrxXMLItem& sources = Section("sourcepages");
  sources.Clear();
  for (const auto& page : sourcePages_) {
    WritePageElement(*page, *sources.Add());
  }

  TfrxXMLItem& dict = Section("dictionary");
  dict.Clear();
  for (const auto& [key, entry] : dictionary_.Entries()) {
    TfrxXMLItem* item = dict.Add();
    item->Name = key;
    item->SetProp("name", StrToXML(entry.sourceName));
  }
  doc_.AutoIndent = true;
  doc_.SaveToStream(stream);
  // The written copies are not needed in memory.
  sources.Clear();
}

void TfrxPreviewPages::SaveToFile(const std::string& fileName) {
  // Streamed, so memory stays bounded for large reports; the file is put in
  // place only when written whole, so a failed save leaves an existing file
  // untouched and no partial one behind.
  TOutputFileStream file(fileName);
  SaveToStream(file);
  file.Commit();
}

void TfrxPreviewPages::LoadFromStream(TStream& stream) {
  Clear();
  try {
    doc_.LoadFromStream(stream);
    if (!SameTextAscii(doc_.Root().Name, "preparedreport"))
      throw std::runtime_error("Not a prepared report: the root element is \"" + doc_.Root().Name + "\"");

    if (int i = doc_.Root().Find("report"); i >= 0 && doc_.Root().Items(i)->Count() > 0) {
      const TfrxXMLItem& r = *doc_.Root().Items(i)->Items(0);
      // Only the settings the section is for; nothing else of an outside
      // file reaches the report, and a value that does not read is ignored.
      for (const char* path : kReportSettings) {
        std::string value = r.Prop(path);
        PropTarget target = ResolveProp(report_, path);
        if (value.empty() || target.prop == nullptr) continue;
        try {
          SetPropText(*target.object, *target.prop, value);
        } catch (const std::exception&) {
        }
      }
    }

    TfrxXMLItem& sources = Section("sourcepages");
    for (int i = 0; i < sources.Count(); ++i) {
      const TfrxXMLItem& el = *sources.Items(i);
      if (!SameTextAscii(el.Name, "TfrxReportPage"))
        throw std::runtime_error("Prepared report: unsupported source page class " + el.Name);
      auto page = std::make_unique<TfrxReportPage>();
      page->SetContextReport(&report_);
      ReadPageElement(el, *page);
      sourcePages_.push_back(std::move(page));
    }
    sources.Clear();

    // Each source page's objects by name, made once: a dictionary names
    // every object of its pages, and a search of the page per name would
    // make loading quadratic. The first object of a name counts, as in
    // FindObject.
    std::vector<std::unordered_map<std::string, TfrxComponent*>> byName(sourcePages_.size());
    std::vector<bool> indexed(sourcePages_.size(), false);
    auto findSource = [&](std::size_t page, std::string_view name) -> TfrxComponent* {
      if (!indexed[page]) {
        for (TfrxComponent* c : sourcePages_[page]->AllObjects()) byName[page].emplace(UpperAscii(c->Name()), c);
        indexed[page] = true;
      }
      auto it = byName[page].find(UpperAscii(name));
      return it == byName[page].end() ? nullptr : it->second;
    };
    TfrxXMLItem& dict = Section("dictionary");
    for (int i = 0; i < dict.Count(); ++i) {
      const TfrxXMLItem& el = *dict.Items(i);
      std::string name = XMLToStr(el.Prop("name"));
      if (name.empty()) throw std::runtime_error("Prepared report: dictionary entry \"" + el.Name + "\" has no name");
      TfrxDictionary::Entry entry;
      entry.sourceName = name;
      std::size_t dot = name.find('.');
      if (dot != std::string::npos && dot > 4 && SameTextAscii(name.substr(0, 4), "Page")) {
        int n = ParseIndex(std::string_view(name).substr(4, dot - 4));
        if (n >= 0 && n < static_cast<int>(sourcePages_.size()))
          entry.source = findSource(static_cast<std::size_t>(n), std::string_view(name).substr(dot + 1));
      }
      if (entry.source != nullptr) entry.description = SourceDescription(*entry.source);
      dictionary_.Add(el.Name, std::move(entry));
    }
    dict.Clear();

    TfrxXMLItem& pages = Pages();
    for (int i = 0; i < pages.Count(); ++i) {
      const std::string& n = pages.Items(i)->Name;
      int s = SourceIndexOfPageName(n);
      if (!SameTextAscii(n, "TfrxReportPage") && (s < 0 || s >= static_cast<int>(sourcePages_.size())))
        throw std::runtime_error("Prepared report: page \"" + n + "\" has no source page");
    }
    CurrentPage = pages.Count() - 1;
  } catch (...) {
    Clear();
    throw;
  }
}

bool TfrxPreviewPages::LoadFromFile(const std::string& fileName, bool exceptionIfNotFound) {
  if (!FileExists(fileName) && !exceptionIfNotFound) return false;
  TFileStream stream(fileName, TFileStream::kRead);
  LoadFromStream(stream);
  return true;
}

TfrxPreviewPages& PreviewPagesOf(TfrxReport& report) {
  auto* pages = dynamic_cast<TfrxPreviewPages*>(&report.PreviewPages());
  if (pages == nullptr) throw std::runtime_error("The report's prepared pages are not the engine's own");
  return *pages;
}

}  // namespace zentavo
