package org.pavenda;

/** The error correction a payload will be printed with; it sets the capacity advisory's limits. */
public enum ErrorCorrection {
  /** About 7 % of the symbol may be lost. */
  L,
  /** About 15 %. */
  M,
  /** About 25 %. */
  Q,
  /** About 30 %. */
  H
}
