package org.pavenda;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * A generation or decoding that gave no result: the findings of a payload that broke the rules,
 * fields the encoder cannot write, a payload that does not decode, or a failure inside the library.
 */
public final class PavendaException extends Exception {
  private static final long serialVersionUID = 1L;

  /** Why no result was given. */
  public enum Kind {
    /** The generated payload broke validation rules; {@link #findings()} lists every one. */
    FINDINGS,
    /** The fields hold something the encoder cannot write; the message names the key path. */
    INVALID_FIELDS,
    /** The payload does not decode; the message is the reason, such as "invalidLength". */
    UNDECODABLE,
    /** An unexpected failure inside the library. */
    INTERNAL_ERROR
  }

  private final Kind kind;
  private final List<Finding> findings;

  PavendaException(Kind kind, String message, List<Finding> findings) {
    super(message);
    this.kind = kind;
    this.findings = Collections.unmodifiableList(new ArrayList<Finding>(findings));
  }

  static PavendaException ofFindings(List<Finding> findings) {
    StringBuilder message = new StringBuilder("payload breaks validation rules:");
    for (Finding finding : findings) {
      message.append(' ').append(finding.code());
    }
    return new PavendaException(Kind.FINDINGS, message.toString(), findings);
  }

  /** Why no result was given; never null. */
  public Kind kind() {
    return kind;
  }

  /**
   * Every finding, in the order validation raised them, for {@link Kind#FINDINGS} (at least one);
   * empty for the other kinds. Unmodifiable.
   */
  public List<Finding> findings() {
    return findings;
  }
}
