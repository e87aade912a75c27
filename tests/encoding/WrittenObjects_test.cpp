#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "encoding/TLVEncoder.h"
#include "support/Unicode.h"

namespace pavenda {
namespace {

struct WrittenCase {
  const char* name;
  FieldDictionary dictionary;
  std::string payloadStart; // the payload up to its CRC
};

void PrintTo(const WrittenCase& c, std::ostream* os) {
  *os << c.name;
}

class WrittenObjects : public ::testing::TestWithParam<WrittenCase> {};

// Every recorded object must frame its own value: the text between tag and value is the value's
// character count, and the objects cover the payload in order.
TEST_P(WrittenObjects, FrameTheirValuesInThePayload) {
  std::vector<encoding::WrittenObject> written;
  const std::string payload = encoding::encode(GetParam().dictionary, &written);
  ASSERT_EQ(payload.substr(0, payload.size() - 4), GetParam().payloadStart + "6304");
  std::uint32_t topLevelEnd = 0;
  for (const encoding::WrittenObject& object : written) {
    ASSERT_LE(object.valueEnd, payload.size());
    const std::string_view value =
        std::string_view(payload).substr(object.valueBegin, object.valueEnd - object.valueBegin);
    const std::string_view head =
        std::string_view(payload).substr(object.tagBegin, object.valueBegin - object.tagBegin);
    ASSERT_GE(head.size(), 4U);
    const std::size_t count = unicode::characterCount(value);
    std::string digits = std::to_string(count);
    if (digits.size() < 2)
      digits.insert(digits.begin(), '0');
    EXPECT_EQ(head.substr(2), digits) << head;
    if (object.depth == 0) {
      EXPECT_EQ(object.tagBegin, topLevelEnd);
      topLevelEnd = object.valueEnd;
    }
  }
  EXPECT_EQ(topLevelEnd, payload.size());
}

const std::string fifty(50, 'x');

INSTANTIATE_TEST_SUITE_P(
    Encoder, WrittenObjects,
    ::testing::Values(
        WrittenCase{"Plain", {{"merchantName", "Shop"}}, "5904Shop"},
        WrittenCase{"TemplateOfNinetyNine",
                    {{"62", FieldDictionary{{"01", fifty}, {"02", std::string(41, 'y')}}}},
                    "6299"
                    "0150" +
                        fifty + "0241" + std::string(41, 'y')},
        WrittenCase{"TemplateOfHundredWidensItsLength",
                    {{"payloadFormatIndicator", "01"},
                     {"62", FieldDictionary{{"01", fifty}, {"02", std::string(42, 'y')}}},
                     {"merchantName", "Shop"}},
                    "000201"
                    "62100"
                    "0150" +
                        fifty + "0242" + std::string(42, 'y') + "5904Shop"},
        WrittenCase{"TemplateOfThousandCharacters",
                    {{"26", FieldDictionary{{"00", std::string(995, 'z')}}}},
                    "261000"
                    "00995" +
                        std::string(995, 'z')},
        WrittenCase{"TemplateOfHanCharacters",
                    {{"64", FieldDictionary{{"merchantNameAlternateLanguage", "金龙茶馆"}}}},
                    "6408"
                    "0104金龙茶馆"}));

} // namespace
} // namespace pavenda
