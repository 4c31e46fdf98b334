// preview --watch in headless chromium: the served page takes each change of the model while
// keeping its camera and time, shows why a broken model cannot be read and recovers when it is
// fixed; the server answers nothing but its own page, on the loopback address only; Ctrl-C ends it
// with exit status 0.
import assert from 'node:assert/strict';
import { spawn } from 'node:child_process';
import { once } from 'node:events';
import { copyFileSync, mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { request } from 'node:http';
import { createRequire } from 'node:module';
import { connect } from 'node:net';
import { networkInterfaces, tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';

const setting = (name) => process.env[name] ?? assert.fail(`${name} is not set`);
const { chromium } = createRequire(join(setting('VORLIX_PAGE_PACKAGES'), 'package.json'))('playwright-core');
const folder = setting('VORLIX_TEST_DIR');
const modelPath = join(folder, 'bike.glb');
const original = readFileSync(setting('VORLIX_MODEL'));

// The sample model with one frame renamed, at the same length: its clutch lever is no longer one.
const withoutClutch = Buffer.from(original);
withoutClutch.write('xx_cl_az30', original.indexOf('vx_cl_az30'), 'latin1');

let server;
let output = '';
let url;
let profile;
let context;

before(async () => {
  rmSync(folder, { recursive: true, force: true });
  mkdirSync(folder, { recursive: true });
  copyFileSync(setting('VORLIX_MODEL'), modelPath);
  server = spawn(setting('VORLIX_SIM'), ['preview', modelPath, '--watch'], { stdio: ['ignore', 'pipe', 'pipe'] });
  server.stdout.on('data', (chunk) => (output += chunk));
  server.stderr.on('data', (chunk) => (output += chunk));
  while (!/http:\/\/127\.0\.0\.1:\d+\//.test(output)) {
    if (server.exitCode !== null) assert.fail(`vorlix-sim ended: ${output}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  url = output.match(/http:\/\/127\.0\.0\.1:\d+\//)[0];
  profile = mkdtempSync(join(tmpdir(), 'vorlix-chromium-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking'],
  });
});

after(async () => {
  await context?.close();
  if (server?.exitCode === null) server.kill('SIGKILL');
  if (profile) rmSync(profile, { recursive: true, force: true });
});

const components = (page) => page.$$eval('#components tbody tr', (rows) => rows.map((row) => row.cells[1].textContent));
const problem = (page) =>
  page.evaluate(() => {
    const element = document.getElementById('problem');
    return element.hidden ? '' : element.textContent;
  });

// The view kept, up to the rounding of the camera's orbit.
function assertView(actual, expected) {
  const { camera, ...rest } = actual;
  assert.deepEqual(rest, { render: expected.render, playing: expected.playing });
  for (const key of ['position', 'target']) {
    camera[key].forEach((value, i) =>
      assert.ok(Math.abs(value - expected.camera[key][i]) < 1e-9, `${key}: ${camera[key]}`),
    );
  }
}

// Writes the model file and waits for the page to load again.
async function change(page, bytes) {
  const reloaded = page.waitForEvent('load', { timeout: 20000 });
  writeFileSync(modelPath, bytes);
  await reloaded;
  await page.evaluate(() => window.vorlixPreview.ready);
}

test('the served page follows the model, keeping where it looks from and when', async () => {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(url);
  await page.evaluate(() => window.vorlixPreview.ready);
  const all = await components(page);
  assert.ok(all.includes('vx_cl_az30_lever'), all.join());

  const view = { camera: { position: [1.5, 0.4, -2.5], target: [0.1, 0.3, 0.2] }, render: 150, playing: false };
  await page.evaluate((state) => window.vorlixPreview.restoreView(state), view);
  await change(page, withoutClutch);
  assert.deepEqual(
    await components(page),
    all.filter((name) => name !== 'vx_cl_az30_lever'),
  );
  assertView(await page.evaluate(() => window.vorlixPreview.viewState()), view);
  assert.equal(await page.inputValue('#time'), '150');

  writeFileSync(modelPath, 'not a model');
  await page.waitForFunction(() => !document.getElementById('problem').hidden, null, { timeout: 20000 });
  const message = (await problem(page)).match(/^The model cannot be read: (.*bike\.glb: .+)\. The page shows/)?.[1];
  assert.ok(message, await problem(page));
  assert.ok(output.includes(`vorlix-sim: ${message} (still watching)\n`), output);

  await change(page, original);
  assert.deepEqual(await components(page), all);
  assert.equal(await problem(page), '');
  assertView(await page.evaluate(() => window.vorlixPreview.viewState()), view);
  assert.deepEqual(errors, []);
  await page.close();
});

// A request as it is written, path and all, without the client's normalisation.
function get(path) {
  return new Promise((resolve, reject) => {
    request(`${url.slice(0, -1)}${path}`, (response) => resolve(response.statusCode))
      .on('error', reject)
      .end();
  });
}

test('the server serves only its own page, on the loopback address only', async () => {
  for (const path of ['/bike.glb', '/../bike.glb', '/preview.html', '/ride', '//etc/passwd']) {
    assert.equal(await get(path), 404, path);
  }
  const port = Number(new URL(url).port);
  const outside = Object.values(networkInterfaces())
    .flat()
    .filter((a) => a.family === 'IPv4' && !a.internal);
  for (const { address } of outside) {
    const socket = connect(port, address);
    const [error] = await once(socket, 'error');
    assert.equal(error.code, 'ECONNREFUSED', address);
  }
});

test('Ctrl-C ends the watch with exit status 0', async () => {
  server.kill('SIGINT');
  const [status] = await once(server, 'exit');
  assert.equal(status, 0, output);
  assert.match(output, /Stopped watching bike\.glb\n$/);
});
