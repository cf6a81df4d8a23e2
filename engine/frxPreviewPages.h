// The store of prepared pages: pages kept as XML items whose objects are
// differences from frozen copies of their template objects (source pages and
// the key dictionary), rebuilt into objects on demand, cached, moved out to a
// temporary file for large reports, saved and loaded as "preparedreport".
#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "report/frxCustomEngine.h"
#include "report/frxCustomPreviewPages.h"
#include "report/frxXML.h"

namespace zentavo {

class Canvas;
class TfrxComponent;
class TfrxReport;
class TfrxReportPage;

// Maps keys ("m1", "b3"...) to source objects by their source names
// ("Page0.Memo1"). Keys sort as text, as they are saved.
class TfrxDictionary {
  // The numbers taken after one prefix, as runs of consecutive numbers, so
  // that a new key is found without counting through the keys before it.
  class TakenNumbers {
   public:
    // 64 bits: the run after the largest key number is one past the int range.
    bool Has(std::int64_t n) const;
    std::int64_t FirstFreeFrom(std::int64_t n) const;
    void Insert(std::int64_t n);

   private:
    std::map<std::int64_t, std::int64_t> runs_;  // first number -> last number of a run
  };

 public:
  struct Entry {
    std::string sourceName;
    TfrxComponent* source = nullptr;  // none when the name found no object
    std::string description;          // class name [+ complete attribute text]
  };
  void Clear();
  // The first free key for the prefix: the halving probe from 10000, then
  // counting up to the first free number.
  std::string NewKey(const std::string& prefix) const;
  void Add(const std::string& key, Entry entry);
  const Entry* Find(std::string_view key) const;
  // The key of a source object, empty when it has none.
  std::string KeyOf(const TfrxComponent* source) const;
  const std::map<std::string, Entry, std::less<>>& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }

 private:
  std::map<std::string, Entry, std::less<>> entries_;
  std::unordered_map<const TfrxComponent*, std::string> keyOfSource_;
  // Every way a key reads as a prefix and a number in its decimal form
  // ("m12" is "m" 12 and "m1" 2), by prefix.
  std::unordered_map<std::string, TakenNumbers> taken_;
};

// The document outline inside the store's "outline" section.
class TfrxOutline final : public TfrxCustomOutline {
 public:
  explicit TfrxOutline(class TfrxPreviewPages& pages) : pages_(pages) {}
  void AddItem(const std::string& text, int top);
  // A script's entry: at the engine's current vertical position.
  void AddItem(const std::string& text) override;
  void LevelRoot() override;
  void LevelUp() override;
  void EnterItem(int index);
  int Count() const;  // children of the current entry
  struct Item {
    std::string text;
    int page = 0, top = 0;
  };
  Item GetItem(int index) const;
  TfrxXMLItem* LastItem();
  void MoveItemsToPage(TfrxXMLItem* item, int top);
  void Reset() { current_ = nullptr; }

 private:
  TfrxXMLItem& Root();
  TfrxXMLItem& Current();
  class TfrxPreviewPages& pages_;
  TfrxXMLItem* current_ = nullptr;
};

class TfrxPreviewPages final : public TfrxCustomPreviewPages {
 public:
  explicit TfrxPreviewPages(TfrxReport& report);
  ~TfrxPreviewPages() override;
  TfrxPreviewPages(const TfrxPreviewPages&) = delete;
  TfrxPreviewPages& operator=(const TfrxPreviewPages&) = delete;

  // ---- what the engine calls
  void Clear() override;
  void StartPreparation();
  void RegisterSourcePage(TfrxReportPage& templatePage);
  void RegisterSourceObject(TfrxComponent& object);
  void AppendPage(TfrxReportPage& templatePage);
  // Stores the object (and its children, or `children` when given: the
  // borrowed objects of a null band) under the current page.
  void StoreObject(TfrxComponent& object, const std::vector<TfrxComponent*>* children = nullptr);
  void MarkPass();
  void DropPass();
  int ObjectCount();
  void DetachObjects(int fromIndex);
  void ReattachObjects(double x, double y);
  bool BandOnPage(const TfrxComponent& band);
  double LowestBandBottom();
  void FinishPreparation();
  // First pass of two: objects are stored by their base difference only.
  bool FirstPassDiff = false;

  // ---- what printing, rendering and tests ask
  int PageCount() const override;
  TfrxCustomOutline& ScriptOutline() override { return outline_; }
  TfrxReport& Report() const { return report_; }
  int CurrentPage = -1;
  bool AppendPages = false;
  int RunFirstPage = 0;
  // The page rebuilt as objects; owned by the store's cache (valid until the
  // next call that touches the cache). Throws for a damaged page.
  TfrxReportPage* BuildPage(int index) override;
  // Paper size in whole pixels; (0, 0) outside the pages.
  std::pair<int, int> PageSize(int index) override;
  void PaintPage(int index, Canvas& canvas, double scaleX, double scaleY, double offsetX, double offsetY) override;
  // Drops the rebuilt pages; printing keeps at most one page as objects.
  void ClearCache() override;

  // ---- page editing (preview)
  void InsertBlankPage(int index) override;
  void DeletePage(int index) override;
  // The page becomes a complete page in the template format (never unloaded).
  void ReplacePage(int index, TfrxReportPage& page) override;
  // Every page of another report's store, appended as complete pages.
  void AppendReportPages(TfrxReport& other) override;

  // ---- anchors and outline
  void AddAnchor(const std::string& text, double curY);
  TfrxXMLItem* FindAnchor(const std::string& text);
  int GetAnchorPage(const std::string& text);
  TfrxOutline& Outline() { return outline_; }

  // ---- files
  void SaveToStream(TStream& stream) override;
  void SaveToFile(const std::string& fileName) override;
  // Prepared reports from outside are untrusted: a damaged one fails with a
  // message, never a crash.
  void LoadFromStream(TStream& stream) override;
  bool LoadFromFile(const std::string& fileName, bool exceptionIfNotFound = false) override;

  // ---- inspection
  TfrxXMLDocument& Document() { return doc_; }
  TfrxXMLItem& Section(std::string_view name) { return *doc_.Root().FindItem(name); }
  TfrxDictionary& Dictionary() { return dictionary_; }
  const std::vector<std::unique_ptr<TfrxReportPage>>& SourcePages() const { return sourcePages_; }
  std::size_t AllocatedBytes = 0;
  bool UseFileCache = false;
  int MaxMemSize = 10;
  static constexpr int kPageCacheSize = 50;

 private:
  friend class TfrxOutline;
  TfrxXMLItem& Pages() { return *doc_.Root().FindItem("previewpages"); }
  TfrxXMLItem* CurrentPageItem();
  void RegisterCopy(TfrxComponent& copy, int sourceIndex, bool bandPrefix);
  void StoreUnder(TfrxXMLItem& parent, TfrxComponent& object, std::span<TfrxComponent* const> children);
  const TfrxDictionary::Entry* SourceEntryOf(const TfrxXMLItem& element) const;
  void Notify(int which, int value);
  std::unique_ptr<TfrxReportPage> RebuildPage(TfrxXMLItem& element);

  TfrxReport& report_;
  TfrxXMLDocument doc_;
  TfrxDictionary dictionary_;
  TfrxOutline outline_{*this};
  std::vector<std::unique_ptr<TfrxReportPage>> sourcePages_;
  // Template object -> its source copy; only while a preparation runs.
  std::unordered_map<const TfrxComponent*, TfrxComponent*> sourceOf_;
  std::unordered_map<const TfrxComponent*, int> sourcePageIndex_;
  struct Cached {
    int index;
    std::unique_ptr<TfrxReportPage> page;
  };
  std::list<Cached> cache_;
  int markPage_ = -1, markCount_ = -1;
  bool preparing_ = false;
};

// The report's store, which the engine installed.
TfrxPreviewPages& PreviewPagesOf(TfrxReport& report);

}  // namespace zentavo
