// Collecting, accumulating and reading the aggregate functions of a run.
#include "engine/frxAggregates.h"

#include <cctype>

#include "platform/Cp1254.h"
#include "platform/ScopeGuard.h"
#include "platform/Text.h"
#include "report/frxClass.h"
#include "report/frxExpressions.h"

namespace zentavo {

namespace {

// Report variables that name each other are followed this deep.
constexpr int kMaxVariableDepth = 16;

constexpr std::pair<std::string_view, TfrxAggregateKind> kKinds[] = {
    {"SUM", TfrxAggregateKind::Sum}, {"AVG", TfrxAggregateKind::Avg}, {"MIN", TfrxAggregateKind::Min},
    {"MAX", TfrxAggregateKind::Max}, {"COUNT", TfrxAggregateKind::Count},
};

bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// The arguments of a call, split at the commas outside parentheses and
// single quotes, each trimmed.
std::vector<std::string> SplitArguments(std::string_view text) {
  std::vector<std::string> out(1);
  int depth = 0;
  bool quoted = false;
  for (char c : text) {
    if (c == '\'') quoted = !quoted;
    if (!quoted) {
      if (c == '(') ++depth;
      if (c == ')') --depth;
      if (c == ',' && depth == 0) {
        out.emplace_back();
        continue;
      }
    }
    out.back() += c;
  }
  for (std::string& a : out) a = std::string(TrimBlanks(a));
  return out;
}

TfrxBand* BandOf(TfrxComponent* c) {
  for (; c != nullptr; c = c->Parent())
    if (auto* b = dynamic_cast<TfrxBand*>(c)) return b;
  return nullptr;
}

}  // namespace

bool AggregateKindOf(std::string_view name, TfrxAggregateKind& kind) {
  std::string upper = cp1254::UpperCase(name);
  for (const auto& [n, k] : kKinds)
    if (upper == n) {
      kind = k;
      return true;
    }
  return false;
}

void TfrxAggregateList::ScanText(TfrxReport& report, const std::string& text, TfrxBand* defaultBand,
                                 TfrxBand* shownIn, const std::string& memo, int depth) {
  for (std::size_t i = 0; i < text.size();) {
    char c = text[i];
    if (c == '\'' || c == '"') {  // a quoted string holds no call
      std::size_t end = text.find(c, i + 1);
      i = end == std::string::npos ? text.size() : end + 1;
      continue;
    }
    if (!IsWordStart(c)) {
      ++i;
      continue;
    }
    std::size_t start = i;
    while (i < text.size() && IsWordChar(text[i])) ++i;
    std::string word = text.substr(start, i - start);
    TfrxAggregateKind kind;
    if (i < text.size() && text[i] == '(' && AggregateKindOf(word, kind)) {
      DelimitedPart call = FindClosing(SingleByteToUtf16(text), i, u"(", u")");
      std::string args = Utf16ToSingleByte(call.expression);
      i = call.end > i ? call.end : text.size();
      std::vector<std::string> a = SplitArguments(args);
      const std::size_t first = kind == TfrxAggregateKind::Count ? 0 : 1;
      TfrxAggregateItem item;
      item.kind = kind;
      if (kind != TfrxAggregateKind::Count) item.expression = a[0];
      std::string bandName = a.size() > first ? a[first] : std::string();
      item.band = defaultBand;
      if (!bandName.empty() && bandName != "0")
        if (auto* b = dynamic_cast<TfrxBand*>(report.FindObject(bandName))) item.band = b;
      if (a.size() > first + 1) item.flags = std::atoi(a[first + 1].c_str());
      item.shownIn = shownIn;
      item.inPageFooter = dynamic_cast<TfrxPageFooter*>(shownIn) != nullptr;
      item.memo = memo;
      items_.push_back(std::move(item));
      continue;
    }
    if (depth < kMaxVariableDepth)
      if (const TfrxVariable* v = report.FindVariable(word); v != nullptr && v->Value.IsString())
        ScanText(report, v->Value.RawString(), defaultBand, shownIn, memo, depth + 1);
  }
}

void TfrxAggregateList::Collect(TfrxReport& report, TfrxReportPage& page, const std::vector<TfrxBand*>& topLevel) {
  auto scanBand = [&](TfrxBand* band, TfrxBand* dataBand) {
    // A band and the chain of child bands that follows it.
    for (int guard = 0; band != nullptr && guard < 1000; band = band->Child(), ++guard)
      for (TfrxComponent* c : band->AllObjects()) {
        auto* memo = dynamic_cast<TfrxCustomMemoView*>(c);
        if (memo == nullptr) continue;
        ExpressionDelimiters d = SplitDelimiters(memo->ExpressionDelimiters);
        std::u16string text = memo->Memo.Text();
        for (std::size_t i = 0; i < text.size();) {
          std::size_t at = text.find(d.open, i);
          if (d.open.empty() || at == std::u16string::npos) break;
          DelimitedPart part = FindClosing(text, at, d.open, d.close);
          if (part.end <= at) break;
          ScanText(report, Utf16ToSingleByte(part.expression), dataBand, BandOf(memo), memo->Name(), 0);
          i = part.end;
        }
      }
  };
  // Every data band with its footer and the footers of its groups, details included.
  std::vector<TfrxBand*> pending(topLevel.begin(), topLevel.end());
  for (std::size_t k = 0; k < pending.size(); ++k) {
    TfrxBand* data = pending[k];
    scanBand(data->LinkedFooter, data);
    if (data->LinkedGroup != nullptr)
      for (TfrxBand* h : data->LinkedGroup->Details) scanBand(h->LinkedFooter, data);
    if (data->Vertical) scanBand(data, data);
    pending.insert(pending.end(), data->Details.begin(), data->Details.end());
  }
  if (topLevel.empty()) return;
  for (TfrxComponent* c : page.Objects())
    if (dynamic_cast<TfrxPageFooter*>(c) != nullptr || dynamic_cast<TfrxColumnFooter*>(c) != nullptr ||
        dynamic_cast<TfrxReportSummary*>(c) != nullptr)
      scanBand(static_cast<TfrxBand*>(c), topLevel.front());
}

namespace {

// Adds one value (not null) to a total of that kind.
void Fold(TfrxAggregateKind kind, Variant& total, const Variant& v) {
  if (total.IsEmptyOrNull()) {
    total = v;
    return;
  }
  switch (kind) {
    case TfrxAggregateKind::Sum:
    case TfrxAggregateKind::Avg: total = VarBinary(VariantOp::Add, total, v); break;
    case TfrxAggregateKind::Min:
      if (VarCompareOp(CompareOp::Less, v, total)) total = v;
      break;
    case TfrxAggregateKind::Max:
      if (VarCompareOp(CompareOp::Greater, v, total)) total = v;
      break;
    case TfrxAggregateKind::Count: break;
  }
}

}  // namespace

void TfrxAggregateList::AddValues(TfrxReport& report, TfrxBand& band) {
  for (TfrxAggregateItem& item : items_) {
    if (item.band != &band || (!band.Visible() && !(item.flags & 1))) continue;
    ScopedValue current(report.CurObject, item.memo);
    Variant v = item.kind == TfrxAggregateKind::Count ? Variant::Null() : report.Calc(item.expression);
    if (v.IsBoolean()) v = Variant::Int(v.RawBool() ? 1 : 0);
    const bool aside = keeping_ && item.inPageFooter;
    Variant& total = aside ? item.keptValue : item.value;
    int& count = aside ? item.keptCount : item.count;
    item.lastValue = total;
    item.lastCount = count;
    item.lastAside = aside;
    if (item.kind != TfrxAggregateKind::Avg || !v.IsEmptyOrNull()) ++count;
    if (!v.IsEmptyOrNull() && item.kind != TfrxAggregateKind::Count) Fold(item.kind, total, v);
  }
}

void TfrxAggregateList::TakeBack(const TfrxBand& band) {
  for (TfrxAggregateItem& item : items_) {
    if (item.band != &band) continue;
    (item.lastAside ? item.keptValue : item.value) = item.lastValue;
    (item.lastAside ? item.keptCount : item.count) = item.lastCount;
  }
}

void TfrxAggregateList::EndKeep() {
  keeping_ = false;
  for (TfrxAggregateItem& item : items_) {
    if (item.keptCount == 0 && item.keptValue.IsEmptyOrNull()) continue;
    item.count += item.keptCount;
    if (!item.keptValue.IsEmptyOrNull()) Fold(item.kind, item.value, item.keptValue);
    item.keptValue = Variant::Null();
    item.keptCount = 0;
  }
}

void TfrxAggregateList::Reset(const TfrxBand& band) {
  for (TfrxAggregateItem& item : items_)
    if (item.shownIn == &band && !((item.flags & 2) && item.count > 0)) {
      item.value = Variant::Null();
      item.count = 0;
      item.lastValue = Variant::Null();
      item.lastCount = 0;
    }
}

void TfrxAggregateList::ClearValues() {
  keeping_ = false;
  for (TfrxAggregateItem& item : items_) {
    item.value = item.lastValue = item.keptValue = Variant::Null();
    item.count = item.lastCount = item.keptCount = 0;
  }
}

Variant TfrxAggregateList::Value(const TfrxBand* current, TfrxAggregateKind kind, std::string_view expression,
                                 std::string_view bandName, int flags) const {
  for (const TfrxAggregateItem& item : items_) {
    if (item.shownIn != current || item.kind != kind || item.flags != flags) continue;
    if (!cp1254::SameText(TrimBlanks(item.expression), TrimBlanks(expression))) continue;
    if (!bandName.empty() && (item.band == nullptr || !cp1254::SameText(item.band->Name(), bandName))) continue;
    Variant v;
    switch (kind) {
      case TfrxAggregateKind::Avg:
        v = item.count > 0 && !item.value.IsEmptyOrNull()
                ? VarBinary(VariantOp::Div, item.value, Variant::Int(item.count))
                : Variant::Null();
        break;
      case TfrxAggregateKind::Count: v = Variant::Int(item.count); break;
      default: v = item.value; break;
    }
    return v.IsEmptyOrNull() ? Variant::Int(0) : v;
  }
  return Variant::Null();
}

}  // namespace zentavo
