package org.pavenda;

import static org.junit.Assert.assertEquals;
import static org.junit.Assert.assertNull;
import static org.junit.Assert.assertTrue;
import static org.junit.Assert.fail;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Paths;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.concurrent.Callable;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import org.junit.Test;

public class PavendaTest {
  private static final String MALFORMED = "Tags except 00, 63 NOT in sequence/Malformed/Unrecognized tags";
  private static final String WRONG_CRC =
      "Check if the CRC of all the tags till 62 matches the value in  tag 63";

  // The first line of a known-good or known-bad payload file of the fuzz corpus.
  static String corpus(String name) throws IOException {
    String root = System.getProperty("pavenda.source.dir");
    byte[] bytes = Files.readAllBytes(Paths.get(root, "fuzz", "corpus", "decode", name));
    return new String(bytes, StandardCharsets.UTF_8).split("\r?\n", -1)[0];
  }

  // The fields of fuzz/corpus/decode/minimal.txt, in the payload's order.
  static Fields.Builder minimalFields() {
    return Fields.builder()
        .payloadFormatIndicator("01")
        .pointOfInitiation("11")
        .zArodezMerchantID("4111111111111111")
        .merchantCategoryCode("5499")
        .currencyCode("356")
        .countryCode("IN")
        .merchantName("Lakshmi Stores")
        .cityName("Chennai");
  }

  // The fields of fuzz/corpus/decode/cjk.txt: templates with sub-tags, additional data and CJK text.
  static Fields cjkFields() {
    return Fields.builder()
        .payloadFormatIndicator("01")
        .pointOfInitiation("12")
        .zArodezMerchantID("4000000000000002")
        .tag26(Template.builder().put("00", "com.example.acquirer").put("01", "MID-0042").build())
        .merchantCategoryCode("5812")
        .currencyCode("356")
        .transactionAmount("450.00")
        .tipAndFeeIndicator("02")
        .convenienceFeeAmount("10.00")
        .countryCode("IN")
        .merchantName("Saffron Kitchen")
        .cityName("Bengaluru")
        .postalCode("560001")
        .additionalDataFieldTemplate(
            Template.builder().put("billID", "INV-20261206-17").put("terminalID", "T-07").build())
        .tag27(Template.builder().put("00", "cn.example.unionpay").put("01", "62284800123").build())
        .merchantInformationLanguageTemplate(Template.builder()
                .put("languagePreference", "ZH")
                .put("merchantNameAlternateLanguage", "金龙茶馆藏红花厨房")
                .put("merchantCityAlternateLanguage", "上海浦东新区")
                .build())
        .build();
  }

  @Test
  public void generatesTheKnownGoodPayloads() throws Exception {
    assertEquals(corpus("minimal.txt"), Pavenda.generate(minimalFields().build()));
    assertEquals(corpus("cjk.txt"), Pavenda.generate(cjkFields()));
  }

  @Test
  public void generationFailureCarriesEveryFindingWithItsMessage() {
    Object[][] cases = {
        // No name at all; a name of no characters is refused (below).
        {minimalFields().merchantName(null), new Finding[] {new Finding("7", "Merchant name must be present")}},
        {Fields.builder(), new Finding[] {new Finding("0", MALFORMED)}},
        // In the order the checks run: currency before city.
        {minimalFields().cityName(null).currencyCode(null),
            new Finding[] {new Finding("15", "Currency Code must always be present"),
                new Finding("11", "City Name must always be present")}},
    };
    for (Object[] c : cases) {
      Fields fields = ((Fields.Builder) c[0]).build();
      try {
        Pavenda.generate(fields);
        fail("no findings for " + fields);
      } catch (PavendaException e) {
        assertEquals(fields.toString(), PavendaException.Kind.FINDINGS, e.kind());
        assertEquals(fields.toString(), Arrays.asList((Finding[]) c[1]), e.findings());
      }
    }
  }

  @Test
  public void refusesAnEmptyValueNamingTheField() {
    try {
      Pavenda.generate(minimalFields().merchantName("").build());
      fail("an empty value was written");
    } catch (PavendaException e) {
      assertEquals(PavendaException.Kind.INVALID_FIELDS, e.kind());
      assertTrue(e.getMessage(), e.getMessage().startsWith("merchantName: empty"));
    }
  }

  @Test
  public void validatesEitherSchemeWithCodesInOrder() throws Exception {
    Object[][] cases = {
        {corpus("minimal.txt"), new Finding[0]},
        {corpus("single-character-scheme.txt"), new Finding[0]},
        {corpus("wrong-crc.txt"), new Finding[] {new Finding("48", WRONG_CRC)}},
        {"", new Finding[] {new Finding("0", MALFORMED)}},
    };
    for (Object[] c : cases) {
      assertEquals((String) c[0], Arrays.asList((Finding[]) c[1]), Pavenda.validate((String) c[0]));
    }
  }

  @Test
  public void decodesFieldsTemplatesAndScheme() throws Exception {
    DecodedPayload decoded = Pavenda.decode(corpus("cjk.txt"));
    assertEquals(DecodedPayload.Scheme.TLV01, decoded.scheme());
    Fields fields = decoded.fields();
    assertEquals("Saffron Kitchen", fields.merchantName());
    assertEquals("DF0A", fields.crc());
    assertEquals("MID-0042", fields.tag26().get("01"));
    assertEquals("T-07", fields.additionalDataFieldTemplate().get("terminalID"));
    assertEquals("上海浦东新区", fields.merchantInformationLanguageTemplate().get("merchantCityAlternateLanguage"));
    assertNull(fields.aliasID());
    assertEquals("INV-20261206-17", decoded.properties().get("billID"));
    // Apart from the CRC the decoder gives back exactly the fields the payload was made from.
    assertEquals(cjkFields(), fields.toBuilder().crc(null).build());

    DecodedPayload single = Pavenda.decode(corpus("single-character-scheme.txt"));
    assertEquals(DecodedPayload.Scheme.TLV00, single.scheme());
    assertEquals("Saffron Kitchen", single.fields().merchantName());
    assertNull(single.fields().payloadFormatIndicator());
  }

  @Test
  public void undecodablePayloadsGiveTheReason() {
    String[][] cases = {{"5", "invalidLength"}, {"", "invalidLength"}, {"000201000201", "repeatedTag"}};
    for (String[] c : cases) {
      try {
        Pavenda.decode(c[0]);
        fail("decoded " + c[0]);
      } catch (PavendaException e) {
        assertEquals(c[0], PavendaException.Kind.UNDECODABLE, e.kind());
        assertEquals(c[0], c[1], e.getMessage());
        assertTrue(e.findings().isEmpty());
      }
    }
  }

  @Test
  public void supplementaryCharactersAndNulPassUnchanged() throws Exception {
    // U+20BB7 and U+29E3D lie outside the Basic Multilingual Plane (surrogate pairs in Java).
    String name = "\uD842\uDFB7野家\uD867\uDE3D";
    Fields fields = minimalFields()
        .merchantInformationLanguageTemplate(Template.builder()
                .put("languagePreference", "ZH")
                .put("merchantNameAlternateLanguage", name)
                .build())
        .build();
    String payload = Pavenda.generate(fields);
    // Four characters, so the length field is "04" whatever the byte or UTF-16 unit count.
    assertTrue(payload, payload.contains("0104" + name));
    assertEquals(name,
        Pavenda.decode(payload).fields().merchantInformationLanguageTemplate().get(
            "merchantNameAlternateLanguage"));
    assertEquals(new ArrayList<Finding>(), Pavenda.validate(payload));

    // A NUL inside a value stays one character, not a terminator.
    assertEquals("A\u0000B", Pavenda.decode("0002015903A\u0000B63041234").fields().merchantName());
  }

  @Test
  public void fieldsTheEncoderCannotWriteAreRefusedByKeyPath() {
    // Refused by the library's own check of its field dictionary, as the JSON boundary refuses them.
    Object[][] cases = {
        {minimalFields().additionalDataFieldTemplate(Template.builder().put("bilID", "x").build()),
            "additionalDataFieldTemplate.bilID: "},
        {minimalFields().tag26(Template.builder().put("001", "x").build()), "tag26.001: "},
    };
    for (Object[] c : cases) {
      Fields fields = ((Fields.Builder) c[0]).build();
      try {
        Pavenda.generate(fields);
        fail("written: " + fields);
      } catch (PavendaException e) {
        assertEquals(fields.toString(), PavendaException.Kind.INVALID_FIELDS, e.kind());
        assertTrue(e.getMessage(), e.getMessage().startsWith((String) c[1]));
        assertTrue(e.findings().isEmpty());
      }
    }
  }

  @Test
  public void generationKeepsEveryByteOfAValueWithNul() throws Exception {
    String payload = Pavenda.generate(minimalFields().merchantName("Sh\u0000p").build());
    assertTrue(payload, payload.contains("5904Sh\u0000p6007Chennai6304"));
    assertEquals(new ArrayList<Finding>(), Pavenda.validate(payload));
    assertEquals(payload,
        Pavenda.generateExplained(minimalFields().merchantName("Sh\u0000p").build(),
                   ErrorCorrection.M)
            .payload());
  }

  @Test
  public void generationGivesTheAdvisoriesOfWhatItWrote() throws Exception {
    ExplainedPayload plain = Pavenda.generateExplained(minimalFields().build(), ErrorCorrection.L);
    assertEquals(corpus("minimal.txt"), plain.payload());
    assertTrue(plain.advisories().isEmpty());

    // JPY has no minor unit; a zero-width space hides in the name.
    ExplainedPayload advised = Pavenda.generateExplained(minimalFields()
                                                             .currencyCode("392")
                                                             .countryCode("JP")
                                                             .transactionAmount("10.50")
                                                             .merchantName("Lakshmi\u200BStores")
                                                             .build(),
        ErrorCorrection.H);
    assertEquals(new ArrayList<Finding>(), Pavenda.validate(advised.payload()));
    List<String> kinds = new ArrayList<String>();
    List<String> fields = new ArrayList<String>();
    for (Advisory advisory : advised.advisories()) {
      kinds.add(advisory.kind());
      fields.add(advisory.field());
    }
    assertEquals(Arrays.asList("framing", "currency-decimals", "invisible-characters"), kinds);
    assertEquals(Arrays.asList("merchantName", "transactionAmount", "merchantName"), fields);
    assertEquals("54", advised.advisories().get(1).tag());
    assertTrue(advised.advisories().get(2).detail().contains("U+200B"));
  }

  @Test
  public void refusesUnpairedSurrogatesNamingTheField() throws Exception {
    try {
      Pavenda.generate(minimalFields().cityName("Chennai\uD800").build());
      fail("an unpaired surrogate was sent");
    } catch (IllegalArgumentException e) {
      assertTrue(e.getMessage(), e.getMessage().startsWith("cityName "));
    }
    try {
      Pavenda.validate("\uDC00");
      fail("an unpaired surrogate was sent");
    } catch (IllegalArgumentException e) {
      assertTrue(e.getMessage(), e.getMessage().startsWith("payload "));
    }
  }

  @Test
  public void cataloguesComeFromTheLibrary() {
    assertEquals(117, Pavenda.fieldTags().size());
    assertEquals("6401", Pavenda.fieldTags().get("merchantNameAlternateLanguage"));
    assertEquals("59", Pavenda.fieldTags().get("merchantName"));
    assertEquals("6201", Pavenda.fieldTags().get("billID"));
    List<Finding> errors = Pavenda.errorCatalogue();
    assertEquals(52, errors.size());
    assertEquals(new Finding("0", MALFORMED), errors.get(0));
    assertTrue(errors.contains(new Finding("48", WRONG_CRC)));
  }

  @Test
  public void everyTopLevelCatalogueKeyHasAnAccessorAndASetter() throws Exception {
    for (java.util.Map.Entry<String, String> entry : Pavenda.fieldTags().entrySet()) {
      if (entry.getValue().length() != 2) {
        continue;
      }
      String key = entry.getKey();
      Class<?> type = Fields.class.getMethod(key).getReturnType();
      Fields.Builder.class.getMethod(key, type);
      int tag = Integer.parseInt(entry.getValue());
      boolean template = (tag >= 26 && tag <= 51) || tag == 62 || tag == 64 || tag >= 80;
      assertEquals(key, template ? Template.class : String.class, type);
    }
  }

  @Test
  public void callsFromSeveralThreadsAtOnceGiveTheSameAnswers() throws Exception {
    final String minimal = corpus("minimal.txt");
    final String cjk = corpus("cjk.txt");
    final String wrongCrc = corpus("wrong-crc.txt");
    final Fields fields = cjkFields();
    ExecutorService pool = Executors.newFixedThreadPool(8);
    try {
      List<Future<Void>> results = new ArrayList<Future<Void>>();
      for (int t = 0; t < 8; ++t) {
        results.add(pool.submit(new Callable<Void>() {
          @Override
          public Void call() throws Exception {
            for (int i = 0; i < 300; ++i) {
              assertEquals(cjk, Pavenda.generate(fields));
              assertEquals("48", Pavenda.validate(wrongCrc).get(0).code());
              assertTrue(Pavenda.validate(minimal).isEmpty());
              assertEquals("Lakshmi Stores", Pavenda.decode(minimal).fields().merchantName());
            }
            return null;
          }
        }));
      }
      for (Future<Void> result : results) {
        result.get();
      }
    } finally {
      pool.shutdownNow();
    }
  }
}
