package org.pavenda;

/**
 * The JNI entry points over the C interface. Texts cross as UTF-8 byte arrays, so that NUL and
 * supplementary characters pass unchanged. Every call answers an array whose first element holds
 * one byte, the C status (0 ok, 1 findings, 4 out of memory, 5 internal error, 6 invalid fields, 7
 * undecodable), followed by texts as each method describes.
 */
final class NativeLibrary {
  /** The system property naming the JNI library file, by absolute path. */
  static final String LIBRARY_PROPERTY = "pavenda.jni.library";

  static final int OK = 0;
  static final int FINDINGS = 1;
  static final int OUT_OF_MEMORY = 4;
  static final int INVALID_FIELDS = 6;
  static final int UNDECODABLE = 7;

  static {
    String path = System.getProperty(LIBRARY_PROPERTY);
    if (path != null && !path.isEmpty()) {
      System.load(path);
    } else {
      System.loadLibrary("pavenda_jni");
    }
  }

  private NativeLibrary() {}

  /**
   * Generates from parallel arrays: key, sub-key (null for a plain field) and value; with a level
   * of error correction from 0 (L) to 3 (H), adds the advisories, with -1 none. Ok: the payload,
   * then kind, tag, field and detail of each advisory. Findings: code and message pairs. Invalid
   * fields: the reason.
   */
  static native byte[][] generate(byte[][] keys, byte[][] subKeys, byte[][] values, int level);

  /** Validates a payload. Findings: code and message pairs; ok: nothing more. */
  static native byte[][] validate(byte[] payload);

  /**
   * Decodes a payload. Ok: the scheme, "true" or "false" for the tip flag, then triples of record
   * property, sub-key (null for a text property) and text. Undecodable: the reason.
   */
  static native byte[][] decode(byte[] payload);

  /** The tag catalogue: status ok, then pairs of field key and tag. */
  static native byte[][] fieldCatalogue();

  /** The error catalogue: status ok, then pairs of code and message. */
  static native byte[][] errorCatalogue();

  /** The library's version text in UTF-8. */
  static native byte[] version();
}
