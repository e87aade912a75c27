#include <gtest/gtest.h>

#include <pavenda/MerchantTLV.h>

#include "decoding/PropertyTable.h"
#include "decoding/RecordSupport.h"
#include "encoding/TagCatalogue.h"

namespace pavenda {
namespace {

using Value = ZARODEZMerchantTLV::PropertyValue;

TEST(MerchantRecord, StartsWithEveryPropertyAbsentAndNoTip) {
  const ZARODEZMerchantTLV record;
  EXPECT_FALSE(record.isTipAvailable());
  for (const record::NamedProperty &property : record::properties) {
    const Value value = record.valueForKey(property.name);
    if (property.name == "isTipAvailable")
      EXPECT_EQ(value, Value(false));
    else
      EXPECT_TRUE(std::holds_alternative<std::monostate>(value)) << property.name;
  }
  EXPECT_FALSE(record.additionalDataFieldTemplate());
  EXPECT_FALSE(record.tag26());
  EXPECT_FALSE(record.tag51());
  EXPECT_FALSE(record.tag80());
  EXPECT_FALSE(record.tag99());
}

TEST(MerchantRecord, HasTheNamedPropertiesOfEachKind) {
  std::size_t flags = 0, texts = 0, maps = 0;
  for (const record::NamedProperty &property : record::properties) {
    EXPECT_TRUE(ZARODEZMerchantTLV::isPropertyName(property.name)) << property.name;
    flags += property.ref.kind == record::Kind::flag;
    texts += property.ref.kind == record::Kind::text;
    maps += property.ref.kind == record::Kind::map;
  }
  EXPECT_EQ(flags, 1u);
  EXPECT_EQ(texts, 70u);
  EXPECT_EQ(maps, 48u);
  for (const char *extra :
       {"isTipAvailable", "zArodezMerchantPAN", "additionalDataField", "primaryID", "secondaryID"})
    EXPECT_TRUE(ZARODEZMerchantTLV::isPropertyName(extra)) << extra;
  for (const char *other : {"MerchantName", "merchantname", "", "languagePreference", "tag100"})
    EXPECT_FALSE(ZARODEZMerchantTLV::isPropertyName(other)) << other;
}

// Templates decode into maps, every other catalogue field into a text.
TEST(MerchantRecord, EveryCatalogueKeyNamesAPropertyOfItsKind) {
  for (const catalogue::Entry &entry : catalogue::entries) {
    const auto ref = record::propertyNamed(entry.key);
    ASSERT_TRUE(ref) << entry.key;
    const bool isTemplate = entry.tag == "62" || catalogue::isTemplateTag(entry.tag);
    EXPECT_EQ(ref->kind, isTemplate ? record::Kind::map : record::Kind::text) << entry.key;
  }
}

TEST(MerchantRecord, ReadsTheAccountTemplatesByBuiltNames) {
  ZARODEZMerchantTLV record;
  record.setTag37(TextMap{{"00", "id"}});
  for (int tag = 26; tag <= 51; ++tag) {
    const Value value = record.valueForKey("tag" + std::to_string(tag));
    if (tag == 37)
      EXPECT_EQ(value, Value(TextMap{{"00", "id"}}));
    else
      EXPECT_TRUE(std::holds_alternative<std::monostate>(value)) << tag;
  }
}

TEST(MerchantRecord, OwnSetterOfTheIndicatorLeavesTheTipFlag) {
  ZARODEZMerchantTLV record;
  record.setTipAndFeeIndicator("02");
  EXPECT_EQ(record.tipAndFeeIndicator(), "02");
  EXPECT_FALSE(record.isTipAvailable());
}

TEST(MerchantRecord, KeepsEmptyApartFromAbsent) {
  ZARODEZMerchantTLV record;
  record.setMerchantName("");
  record.setTag80(TextMap{});
  EXPECT_EQ(record.valueForKey("merchantName"), Value(std::string()));
  EXPECT_EQ(record.valueForKey("tag80"), Value(TextMap{}));
  record.setMerchantName(std::nullopt);
  EXPECT_TRUE(std::holds_alternative<std::monostate>(record.valueForKey("merchantName")));
}

struct SetByNameCase {
  const char *name;
  const char *key;
  Value value;
  bool accepted;
};

void PrintTo(const SetByNameCase &c, std::ostream *os) {
  *os << c.name;
}

class SetByName : public ::testing::TestWithParam<SetByNameCase> {};

TEST_P(SetByName, StoresAValueOfTheRightKindOnly) {
  const SetByNameCase &c = GetParam();
  // Start with something in every kind so that clearing and refusals are visible.
  const Fields start{{"isTipAvailable", true},
                     {"merchantName", std::string("Old")},
                     {"tag26", TextMap{{"00", "old"}}}};
  ZArodezPayMerchantTLV record = recordWith(start);
  const ZArodezPayMerchantTLV before = record;
  EXPECT_EQ(record.setProperty(c.key, c.value), c.accepted);
  if (c.accepted) {
    EXPECT_EQ(record.valueForKey(c.key), c.value);
  } else {
    EXPECT_EQ(record, before);
  }
}

INSTANTIATE_TEST_SUITE_P(
    MerchantRecord, SetByName,
    ::testing::Values(
        SetByNameCase{"TextIntoText", "merchantName", std::string("Corner Shop"), true},
        SetByNameCase{"MapIntoMap", "tag26", TextMap{{"00", "a"}, {"01", "b"}}, true},
        SetByNameCase{"FlagIntoFlag", "isTipAvailable", false, true},
        SetByNameCase{"DerivedTextByName", "zArodezMerchantPAN", std::string("P"), true},
        SetByNameCase{"ClearText", "merchantName", std::monostate{}, true},
        SetByNameCase{"ClearMap", "tag26", std::monostate{}, true},
        SetByNameCase{"MapIntoTextRefused", "merchantName", TextMap{{"a", "b"}}, false},
        SetByNameCase{"TextIntoMapRefused", "tag26", std::string("0002id"), false},
        SetByNameCase{"FlagIntoTextRefused", "merchantName", true, false},
        SetByNameCase{"TextIntoFlagRefused", "isTipAvailable", std::string("true"), false},
        SetByNameCase{"FlagCannotBeCleared", "isTipAvailable", std::monostate{}, false},
        SetByNameCase{"NamesAreCaseSensitive", "MerchantName", std::string("x"), false},
        SetByNameCase{"TagNumberIsNoName", "59", std::string("x"), false},
        SetByNameCase{"LanguageKeyIsNoProperty", "languagePreference", std::string("ZH"), false},
        SetByNameCase{"EmptyName", "", std::string("x"), false}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace pavenda
