// Bundles the page's script with esbuild and inlines it and the style sheet into page.html, which
// keeps its plots and data markers: node tools/bundle_page.mjs PACKAGES STYLE.css OUT.html, where
// PACKAGES is the folder that npm installed package.json's packages into.
import { readFileSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';

const [packages, stylePath, outPath] = process.argv.slice(2);
const { build } = createRequire(join(packages, 'package.json'))('esbuild');
const source = (name) => fileURLToPath(new URL(`../${name}`, import.meta.url));

const bundled = await build({
  entryPoints: [source('src/main.js')],
  bundle: true,
  write: false,
  format: 'iife',
  target: 'es2020',
  minify: true,
  logLevel: 'warning',
  nodePaths: [join(packages, 'node_modules')],
  // Modules that find their files beside themselves get a base that leads nowhere: the page hands
  // them their files itself and fetches nothing.
  define: { 'import.meta.url': '"file:///"' },
});
const script = bundled.outputFiles[0].text;
const style = readFileSync(stylePath, 'utf8');

// Inlined text must not end its element early or open an HTML comment inside a script.
for (const [name, text, closing] of [
  ['script', script, '</script'],
  ['style sheet', style, '</style'],
]) {
  const lower = text.toLowerCase();
  if (lower.includes(closing) || lower.includes('<!--')) throw new Error(`the ${name} holds ${closing} or <!--`);
}

const [head, rest, ...more] = readFileSync(source('page.html'), 'utf8').split('/*@STYLE@*/');
const [middle, tail, ...evenMore] = (rest ?? '').split('/*@SCRIPT@*/');
if (more.length || evenMore.length || tail === undefined)
  throw new Error('page.html needs one style and one script marker');
// Joined, not replaced: the bundle holds "$" sequences that String.replace would interpret.
writeFileSync(outPath, head + style + middle + script + tail);
