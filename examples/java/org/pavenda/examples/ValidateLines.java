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
 * Reads payloads from standard input, one per non-blank line, and prints for each one line:
 * "valid", or the codes of its findings separated by single spaces. Exits 0 once every payload has
 * its verdict, 2 when the input cannot be read or written or a line is not UTF-8 text.
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
      run(new BufferedInputStream(System.in, 1 << 16),
          new BufferedOutputStream(new FileOutputStream(FileDescriptor.out), 1 << 16));
    } catch (IOException e) {
      System.err.println("pavenda-validate-java: " + e.getMessage());
      System.exit(2);
    }
  }

  // Lines end at "\n", "\r\n" or a lone "\r", and blank lines are skipped, as the command-line
  // tool reads them; a last line without a line end still counts. Lines are numbered as an editor
  // shows them.
  private static void run(InputStream in, OutputStream out) throws IOException {
    ByteArrayOutputStream line = new ByteArrayOutputStream();
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
        report(text(line.toByteArray(), number), out);
        line.reset();
      } else if (next == '\n' && afterCr) {
        afterCr = false;
        continue;
      }
      ++number;
      afterCr = next == '\r';
    }
    if (line.size() > 0) {
      report(text(line.toByteArray(), number), out);
    }
    out.flush();
  }

  private static void report(String payload, OutputStream out) throws IOException {
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
    verdict.append('\n');
    out.write(verdict.toString().getBytes(StandardCharsets.US_ASCII));
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
