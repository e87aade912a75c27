package org.pavenda;

import java.nio.ByteBuffer;
import java.nio.CharBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.Collections;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;

/**
 * Generates, validates and decodes EMV merchant-presented QR payloads.
 *
 * <p>Every method may be called from any number of threads at once: no state is kept between calls.
 *
 * <p>The native part is loaded on first use with {@code System.loadLibrary("pavenda_jni")}, which
 * searches {@code java.library.path} (on Android, the app's native libraries). To load it from a
 * file instead, set the system property {@code pavenda.jni.library} to the file's absolute path
 * before the first call. A library that cannot be loaded raises {@link UnsatisfiedLinkError} on
 * the first call and {@link NoClassDefFoundError} on every later one (the class that loads it could
 * not be initialised), so set the property before anything calls this class.
 */
public final class Pavenda {
  private Pavenda() {}

  /**
   * Encodes the fields, decodes and validates what was written, and answers the payload only when
   * no rule is broken.
   *
   * @param fields the field dictionary; not null
   * @return the payload text
   * @throws PavendaException with {@link PavendaException.Kind#FINDINGS} and every finding when the
   *     payload breaks a rule; {@link PavendaException.Kind#INVALID_FIELDS}, with the key path and
   *     why as its message, when a field cannot be written as given (the library's own check of
   *     its field dictionary); {@link PavendaException.Kind#INTERNAL_ERROR} on a failure
   *     inside the library
   * @throws IllegalArgumentException when a key or value holds an unpaired surrogate, which UTF-8
   *     cannot carry
   * @throws OutOfMemoryError when the library runs out of memory
   */
  public static String generate(Fields fields) throws PavendaException {
    return generated(fields, -1).payload();
  }

  /**
   * Generates as {@link #generate(Fields)} does and adds the advisories of the payload: what the
   * rules allow but readers trip on (a framing that readers counting bytes read differently, QR
   * capacity at {@code errorCorrection}, decimals a currency does not have, invisible characters).
   *
   * @param fields the field dictionary; not null
   * @param errorCorrection the error correction the payload will be printed with; not null
   * @return the payload with its advisories
   * @throws PavendaException as {@link #generate(Fields)} does
   */
  public static ExplainedPayload generateExplained(Fields fields, ErrorCorrection errorCorrection)
      throws PavendaException {
    if (errorCorrection == null) {
      throw new NullPointerException("errorCorrection is null");
    }
    return generated(fields, errorCorrection.ordinal());
  }

  private static ExplainedPayload generated(Fields fields, int level) throws PavendaException {
    Map<String, Object> values = fields.asMap();
    List<byte[]> keys = new ArrayList<byte[]>(values.size());
    List<byte[]> subKeys = new ArrayList<byte[]>(values.size());
    List<byte[]> texts = new ArrayList<byte[]>(values.size());
    for (Map.Entry<String, Object> entry : values.entrySet()) {
      String key = entry.getKey();
      if (entry.getValue() instanceof Template) {
        Map<String, String> entries = ((Template) entry.getValue()).entries();
        if (entries.isEmpty()) {
          // The encoder writes an empty template exactly as an empty text: its tag and "00".
          add(keys, subKeys, texts, key, null, "", key);
        }
        for (Map.Entry<String, String> sub : entries.entrySet()) {
          add(keys, subKeys, texts, key, sub.getKey(), sub.getValue(), key + "." + sub.getKey());
        }
      } else {
        add(keys, subKeys, texts, key, null, (String) entry.getValue(), key);
      }
    }
    byte[][] result = NativeLibrary.generate(keys.toArray(new byte[0][]),
        subKeys.toArray(new byte[0][]), texts.toArray(new byte[0][]), level);
    switch (status(result)) {
      case NativeLibrary.OK:
        List<Advisory> advisories = new ArrayList<Advisory>();
        for (int i = 2; i + 3 < result.length; i += 4) {
          advisories.add(new Advisory(text(result[i]), text(result[i + 1]), text(result[i + 2]),
              text(result[i + 3])));
        }
        return new ExplainedPayload(text(result[1]), advisories);
      case NativeLibrary.FINDINGS:
        throw PavendaException.ofFindings(findings(result));
      case NativeLibrary.INVALID_FIELDS:
        throw new PavendaException(
            PavendaException.Kind.INVALID_FIELDS, text(result[1]), noFindings());
      default:
        throw failure(result, "generation");
    }
  }

  /**
   * Validates a payload in either tag scheme.
   *
   * @param payload the payload text; not null (the empty text gives the single code "0")
   * @return every finding in the order validation raised them; empty when the payload is valid
   * @throws IllegalArgumentException when the payload holds an unpaired surrogate
   * @throws IllegalStateException on a failure inside the library
   * @throws OutOfMemoryError when the library runs out of memory
   */
  public static List<Finding> validate(String payload) {
    byte[][] result = NativeLibrary.validate(utf8(payload, "payload"));
    switch (status(result)) {
      case NativeLibrary.OK:
        return Collections.emptyList();
      case NativeLibrary.FINDINGS:
        return findings(result);
      default:
        throw new IllegalStateException(failure(result, "validation").getMessage());
    }
  }

  /**
   * Decodes a payload in either tag scheme, without validating it.
   *
   * @param payload the payload text; not null
   * @return the decoded fields
   * @throws PavendaException with {@link PavendaException.Kind#UNDECODABLE} and the reason (such as
   *     "invalidLength") as its message when the payload does not decode;
   *     {@link PavendaException.Kind#INTERNAL_ERROR} on a failure inside the library
   * @throws IllegalArgumentException when the payload holds an unpaired surrogate
   * @throws OutOfMemoryError when the library runs out of memory
   */
  public static DecodedPayload decode(String payload) throws PavendaException {
    byte[][] result = NativeLibrary.decode(utf8(payload, "payload"));
    switch (status(result)) {
      case NativeLibrary.OK:
        break;
      case NativeLibrary.UNDECODABLE:
        throw new PavendaException(
            PavendaException.Kind.UNDECODABLE, text(result[1]), noFindings());
      default:
        throw failure(result, "decoding");
    }
    DecodedPayload.Scheme scheme = DecodedPayload.Scheme.valueOf(text(result[1]));
    boolean tipAvailable = Boolean.parseBoolean(text(result[2]));
    Map<String, String> catalogue = Catalogues.FIELD_TAGS;
    Map<String, String> properties = new LinkedHashMap<String, String>();
    Map<String, Template.Builder> templates = new LinkedHashMap<String, Template.Builder>();
    Fields.Builder fields = Fields.builder();
    for (int i = 3; i + 2 < result.length; i += 3) {
      String name = text(result[i]);
      if (result[i + 1] == null) {
        String value = text(result[i + 2]);
        properties.put(name, value);
        String tag = catalogue.get(name);
        if (tag != null && tag.length() == 2) {
          fields.put(name, value);
        }
        continue;
      }
      Template.Builder template = templates.get(name);
      if (template == null) {
        template = Template.builder();
        templates.put(name, template);
      }
      template.put(text(result[i + 1]), text(result[i + 2]));
    }
    for (Map.Entry<String, Template.Builder> template : templates.entrySet()) {
      fields.put(template.getKey(), template.getValue().build());
    }
    return new DecodedPayload(scheme, tipAvailable, fields.build(), properties);
  }

  /**
   * Every field key of the tag catalogue with its tag, in tag order: two digits for a top-level
   * field ("merchantName" to "59"), four for a sub-field of the additional data template ("billID"
   * to "6201"). Unmodifiable.
   */
  public static Map<String, String> fieldTags() {
    return Catalogues.FIELD_TAGS;
  }

  /**
   * Every error code with its message, in numeric order; a code without a message has the empty
   * text. Unmodifiable.
   */
  public static List<Finding> errorCatalogue() {
    return Catalogues.ERRORS;
  }

  /** The library's semantic version, such as "0.1.0". */
  public static String version() {
    return text(NativeLibrary.version());
  }

  // Built once, on first use, from the library's own tables.
  private static final class Catalogues {
    static final Map<String, String> FIELD_TAGS = fieldTagsFromLibrary();
    static final List<Finding> ERRORS = Collections.unmodifiableList(
        pairs(NativeLibrary.errorCatalogue()));

    private static Map<String, String> fieldTagsFromLibrary() {
      byte[][] result = NativeLibrary.fieldCatalogue();
      Map<String, String> tags = new LinkedHashMap<String, String>();
      for (int i = 1; i + 1 < result.length; i += 2) {
        tags.put(text(result[i]), text(result[i + 1]));
      }
      return Collections.unmodifiableMap(tags);
    }
  }

  private static void add(List<byte[]> keys, List<byte[]> subKeys, List<byte[]> texts, String key,
      String subKey, String value, String path) {
    keys.add(utf8(key, path));
    subKeys.add(subKey == null ? null : utf8(subKey, path));
    texts.add(utf8(value, path));
  }

  private static int status(byte[][] result) {
    return result[0][0];
  }

  private static List<Finding> findings(byte[][] result) {
    return Collections.unmodifiableList(pairs(result));
  }

  private static List<Finding> pairs(byte[][] result) {
    List<Finding> findings = new ArrayList<Finding>(result.length / 2);
    for (int i = 1; i + 1 < result.length; i += 2) {
      findings.add(new Finding(text(result[i]), text(result[i + 1])));
    }
    return findings;
  }

  private static List<Finding> noFindings() {
    return Collections.emptyList();
  }

  private static PavendaException failure(byte[][] result, String what) {
    if (status(result) == NativeLibrary.OUT_OF_MEMORY) {
      throw new OutOfMemoryError("pavenda: out of memory during " + what);
    }
    return new PavendaException(PavendaException.Kind.INTERNAL_ERROR,
        "pavenda: internal error during " + what + " (status " + status(result) + ")",
        noFindings());
  }

  // Strict, unlike String.getBytes, which would replace an unpaired surrogate with '?' silently.
  private static byte[] utf8(String text, String what) {
    if (text == null) {
      throw new NullPointerException(what + " is null");
    }
    try {
      ByteBuffer bytes = StandardCharsets.UTF_8.newEncoder()
                             .onMalformedInput(CodingErrorAction.REPORT)
                             .onUnmappableCharacter(CodingErrorAction.REPORT)
                             .encode(CharBuffer.wrap(text));
      byte[] array = new byte[bytes.remaining()];
      bytes.get(array);
      return array;
    } catch (CharacterCodingException e) {
      throw new IllegalArgumentException(
          what + " holds an unpaired surrogate, which UTF-8 cannot carry", e);
    }
  }

  private static String text(byte[] utf8) {
    try {
      return StandardCharsets.UTF_8.newDecoder()
          .onMalformedInput(CodingErrorAction.REPORT)
          .onUnmappableCharacter(CodingErrorAction.REPORT)
          .decode(ByteBuffer.wrap(utf8))
          .toString();
    } catch (CharacterCodingException e) {
      throw new IllegalStateException("pavenda: the library answered text that is not UTF-8", e);
    }
  }
}
