package org.pavenda;

import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.Map;

/** The fields of a payload that decoded, without validation. Immutable. */
public final class DecodedPayload {
  /** The tag scheme a payload was read in. */
  public enum Scheme {
    /** Two-digit tags and lengths; the payload starts with "00". */
    TLV01,
    /** One-character tags and lengths. */
    TLV00
  }

  private final Scheme scheme;
  private final boolean tipAvailable;
  private final Fields fields;
  private final Map<String, String> properties;

  DecodedPayload(Scheme scheme, boolean tipAvailable, Fields fields,
      Map<String, String> properties) {
    this.scheme = scheme;
    this.tipAvailable = tipAvailable;
    this.fields = fields;
    this.properties = Collections.unmodifiableMap(new LinkedHashMap<String, String>(properties));
  }

  /** The scheme the payload was read in; never null. */
  public Scheme scheme() {
    return scheme;
  }

  /** Whether the tip and fee indicator asks the payer for a tip. */
  public boolean isTipAvailable() {
    return tipAvailable;
  }

  /** The catalogue fields the payload holds, templates with their sub-fields; never null. */
  public Fields fields() {
    return fields;
  }

  /**
   * Every text property of the decoded record by name, including those the decoder derives, such
   * as "zArodezMerchantPAN", "additionalDataField" (the template's raw text) and the additional
   * data sub-fields ("billID"); unmodifiable, never null.
   */
  public Map<String, String> properties() {
    return properties;
  }

  /** Equal when scheme, tip flag, fields and properties are equal. */
  @Override
  public boolean equals(Object other) {
    if (!(other instanceof DecodedPayload)) {
      return false;
    }
    DecodedPayload decoded = (DecodedPayload) other;
    return scheme == decoded.scheme && tipAvailable == decoded.tipAvailable
        && fields.equals(decoded.fields) && properties.equals(decoded.properties);
  }

  /** A hash consistent with {@link #equals(Object)}. */
  @Override
  public int hashCode() {
    return ((scheme.hashCode() * 31 + (tipAvailable ? 1 : 0)) * 31 + fields.hashCode()) * 31
        + properties.hashCode();
  }

  /** The scheme and fields, for diagnostics. */
  @Override
  public String toString() {
    return "DecodedPayload{" + scheme + ", " + fields + "}";
  }
}
