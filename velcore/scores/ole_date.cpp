#include "velcore/scores/ole_date.h"

#include <oleauto.h>

#include "ui/system_library.h"

namespace {

constexpr wchar_t kOleAutomation[] = L"oleaut32.dll";

}  // namespace

double OleDateNow() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  double date = 0.0;
  const auto convert = ui::SystemFunctionAs<decltype(&SystemTimeToVariantTime)>(
      kOleAutomation, "SystemTimeToVariantTime");
  if (!convert || !convert(&now, &date)) return 0.0;
  return date;
}

bool FormatOleDate(double date, wchar_t* text, int capacity) {
  if (!text || capacity <= 0) return false;
  text[0] = L'\0';
  const auto change =
      ui::SystemFunctionAs<decltype(&VariantChangeType)>(kOleAutomation, "VariantChangeType");
  const auto clear = ui::SystemFunctionAs<decltype(&VariantClear)>(kOleAutomation, "VariantClear");
  if (!change || !clear) return false;
  VARIANT value = {};
  value.vt = VT_DATE;
  value.date = date;
  const bool changed = SUCCEEDED(change(&value, &value, 0, VT_BSTR));
  if (changed && value.vt == VT_BSTR && value.bstrVal) lstrcpynW(text, value.bstrVal, capacity);
  clear(&value);
  return text[0] != L'\0';
}
