package org.pavenda;

/**
 * Something the rules allow but readers of a payload trip on, as {@code pavenda validate --explain}
 * reports it. Immutable.
 */
public final class Advisory {
  private final String kind;
  private final String tag;
  private final String field;
  private final String detail;

  Advisory(String kind, String tag, String field, String detail) {
    this.kind = kind;
    this.tag = tag;
    this.field = field;
    this.detail = detail;
  }

  /** "framing", "capacity", "currency-decimals" or "invisible-characters". */
  public String kind() {
    return kind;
  }

  /** The tag it concerns, such as "59"; empty for the whole payload. */
  public String tag() {
    return tag;
  }

  /** The field key it concerns, such as "merchantName"; empty for the whole payload. */
  public String field() {
    return field;
  }

  /** What a reader would meet, in words. */
  public String detail() {
    return detail;
  }

  /** Equal when every part is equal. */
  @Override
  public boolean equals(Object other) {
    if (!(other instanceof Advisory)) {
      return false;
    }
    Advisory advisory = (Advisory) other;
    return kind.equals(advisory.kind) && tag.equals(advisory.tag) && field.equals(advisory.field)
        && detail.equals(advisory.detail);
  }

  /** A hash consistent with {@link #equals(Object)}. */
  @Override
  public int hashCode() {
    return ((kind.hashCode() * 31 + tag.hashCode()) * 31 + field.hashCode()) * 31
        + detail.hashCode();
  }

  /** The kind, a colon and the detail. */
  @Override
  public String toString() {
    return kind + ": " + detail;
  }
}
