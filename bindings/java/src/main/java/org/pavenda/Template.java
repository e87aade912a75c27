package org.pavenda;

import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.Map;

/**
 * An immutable template value: sub-keys to texts, in the order they were first set. A sub-key is a
 * catalogue key ("billID"), a sub-tag ("01"), or for the alternate-language template one of
 * "languagePreference", "merchantNameAlternateLanguage" and "merchantCityAlternateLanguage".
 * Safe to share between threads.
 */
public final class Template {
  private final Map<String, String> entries;

  private Template(Map<String, String> entries) {
    this.entries = Collections.unmodifiableMap(new LinkedHashMap<String, String>(entries));
  }

  /** A new builder holding no sub-field. */
  public static Builder builder() {
    return new Builder();
  }

  /** The text of the sub-field {@code subKey}, or null when it is absent. */
  public String get(String subKey) {
    return entries.get(subKey);
  }

  /** The sub-fields in the order they were first set; unmodifiable, never null. */
  public Map<String, String> entries() {
    return entries;
  }

  /** Equal when both hold the same sub-fields with the same texts (order ignored). */
  @Override
  public boolean equals(Object other) {
    return other instanceof Template && entries.equals(((Template) other).entries);
  }

  /** A hash consistent with {@link #equals(Object)}. */
  @Override
  public int hashCode() {
    return entries.hashCode();
  }

  /** The sub-fields, for diagnostics. */
  @Override
  public String toString() {
    return "Template" + entries;
  }

  /** Collects sub-fields for a {@link Template}; not thread-safe, build one per thread. */
  public static final class Builder {
    private final Map<String, String> entries = new LinkedHashMap<String, String>();

    private Builder() {}

    /**
     * Sets the sub-field {@code subKey} to {@code value}, or removes it when {@code value} is null.
     *
     * @throws NullPointerException when {@code subKey} is null
     */
    public Builder put(String subKey, String value) {
      if (subKey == null) {
        throw new NullPointerException("template sub-key is null");
      }
      if (value == null) {
        entries.remove(subKey);
      } else {
        entries.put(subKey, value);
      }
      return this;
    }

    /** The template of the sub-fields set so far; the builder stays usable. */
    public Template build() {
      return new Template(entries);
    }
  }
}
