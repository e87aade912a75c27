#include <gtest/gtest.h>

#include <set>

#include <pavenda/MerchantTLV.h>
#include <pavenda/QRCodeTag.h>

#include "encoding/TagCatalogue.h"
#include "encoding/ZArodezQRUtility.h"

namespace pavenda {
namespace {

std::string twoDigits(int n) {
  return {static_cast<char>('0' + n / 10), static_cast<char>('0' + n % 10)};
}

TEST(TagCatalogue, HasEveryTwoDigitTagAndTheFourteenSubFields) {
  const auto& map = catalogue::tagKeyMap();
  ASSERT_EQ(map.size(), 114U);
  std::set<std::string> keys;
  for (const auto& [tag, key] : map)
    keys.insert(key);
  EXPECT_EQ(keys.size(), 114U);
  for (int n = 0; n < 100; ++n) {
    const std::string tag = twoDigits(n);
    EXPECT_TRUE(map.contains(tag)) << tag;
  }
  for (int n = 1; n <= 14; ++n) {
    const std::string tag = "62" + twoDigits(n);
    EXPECT_TRUE(map.contains(tag)) << tag;
  }
}

TEST(TagCatalogue, FastLookupsAgreeWithTheMap) {
  for (const auto& [tag, key] : catalogue::tagKeyMap()) {
    EXPECT_EQ(catalogue::keyForTag(tag), key) << tag;
    EXPECT_EQ(catalogue::tagForKey(key), tag) << key;
    EXPECT_TRUE(ZARODEZMerchantTLV::isPropertyName(key)) << key;
  }
  for (const char* notATag : {"6215", "6200", "6", "100", "AB", "", "620", "+1"})
    EXPECT_FALSE(catalogue::keyForTag(notATag)) << notATag;
}

TEST(TagCatalogue, KeyLookupRefusesNearMisses) {
  // Most differ from a catalogue key only where the lookup's hash does not look, so they land on
  // that key's slot and only the full comparison tells them apart; lengths cover every word size.
  for (const char* nearMiss : {"cRc", "amEx1", "taX17", "puRpose", "merchXntName", "mastXrCardPAN1",
                               "payloXdFormatIndicator", "merchantInformationLanguageTempXate",
                               "merchantInformationLanguaGeTemplate", "MerchantName", "merchant"})
    EXPECT_FALSE(catalogue::tagForKey(nearMiss)) << nearMiss;
}

struct Lookup {
  std::string_view tag;
  std::string_view key;
};

class KnownEntries : public ::testing::TestWithParam<Lookup> {};

TEST_P(KnownEntries, MapBothWays) {
  EXPECT_EQ(catalogue::tagKeyMap().at(std::string(GetParam().tag)), GetParam().key);
  EXPECT_EQ(ZArodezQRUtility::keyTagMapping().at(std::string(GetParam().key)), GetParam().tag);
}

INSTANTIATE_TEST_SUITE_P(TagCatalogue, KnownEntries,
                         ::testing::Values(Lookup{"63", "crc"}, Lookup{"6201", "billID"},
                                           Lookup{"01", "pointOfInitiation"}, Lookup{"08", "tag08"},
                                           Lookup{"6210", "tagSixtyTwo10"},
                                           Lookup{"64", "merchantInformationLanguageTemplate"},
                                           Lookup{"99", "tag99"}),
                         [](const auto& info) { return std::string(info.param.key); });

TEST(TagCatalogue, KeyTagMappingIsTheExactInverse) {
  const auto mapping = ZArodezQRUtility::keyTagMapping();
  ASSERT_EQ(mapping.size(), 114U);
  for (const auto& [tag, key] : catalogue::tagKeyMap())
    EXPECT_EQ(mapping.at(key), tag);
  EXPECT_FALSE(mapping.contains("languagePreference"));
  EXPECT_FALSE(mapping.contains("MerchantName")) << "keys are case-sensitive";
}

TEST(TagCatalogue, LanguageSubTags) {
  const auto& map = catalogue::merchantInformationLanguageTemplateSubTagDictionary();
  ASSERT_EQ(map.size(), 3U);
  for (const auto& [subtag, key] : map) {
    EXPECT_EQ(catalogue::languageKeyForSubtag(subtag), key);
    EXPECT_EQ(catalogue::languageSubtagForKey(key), subtag);
  }
  EXPECT_FALSE(catalogue::languageKeyForSubtag("03"));
}

TEST(TagCatalogue, TemplateTagsAreTheDecodersList) {
  int count = 0;
  for (int n = 0; n < 100; ++n) {
    const std::string tag = twoDigits(n);
    count += catalogue::isTemplateTag(tag) ? 1 : 0;
  }
  EXPECT_EQ(count, 47);
  EXPECT_FALSE(catalogue::isTemplateTag("62"));
  EXPECT_TRUE(catalogue::isTemplateTag("26"));
  EXPECT_TRUE(catalogue::isTemplateTag("51"));
  EXPECT_FALSE(catalogue::isTemplateTag("52"));
  EXPECT_TRUE(catalogue::isTemplateTag("80"));
}

} // namespace
} // namespace pavenda
