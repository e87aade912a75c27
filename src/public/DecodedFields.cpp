#include <pavenda/DecodedFields.h>

#include <nlohmann/json.hpp>

namespace pavenda {
namespace {

using Json = nlohmann::ordered_json;

// Every present property by name, in declaration order; the flag always.
Json fieldsOf(const ZArodezPayMerchantTLV& record) {
  Json fields = Json::object();
  fields["isTipAvailable"] = record.isTipAvailable();
#define PAVENDA_TEXT_PROPERTY(name, Name)                                                          \
  if (const auto& value = record.name())                                                           \
    fields[#name] = *value;
#define PAVENDA_MAP_PROPERTY(name, Name)                                                           \
  if (const auto& value = record.name()) {                                                         \
    Json entries = Json::object();                                                                 \
    for (const auto& [key, text] : *value)                                                         \
      entries[key] = text;                                                                         \
    fields[#name] = std::move(entries);                                                            \
  }
#include <pavenda/MerchantTLVProperties.def>
  return fields;
}

} // namespace

std::string decodedFieldsJSON(const ZArodezPayMerchantTLV& record, int indent) {
  Json out;
  out["scheme"] = record.payloadFormatIndicator() ? "TLV01" : "TLV00";
  out["fields"] = fieldsOf(record);
  return out.dump(indent < 0 ? -1 : indent, ' ', false, Json::error_handler_t::replace);
}

} // namespace pavenda
