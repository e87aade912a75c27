package org.pavenda;

/** One validation finding: an error code such as "48" and its message. Immutable. */
public final class Finding {
  private final String code;
  private final String message;

  /**
   * A finding.
   *
   * @param code the error code, decimal digits without leading zeros ("0" to "55"); not null
   * @param message its message, the empty text for a code without one; not null
   */
  public Finding(String code, String message) {
    if (code == null || message == null) {
      throw new NullPointerException("finding code or message is null");
    }
    this.code = code;
    this.message = message;
  }

  /** The error code, such as "48". */
  public String code() {
    return code;
  }

  /** The message of the code; empty for a code without one. */
  public String message() {
    return message;
  }

  /** Equal when code and message are equal. */
  @Override
  public boolean equals(Object other) {
    if (!(other instanceof Finding)) {
      return false;
    }
    Finding finding = (Finding) other;
    return code.equals(finding.code) && message.equals(finding.message);
  }

  /** A hash consistent with {@link #equals(Object)}. */
  @Override
  public int hashCode() {
    return 31 * code.hashCode() + message.hashCode();
  }

  /** The code and message separated by a tab, as the command-line tool prints them. */
  @Override
  public String toString() {
    return code + "\t" + message;
  }
}
