// Serves bindings/js on loopback, loads browser/index.html in headless Chromium and passes when the
// page reports that its checks passed.
import { createServer } from "node:http";
import { readFile } from "node:fs/promises";
import { execFile } from "node:child_process";
import { fileURLToPath } from "node:url";
import path from "node:path";

const root = fileURLToPath(new URL("..", import.meta.url));
const types = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm" };

const server = createServer(async (request, response) => {
  const file = path.join(root, path.normalize(new URL(request.url, "http://x").pathname));
  if (!file.startsWith(root)) {
    response.writeHead(403).end();
    return;
  }
  try {
    const body = await readFile(file);
    response.writeHead(200, { "content-type": types[path.extname(file)] ?? "application/octet-stream" });
    response.end(body);
  } catch {
    response.writeHead(404).end();
  }
});

server.listen(0, "127.0.0.1", () => {
  const url = `http://127.0.0.1:${server.address().port}/browser/index.html`;
  const browser = process.env.CHROMIUM ?? "chromium";
  const args = ["--headless", "--no-sandbox", "--disable-gpu", "--virtual-time-budget=20000", "--dump-dom", url];
  execFile(browser, args, { timeout: 120000, maxBuffer: 1 << 24 }, (error, stdout, stderr) => {
    server.close();
    const verdict = /<pre id="result">([^<]*)<\/pre>/.exec(stdout)?.[1] ?? "no result";
    if (error && !verdict.startsWith("PASS")) console.error(stderr);
    console.log(`browser: ${verdict}`);
    process.exitCode = verdict.startsWith("PASS") ? 0 : 1;
  });
});
