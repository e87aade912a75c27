package org.pavenda;

import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.Set;

/**
 * An immutable field dictionary: one optional value per field key of the tag catalogue, a text for
 * plain fields and a {@link Template} for template fields. An absent field (null) and one set to
 * the empty text are different states: generation writes the empty one (and validation reports it).
 * Instances are made with {@link #builder()} and are safe to share between threads.
 */
public final class Fields {
  private final Map<String, Object> values;

  private Fields(Map<String, Object> values) {
    this.values = Collections.unmodifiableMap(new LinkedHashMap<String, Object>(values));
  }

  /** A new builder holding no field. */
  public static Builder builder() {
    return new Builder();
  }

  /** A new builder holding this dictionary's fields, to derive a changed copy. */
  public Builder toBuilder() {
    Builder builder = new Builder();
    builder.values.putAll(values);
    return builder;
  }

  /** The keys of the present fields, in the order they were first set; never null. */
  public Set<String> keys() {
    return values.keySet();
  }

  /**
   * The present fields by key, in the order they were first set: each value is a {@link String} or
   * a {@link Template}. Unmodifiable, never null.
   */
  public Map<String, Object> asMap() {
    return values;
  }

  private String text(String key) {
    Object value = values.get(key);
    return value instanceof String ? (String) value : null;
  }

  private Template template(String key) {
    Object value = values.get(key);
    return value instanceof Template ? (Template) value : null;
  }

  /** Tag 00, payload format indicator; always written first; null when absent. */
  public String payloadFormatIndicator() {
    return text("payloadFormatIndicator");
  }

  /** Tag 01, point of initiation method ("11" static, "12" dynamic); null when absent. */
  public String pointOfInitiation() {
    return text("pointOfInitiation");
  }

  /** Tag 02, merchant identifier; null when absent. */
  public String zArodezMerchantID() {
    return text("zArodezMerchantID");
  }

  /** Tag 03, alias of the merchant identifier; null when absent. */
  public String aliasID() {
    return text("aliasID");
  }

  /** Tag 04, Mastercard merchant account number, first slot; null when absent. */
  public String masterCardPAN1() {
    return text("masterCardPAN1");
  }

  /** Tag 05, Mastercard merchant account number, second slot; null when absent. */
  public String masterCardPAN2() {
    return text("masterCardPAN2");
  }

  /** Tag 06, NPCI merchant identifier, first slot; null when absent. */
  public String npciid1() {
    return text("npciid1");
  }

  /** Tag 07, NPCI merchant identifier, second slot; null when absent. */
  public String npciid2() {
    return text("npciid2");
  }

  /** Tag 08, further merchant account slot; null when absent. */
  public String tag08() {
    return text("tag08");
  }

  /** Tag 09, Discover merchant account, first slot; null when absent. */
  public String discover1() {
    return text("discover1");
  }

  /** Tag 10, Discover merchant account, second slot; null when absent. */
  public String discover2() {
    return text("discover2");
  }

  /** Tag 11, Amex merchant account, first slot; null when absent. */
  public String amex1() {
    return text("amex1");
  }

  /** Tag 12, Amex merchant account, second slot; null when absent. */
  public String amex2() {
    return text("amex2");
  }

  /** Tag 13, JCB merchant account, first slot; null when absent. */
  public String jcb1() {
    return text("jcb1");
  }

  /** Tag 14, JCB merchant account, second slot; null when absent. */
  public String jcb2() {
    return text("jcb2");
  }

  /** Tag 15, UnionPay merchant account, first slot; null when absent. */
  public String unionPay1() {
    return text("unionPay1");
  }

  /** Tag 16, UnionPay merchant account, second slot; null when absent. */
  public String unionPay2() {
    return text("unionPay2");
  }

  /** Tag 17, further merchant account slot; null when absent. */
  public String tag17() {
    return text("tag17");
  }

  /** Tag 18, further merchant account slot; null when absent. */
  public String tag18() {
    return text("tag18");
  }

  /** Tag 19, further merchant account slot; null when absent. */
  public String tag19() {
    return text("tag19");
  }

  /** Tag 20, further merchant account slot; null when absent. */
  public String tag20() {
    return text("tag20");
  }

  /** Tag 21, further merchant account slot; null when absent. */
  public String tag21() {
    return text("tag21");
  }

  /** Tag 22, further merchant account slot; null when absent. */
  public String tag22() {
    return text("tag22");
  }

  /** Tag 23, further merchant account slot; null when absent. */
  public String tag23() {
    return text("tag23");
  }

  /** Tag 24, further merchant account slot; null when absent. */
  public String tag24() {
    return text("tag24");
  }

  /** Tag 25, further merchant account slot; null when absent. */
  public String tag25() {
    return text("tag25");
  }

  /**
   * Tag 26, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag26() {
    return template("tag26");
  }

  /**
   * Tag 27, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag27() {
    return template("tag27");
  }

  /**
   * Tag 28, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag28() {
    return template("tag28");
  }

  /**
   * Tag 29, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag29() {
    return template("tag29");
  }

  /**
   * Tag 30, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag30() {
    return template("tag30");
  }

  /**
   * Tag 31, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag31() {
    return template("tag31");
  }

  /**
   * Tag 32, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag32() {
    return template("tag32");
  }

  /**
   * Tag 33, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag33() {
    return template("tag33");
  }

  /**
   * Tag 34, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag34() {
    return template("tag34");
  }

  /**
   * Tag 35, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag35() {
    return template("tag35");
  }

  /**
   * Tag 36, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag36() {
    return template("tag36");
  }

  /**
   * Tag 37, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag37() {
    return template("tag37");
  }

  /**
   * Tag 38, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag38() {
    return template("tag38");
  }

  /**
   * Tag 39, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag39() {
    return template("tag39");
  }

  /**
   * Tag 40, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag40() {
    return template("tag40");
  }

  /**
   * Tag 41, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag41() {
    return template("tag41");
  }

  /**
   * Tag 42, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag42() {
    return template("tag42");
  }

  /**
   * Tag 43, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag43() {
    return template("tag43");
  }

  /**
   * Tag 44, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag44() {
    return template("tag44");
  }

  /**
   * Tag 45, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag45() {
    return template("tag45");
  }

  /**
   * Tag 46, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag46() {
    return template("tag46");
  }

  /**
   * Tag 47, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag47() {
    return template("tag47");
  }

  /**
   * Tag 48, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag48() {
    return template("tag48");
  }

  /**
   * Tag 49, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag49() {
    return template("tag49");
  }

  /**
   * Tag 50, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag50() {
    return template("tag50");
  }

  /**
   * Tag 51, merchant account information template; sub-keys are sub-tags such as "00" (the globally
   * unique identifier) and "01"; null when absent.
   */
  public Template tag51() {
    return template("tag51");
  }

  /** Tag 52, merchant category code; null when absent. */
  public String merchantCategoryCode() {
    return text("merchantCategoryCode");
  }

  /** Tag 53, transaction currency, numeric code such as "356"; null when absent. */
  public String currencyCode() {
    return text("currencyCode");
  }

  /** Tag 54, transaction amount, such as "450.00"; null when absent. */
  public String transactionAmount() {
    return text("transactionAmount");
  }

  /** Tag 55, tip or convenience fee indicator; null when absent. */
  public String tipAndFeeIndicator() {
    return text("tipAndFeeIndicator");
  }

  /** Tag 56, convenience fee, fixed amount; null when absent. */
  public String convenienceFeeAmount() {
    return text("convenienceFeeAmount");
  }

  /** Tag 57, convenience fee, percentage; null when absent. */
  public String convenienceFeePercentage() {
    return text("convenienceFeePercentage");
  }

  /** Tag 58, country code of the merchant, such as "IN"; null when absent. */
  public String countryCode() {
    return text("countryCode");
  }

  /** Tag 59, merchant name; null when absent. */
  public String merchantName() {
    return text("merchantName");
  }

  /** Tag 60, merchant city; null when absent. */
  public String cityName() {
    return text("cityName");
  }

  /** Tag 61, postal code; null when absent. */
  public String postalCode() {
    return text("postalCode");
  }

  /**
   * Tag 62, additional data template; sub-keys such as "billID", "mobileNumber", "storeID",
   * "terminalID", "purpose"; null when absent.
   */
  public Template additionalDataFieldTemplate() {
    return template("additionalDataFieldTemplate");
  }

  /**
   * Tag 63, CRC of the payload; filled by decoding, ignored by generation (which always computes
   * it); null when absent.
   */
  public String crc() {
    return text("crc");
  }

  /**
   * Tag 64, merchant information in an alternate language; sub-keys "languagePreference",
   * "merchantNameAlternateLanguage", "merchantCityAlternateLanguage"; null when absent.
   */
  public Template merchantInformationLanguageTemplate() {
    return template("merchantInformationLanguageTemplate");
  }

  /** Tag 65, a text field with no further meaning in the library; null when absent. */
  public String tag65() {
    return text("tag65");
  }

  /** Tag 66, a text field with no further meaning in the library; null when absent. */
  public String tag66() {
    return text("tag66");
  }

  /** Tag 67, a text field with no further meaning in the library; null when absent. */
  public String tag67() {
    return text("tag67");
  }

  /** Tag 68, a text field with no further meaning in the library; null when absent. */
  public String tag68() {
    return text("tag68");
  }

  /** Tag 69, a text field with no further meaning in the library; null when absent. */
  public String tag69() {
    return text("tag69");
  }

  /** Tag 70, a text field with no further meaning in the library; null when absent. */
  public String tag70() {
    return text("tag70");
  }

  /** Tag 71, a text field with no further meaning in the library; null when absent. */
  public String tag71() {
    return text("tag71");
  }

  /** Tag 72, a text field with no further meaning in the library; null when absent. */
  public String tag72() {
    return text("tag72");
  }

  /** Tag 73, a text field with no further meaning in the library; null when absent. */
  public String tag73() {
    return text("tag73");
  }

  /** Tag 74, a text field with no further meaning in the library; null when absent. */
  public String tag74() {
    return text("tag74");
  }

  /** Tag 75, a text field with no further meaning in the library; null when absent. */
  public String tag75() {
    return text("tag75");
  }

  /** Tag 76, a text field with no further meaning in the library; null when absent. */
  public String tag76() {
    return text("tag76");
  }

  /** Tag 77, a text field with no further meaning in the library; null when absent. */
  public String tag77() {
    return text("tag77");
  }

  /** Tag 78, a text field with no further meaning in the library; null when absent. */
  public String tag78() {
    return text("tag78");
  }

  /** Tag 79, a text field with no further meaning in the library; null when absent. */
  public String tag79() {
    return text("tag79");
  }

  /**
   * Tag 80, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag80() {
    return template("tag80");
  }

  /**
   * Tag 81, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag81() {
    return template("tag81");
  }

  /**
   * Tag 82, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag82() {
    return template("tag82");
  }

  /**
   * Tag 83, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag83() {
    return template("tag83");
  }

  /**
   * Tag 84, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag84() {
    return template("tag84");
  }

  /**
   * Tag 85, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag85() {
    return template("tag85");
  }

  /**
   * Tag 86, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag86() {
    return template("tag86");
  }

  /**
   * Tag 87, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag87() {
    return template("tag87");
  }

  /**
   * Tag 88, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag88() {
    return template("tag88");
  }

  /**
   * Tag 89, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag89() {
    return template("tag89");
  }

  /**
   * Tag 90, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag90() {
    return template("tag90");
  }

  /**
   * Tag 91, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag91() {
    return template("tag91");
  }

  /**
   * Tag 92, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag92() {
    return template("tag92");
  }

  /**
   * Tag 93, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag93() {
    return template("tag93");
  }

  /**
   * Tag 94, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag94() {
    return template("tag94");
  }

  /**
   * Tag 95, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag95() {
    return template("tag95");
  }

  /**
   * Tag 96, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag96() {
    return template("tag96");
  }

  /**
   * Tag 97, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag97() {
    return template("tag97");
  }

  /**
   * Tag 98, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag98() {
    return template("tag98");
  }

  /**
   * Tag 99, a template with no further meaning in the library; sub-keys are sub-tags such as "00";
   * null when absent.
   */
  public Template tag99() {
    return template("tag99");
  }

  /** Equal when both hold the same fields with equal values (the order of keys is ignored). */
  @Override
  public boolean equals(Object other) {
    return other instanceof Fields && values.equals(((Fields) other).values);
  }

  /** A hash consistent with {@link #equals(Object)}. */
  @Override
  public int hashCode() {
    return values.hashCode();
  }

  /** The present fields, for diagnostics. */
  @Override
  public String toString() {
    return "Fields" + values;
  }

  /** Collects fields for a {@link Fields}; not thread-safe, build one per thread. */
  public static final class Builder {
    private final Map<String, Object> values = new LinkedHashMap<String, Object>();

    private Builder() {}

    Builder put(String key, Object value) {
      if (value == null) {
        values.remove(key);
      } else {
        values.put(key, value);
      }
      return this;
    }

    /** Sets tag 00, payload format indicator; always written first; null makes it absent. */
    public Builder payloadFormatIndicator(String value) {
      return put("payloadFormatIndicator", value);
    }

    /**
     * Sets tag 01, point of initiation method ("11" static, "12" dynamic); null makes it absent.
     */
    public Builder pointOfInitiation(String value) {
      return put("pointOfInitiation", value);
    }

    /** Sets tag 02, merchant identifier; null makes it absent. */
    public Builder zArodezMerchantID(String value) {
      return put("zArodezMerchantID", value);
    }

    /** Sets tag 03, alias of the merchant identifier; null makes it absent. */
    public Builder aliasID(String value) {
      return put("aliasID", value);
    }

    /** Sets tag 04, Mastercard merchant account number, first slot; null makes it absent. */
    public Builder masterCardPAN1(String value) {
      return put("masterCardPAN1", value);
    }

    /** Sets tag 05, Mastercard merchant account number, second slot; null makes it absent. */
    public Builder masterCardPAN2(String value) {
      return put("masterCardPAN2", value);
    }

    /** Sets tag 06, NPCI merchant identifier, first slot; null makes it absent. */
    public Builder npciid1(String value) {
      return put("npciid1", value);
    }

    /** Sets tag 07, NPCI merchant identifier, second slot; null makes it absent. */
    public Builder npciid2(String value) {
      return put("npciid2", value);
    }

    /** Sets tag 08, further merchant account slot; null makes it absent. */
    public Builder tag08(String value) {
      return put("tag08", value);
    }

    /** Sets tag 09, Discover merchant account, first slot; null makes it absent. */
    public Builder discover1(String value) {
      return put("discover1", value);
    }

    /** Sets tag 10, Discover merchant account, second slot; null makes it absent. */
    public Builder discover2(String value) {
      return put("discover2", value);
    }

    /** Sets tag 11, Amex merchant account, first slot; null makes it absent. */
    public Builder amex1(String value) {
      return put("amex1", value);
    }

    /** Sets tag 12, Amex merchant account, second slot; null makes it absent. */
    public Builder amex2(String value) {
      return put("amex2", value);
    }

    /** Sets tag 13, JCB merchant account, first slot; null makes it absent. */
    public Builder jcb1(String value) {
      return put("jcb1", value);
    }

    /** Sets tag 14, JCB merchant account, second slot; null makes it absent. */
    public Builder jcb2(String value) {
      return put("jcb2", value);
    }

    /** Sets tag 15, UnionPay merchant account, first slot; null makes it absent. */
    public Builder unionPay1(String value) {
      return put("unionPay1", value);
    }

    /** Sets tag 16, UnionPay merchant account, second slot; null makes it absent. */
    public Builder unionPay2(String value) {
      return put("unionPay2", value);
    }

    /** Sets tag 17, further merchant account slot; null makes it absent. */
    public Builder tag17(String value) {
      return put("tag17", value);
    }

    /** Sets tag 18, further merchant account slot; null makes it absent. */
    public Builder tag18(String value) {
      return put("tag18", value);
    }

    /** Sets tag 19, further merchant account slot; null makes it absent. */
    public Builder tag19(String value) {
      return put("tag19", value);
    }

    /** Sets tag 20, further merchant account slot; null makes it absent. */
    public Builder tag20(String value) {
      return put("tag20", value);
    }

    /** Sets tag 21, further merchant account slot; null makes it absent. */
    public Builder tag21(String value) {
      return put("tag21", value);
    }

    /** Sets tag 22, further merchant account slot; null makes it absent. */
    public Builder tag22(String value) {
      return put("tag22", value);
    }

    /** Sets tag 23, further merchant account slot; null makes it absent. */
    public Builder tag23(String value) {
      return put("tag23", value);
    }

    /** Sets tag 24, further merchant account slot; null makes it absent. */
    public Builder tag24(String value) {
      return put("tag24", value);
    }

    /** Sets tag 25, further merchant account slot; null makes it absent. */
    public Builder tag25(String value) {
      return put("tag25", value);
    }

    /**
     * Sets tag 26, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag26(Template value) {
      return put("tag26", value);
    }

    /**
     * Sets tag 27, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag27(Template value) {
      return put("tag27", value);
    }

    /**
     * Sets tag 28, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag28(Template value) {
      return put("tag28", value);
    }

    /**
     * Sets tag 29, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag29(Template value) {
      return put("tag29", value);
    }

    /**
     * Sets tag 30, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag30(Template value) {
      return put("tag30", value);
    }

    /**
     * Sets tag 31, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag31(Template value) {
      return put("tag31", value);
    }

    /**
     * Sets tag 32, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag32(Template value) {
      return put("tag32", value);
    }

    /**
     * Sets tag 33, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag33(Template value) {
      return put("tag33", value);
    }

    /**
     * Sets tag 34, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag34(Template value) {
      return put("tag34", value);
    }

    /**
     * Sets tag 35, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag35(Template value) {
      return put("tag35", value);
    }

    /**
     * Sets tag 36, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag36(Template value) {
      return put("tag36", value);
    }

    /**
     * Sets tag 37, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag37(Template value) {
      return put("tag37", value);
    }

    /**
     * Sets tag 38, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag38(Template value) {
      return put("tag38", value);
    }

    /**
     * Sets tag 39, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag39(Template value) {
      return put("tag39", value);
    }

    /**
     * Sets tag 40, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag40(Template value) {
      return put("tag40", value);
    }

    /**
     * Sets tag 41, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag41(Template value) {
      return put("tag41", value);
    }

    /**
     * Sets tag 42, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag42(Template value) {
      return put("tag42", value);
    }

    /**
     * Sets tag 43, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag43(Template value) {
      return put("tag43", value);
    }

    /**
     * Sets tag 44, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag44(Template value) {
      return put("tag44", value);
    }

    /**
     * Sets tag 45, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag45(Template value) {
      return put("tag45", value);
    }

    /**
     * Sets tag 46, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag46(Template value) {
      return put("tag46", value);
    }

    /**
     * Sets tag 47, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag47(Template value) {
      return put("tag47", value);
    }

    /**
     * Sets tag 48, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag48(Template value) {
      return put("tag48", value);
    }

    /**
     * Sets tag 49, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag49(Template value) {
      return put("tag49", value);
    }

    /**
     * Sets tag 50, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag50(Template value) {
      return put("tag50", value);
    }

    /**
     * Sets tag 51, merchant account information template; sub-keys are sub-tags such as "00" (the
     * globally unique identifier) and "01"; null makes it absent.
     */
    public Builder tag51(Template value) {
      return put("tag51", value);
    }

    /** Sets tag 52, merchant category code; null makes it absent. */
    public Builder merchantCategoryCode(String value) {
      return put("merchantCategoryCode", value);
    }

    /** Sets tag 53, transaction currency, numeric code such as "356"; null makes it absent. */
    public Builder currencyCode(String value) {
      return put("currencyCode", value);
    }

    /** Sets tag 54, transaction amount, such as "450.00"; null makes it absent. */
    public Builder transactionAmount(String value) {
      return put("transactionAmount", value);
    }

    /** Sets tag 55, tip or convenience fee indicator; null makes it absent. */
    public Builder tipAndFeeIndicator(String value) {
      return put("tipAndFeeIndicator", value);
    }

    /** Sets tag 56, convenience fee, fixed amount; null makes it absent. */
    public Builder convenienceFeeAmount(String value) {
      return put("convenienceFeeAmount", value);
    }

    /** Sets tag 57, convenience fee, percentage; null makes it absent. */
    public Builder convenienceFeePercentage(String value) {
      return put("convenienceFeePercentage", value);
    }

    /** Sets tag 58, country code of the merchant, such as "IN"; null makes it absent. */
    public Builder countryCode(String value) {
      return put("countryCode", value);
    }

    /** Sets tag 59, merchant name; null makes it absent. */
    public Builder merchantName(String value) {
      return put("merchantName", value);
    }

    /** Sets tag 60, merchant city; null makes it absent. */
    public Builder cityName(String value) {
      return put("cityName", value);
    }

    /** Sets tag 61, postal code; null makes it absent. */
    public Builder postalCode(String value) {
      return put("postalCode", value);
    }

    /**
     * Sets tag 62, additional data template; sub-keys such as "billID", "mobileNumber", "storeID",
     * "terminalID", "purpose"; null makes it absent.
     */
    public Builder additionalDataFieldTemplate(Template value) {
      return put("additionalDataFieldTemplate", value);
    }

    /**
     * Sets tag 63, CRC of the payload; filled by decoding, ignored by generation (which always
     * computes it); null makes it absent.
     */
    public Builder crc(String value) {
      return put("crc", value);
    }

    /**
     * Sets tag 64, merchant information in an alternate language; sub-keys "languagePreference",
     * "merchantNameAlternateLanguage", "merchantCityAlternateLanguage"; null makes it absent.
     */
    public Builder merchantInformationLanguageTemplate(Template value) {
      return put("merchantInformationLanguageTemplate", value);
    }

    /** Sets tag 65, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag65(String value) {
      return put("tag65", value);
    }

    /** Sets tag 66, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag66(String value) {
      return put("tag66", value);
    }

    /** Sets tag 67, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag67(String value) {
      return put("tag67", value);
    }

    /** Sets tag 68, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag68(String value) {
      return put("tag68", value);
    }

    /** Sets tag 69, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag69(String value) {
      return put("tag69", value);
    }

    /** Sets tag 70, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag70(String value) {
      return put("tag70", value);
    }

    /** Sets tag 71, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag71(String value) {
      return put("tag71", value);
    }

    /** Sets tag 72, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag72(String value) {
      return put("tag72", value);
    }

    /** Sets tag 73, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag73(String value) {
      return put("tag73", value);
    }

    /** Sets tag 74, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag74(String value) {
      return put("tag74", value);
    }

    /** Sets tag 75, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag75(String value) {
      return put("tag75", value);
    }

    /** Sets tag 76, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag76(String value) {
      return put("tag76", value);
    }

    /** Sets tag 77, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag77(String value) {
      return put("tag77", value);
    }

    /** Sets tag 78, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag78(String value) {
      return put("tag78", value);
    }

    /** Sets tag 79, a text field with no further meaning in the library; null makes it absent. */
    public Builder tag79(String value) {
      return put("tag79", value);
    }

    /**
     * Sets tag 80, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag80(Template value) {
      return put("tag80", value);
    }

    /**
     * Sets tag 81, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag81(Template value) {
      return put("tag81", value);
    }

    /**
     * Sets tag 82, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag82(Template value) {
      return put("tag82", value);
    }

    /**
     * Sets tag 83, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag83(Template value) {
      return put("tag83", value);
    }

    /**
     * Sets tag 84, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag84(Template value) {
      return put("tag84", value);
    }

    /**
     * Sets tag 85, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag85(Template value) {
      return put("tag85", value);
    }

    /**
     * Sets tag 86, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag86(Template value) {
      return put("tag86", value);
    }

    /**
     * Sets tag 87, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag87(Template value) {
      return put("tag87", value);
    }

    /**
     * Sets tag 88, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag88(Template value) {
      return put("tag88", value);
    }

    /**
     * Sets tag 89, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag89(Template value) {
      return put("tag89", value);
    }

    /**
     * Sets tag 90, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag90(Template value) {
      return put("tag90", value);
    }

    /**
     * Sets tag 91, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag91(Template value) {
      return put("tag91", value);
    }

    /**
     * Sets tag 92, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag92(Template value) {
      return put("tag92", value);
    }

    /**
     * Sets tag 93, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag93(Template value) {
      return put("tag93", value);
    }

    /**
     * Sets tag 94, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag94(Template value) {
      return put("tag94", value);
    }

    /**
     * Sets tag 95, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag95(Template value) {
      return put("tag95", value);
    }

    /**
     * Sets tag 96, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag96(Template value) {
      return put("tag96", value);
    }

    /**
     * Sets tag 97, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag97(Template value) {
      return put("tag97", value);
    }

    /**
     * Sets tag 98, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag98(Template value) {
      return put("tag98", value);
    }

    /**
     * Sets tag 99, a template with no further meaning in the library; sub-keys are sub-tags such as
     * "00"; null makes it absent.
     */
    public Builder tag99(Template value) {
      return put("tag99", value);
    }

    /** The dictionary of the fields set so far; the builder stays usable. */
    public Fields build() {
      return new Fields(values);
    }
  }
}
