package org.pavenda;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/** A generated payload with the advisories of what a reader would meet. Immutable. */
public final class ExplainedPayload {
  private final String payload;
  private final List<Advisory> advisories;

  ExplainedPayload(String payload, List<Advisory> advisories) {
    this.payload = payload;
    this.advisories = Collections.unmodifiableList(new ArrayList<Advisory>(advisories));
  }

  /** The payload, every character of it. */
  public String payload() {
    return payload;
  }

  /** The advisories, in the order {@code pavenda validate --explain} gives them. Unmodifiable. */
  public List<Advisory> advisories() {
    return advisories;
  }
}
