#include <gtest/gtest.h>

#include <array>
#include <string>

#include <pavenda/MerchantTLV.h>

#include "decoding/PropertyTable.h"
#include "decoding/RecordSupport.h"
#include "encoding/TagCatalogue.h"

namespace pavenda {
namespace {

using Value = ZARODEZMerchantTLV::PropertyValue;
const Value absent = std::monostate{};

// 1 flag, 70 texts and 48 maps, all absent at first; a catalogue key names a map for a template
// and a text otherwise.
TEST(MerchantRecord, HasTheNamedPropertiesOfEachKind) {
  const ZARODEZMerchantTLV record;
  std::array<std::size_t, 3> counts{}; // by kind: flag, text, map
  for (const record::NamedProperty& property : record::properties) {
    ++counts[static_cast<int>(property.ref.kind)];
    const bool isFlag = property.ref.kind == record::Kind::flag;
    EXPECT_EQ(record.valueForKey(property.name), isFlag ? Value(false) : absent) << property.name;
  }
  EXPECT_EQ(counts, (std::array<std::size_t, 3>{1, 70, 48}));
  for (const catalogue::Entry& entry : catalogue::entries) {
    const bool isTemplate = entry.tag == "62" || catalogue::isTemplateTag(entry.tag);
    EXPECT_EQ(record::propertyNamed(entry.key)->kind,
              isTemplate ? record::Kind::map : record::Kind::text)
        << entry.key;
  }
  for (const char* other : {"MerchantName", "merchantname", "", "languagePreference", "tag100"})
    EXPECT_FALSE(ZARODEZMerchantTLV::isPropertyName(other)) << other;
}

TEST(MerchantRecord, AccessorsAndNamesReachTheSameField) {
  ZARODEZMerchantTLV record;
  record.setTag37(TextMap{{"00", "id"}});
  for (int tag = 26; tag <= 51; ++tag)
    EXPECT_EQ(record.valueForKey("tag" + std::to_string(tag)),
              tag == 37 ? Value(TextMap{{"00", "id"}}) : absent)
        << tag;
  record.setTipAndFeeIndicator("02");
  EXPECT_FALSE(record.isTipAvailable()) << "only the assignment derives the tip flag";
  record.setMerchantName("");
  EXPECT_EQ(record.valueForKey("merchantName"), Value(""));
}

struct SetCase {
  const char* key;
  Value value;
  bool accepted;
};

// From something in every kind, so that clearing and refusals are visible.
TEST(MerchantRecord, SetByNameStoresAValueOfTheRightKindOnly) {
  const TextMap map{{"00", "a"}};
  for (const SetCase& c :
       {SetCase{"merchantName", "Shop", true}, SetCase{"tag26", map, true},
        SetCase{"isTipAvailable", false, true}, SetCase{"merchantName", absent, true},
        SetCase{"tag26", absent, true}, SetCase{"merchantName", map, false},
        SetCase{"tag26", "0002id", false}, SetCase{"merchantName", true, false},
        SetCase{"isTipAvailable", "true", false}, SetCase{"isTipAvailable", absent, false},
        SetCase{"MerchantName", "x", false}}) {
    ZArodezPayMerchantTLV record =
        recordWith({{"isTipAvailable", true}, {"merchantName", "Old"}, {"tag26", TextMap{}}});
    const ZArodezPayMerchantTLV before = record;
    EXPECT_EQ(record.setProperty(c.key, c.value), c.accepted) << c.key;
    EXPECT_EQ(record.valueForKey(c.key), c.accepted ? c.value : before.valueForKey(c.key)) << c.key;
    EXPECT_EQ(record == before, !c.accepted) << c.key;
  }
}

} // namespace
} // namespace pavenda
