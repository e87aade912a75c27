package org.pavenda.examples;

import java.io.BufferedInputStream;
import java.io.BufferedOutputStream;
import java.io.ByteArrayOutputStream;
import java.io.FileDescriptor;
import java.io.FileOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.OutputStream;
import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;
import java.util.List;
import org.pavenda.Finding;
import org.pavenda.Pavenda;

/**
 * Reads payloads from standard input, one per non-blank line, and prints for each the line {@code
 * pavenda validate} prints: "valid" or the codes of its findings separated by single spaces, a tab,
 * and the payload escaped onto one line. Exits as {@code pavenda validate} does: 0 when every
 * payload is valid, 1 when any has findings, 2 when the input cannot be read or written or a line
 * is not UTF-8 text.
 */
public final class ValidateLines {
  private ValidateLines() {}

  /**
   * Runs the program.
   *
   * @param arguments none are taken
   */
  public static void main(String[] arguments) {
    if (arguments.length != 0) {
      System.err.println("usage: pavenda-validate-java < payloads.txt  (takes no arguments)");
      System.exit(2);
    }
    try {
      boolean allValid = run(new BufferedInputStream(System.in, 1 << 16),
          new BufferedOutputStream(new FileOutputStream(FileDescriptor.out), 1 << 16));
      System.exit(allValid ? 0 : 1);
    } catch (IOException e) {
      System.err.println("pavenda-validate-java: " + e.getMessage());
      System.exit(2);
    }
  }

  // Lines end at "\n", "\r\n" or a lone "\r", and blank lines are skipped, as the command-line
  // tool reads them; a last line without a line end still counts. Lines are numbered as an editor
  // shows them.
  private static boolean run(InputStream in, OutputStream out) throws IOException {
    ByteArrayOutputStream line = new ByteArrayOutputStream();
    boolean allValid = true;
    long number = 1;
    boolean afterCr = false; // a "\n" right after a "\r" ends no further line
    int next;
    while ((next = in.read()) >= 0) {
      if (next != '\n' && next != '\r') {
        line.write(next);
        afterCr = false;
        continue;
      }
      if (line.size() > 0) {
        allValid &= report(text(line.toByteArray(), number), out);
        line.reset();
      } else if (next == '\n' && afterCr) {
        afterCr = false;
        continue;
      }
      ++number;
      afterCr = next == '\r';
    }
    if (line.size() > 0) {
      allValid &= report(text(line.toByteArray(), number), out);
    }
    out.flush();
    return allValid;
  }

  // Writes the payload's verdict line; true when it is valid.
  private static boolean report(String payload, OutputStream out) throws IOException {
    List<Finding> findings = Pavenda.validate(payload);
    StringBuilder verdict = new StringBuilder();
    if (findings.isEmpty()) {
      verdict.append("valid");
    }
    for (Finding finding : findings) {
      if (verdict.length() > 0) {
        verdict.append(' ');
      }
      verdict.append(finding.code());
    }
    verdict.append('\t');
    escape(payload, verdict);
    verdict.append('\n');
    out.write(verdict.toString().getBytes(StandardCharsets.UTF_8));
    return findings.isEmpty();
  }

  // As the command-line tool escapes: "\n", "\r", "\t" and "\\" by name, other control
  // characters (C0, DEL, C1) as "\xNN" per UTF-8 byte, everything else as it is.
  private static void escape(String payload, StringBuilder out) {
    for (int i = 0; i < payload.length(); ) {
      int c = payload.codePointAt(i);
      i += Character.charCount(c);
      if (c == '\n') {
        out.append("\\n");
      } else if (c == '\r') {
        out.append("\\r");
      } else if (c == '\t') {
        out.append("\\t");
      } else if (c == '\\') {
        out.append("\\\\");
      } else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) {
        for (byte b : new String(Character.toChars(c)).getBytes(StandardCharsets.UTF_8)) {
          out.append(String.format("\\x%02x", b & 0xFF));
        }
      } else {
        out.appendCodePoint(c);
      }
    }
  }

  private static String text(byte[] bytes, long number) throws IOException {
    try {
      return StandardCharsets.UTF_8.newDecoder()
          .onMalformedInput(CodingErrorAction.REPORT)
          .onUnmappableCharacter(CodingErrorAction.REPORT)
          .decode(ByteBuffer.wrap(bytes))
          .toString();
    } catch (CharacterCodingException e) {
      throw new IOException("line " + number + " is not UTF-8 text", e);
    }
  }
}
