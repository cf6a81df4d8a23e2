// The field maps of the three label jobs.
#include "app/LabelPlan.h"

#include "app/Request.h"
#include "platform/Text.h"

namespace zentavo {
namespace {

LabelFill Memo(const char* object, std::string value) { return {object, LabelFill::Kind::Memo, std::move(value)}; }
LabelFill Barcode(const char* object, const std::string& value) {
  return {object, LabelFill::Kind::Barcode, TrimBarcodeNumber(value)};
}

// "defult" (exactly so) keeps the template's printer; anything else, also an
// empty field, names the printer.
std::optional<std::string> ButtonPrinter(const std::string& field) {
  if (field == "defult") return std::nullopt;
  return field;
}

std::vector<LabelPlan> AutomaticLabels(const std::string& text) {
  auto field = [&](int k) { return RequestField(text, '|', k); };
  const std::string lab = field(2), company = field(3), patient = field(4), sampleDate = field(5),
                    protocol = field(6), birthDate = field(8), sex = field(9);
  std::vector<LabelPlan> plans;
  for (int i = 0; i < kMaxLabelsPerRequest; ++i) {
    const std::string a = field(10 + 3 * i), b = field(11 + 3 * i), c = field(12 + 3 * i);
    if (TrimBarcodeNumber(c).empty()) break;
    LabelPlan plan{"LabBarkod3050",
                   {Memo("MmKurumLabAdi", lab), Memo("MmFirmaAdi", company), Memo("MmNumuneAlmaTarihi", sampleDate),
                    Memo("MmHastaAdi", patient), Memo("MmBnoPno", c + " / " + protocol),
                    Memo("MmDogumTarihi", "D.T.:" + birthDate), Memo("MmCinsiyet", sex),
                    Memo("MmTetkik", a + " / " + b), Memo("MmLabAdi", "ZiveroRuz"), Barcode("BBarkodNo", c)},
                   a + "_" + c,
                   "Pelmora Korvane"};
    plans.push_back(std::move(plan));
  }
  return plans;
}

LabelPlan LaboratoryLabel(const std::string& text) {
  auto field = [&](int k) { return RequestField(text, '$', k); };
  return {"LabBarkod",
          {Memo("Memo7", field(8)), Memo("Memo1", field(3)), Memo("Memo2", field(4)), Memo("Memo3", field(5)),
           Memo("Memo4", field(6)), Barcode("BarCode1", field(7))},
          "",
          ButtonPrinter(field(2))};
}

LabelPlan ResultLabel(const std::string& text) {
  auto field = [&](int k) { return RequestField(text, '$', k); };
  return {"SonucBarkodu",
          {Memo("Memo7", field(7)), Memo("Memo1", field(3)), Memo("Memo2", field(4)), Memo("Memo3", field(5)),
           Barcode("BarCode1", field(6))},
          "",
          ButtonPrinter(field(2))};
}

}  // namespace

std::string TrimBarcodeNumber(const std::string& value) { return std::string(TrimBlanks(value)); }

std::vector<LabelPlan> PlanLabels(ButtonJob job, const std::string& requestText) {
  switch (job) {
    case ButtonJob::Lab3050: return AutomaticLabels(requestText);
    case ButtonJob::Lab: return {LaboratoryLabel(requestText)};
    case ButtonJob::Result: return {ResultLabel(requestText)};
    case ButtonJob::File: return {};
  }
  return {};
}

}  // namespace zentavo
