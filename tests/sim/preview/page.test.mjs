// The preview page in headless chromium: the sample model's preview must pose every frame as
// its ride's renders say, play, show its plots, show names as text, and log nothing; compressed
// models must show too, and a model that cannot be shown must leave the rest of the page.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath, pathToFileURL } from 'node:url';

const setting = (name) => process.env[name] ?? assert.fail(`${name} is not set`);
// The page's npm packages are installed in the build folder.
const { chromium } = createRequire(join(setting('VORLIX_PAGE_PACKAGES'), 'package.json'))('playwright-core');
const folder = setting('VORLIX_TEST_DIR');
const chromiumFlags = [
  '--headless',
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
];

function writePage(name, data) {
  const dataPath = join(folder, `${name}.json`);
  const pagePath = join(folder, `${name}.html`);
  writeFileSync(dataPath, JSON.stringify(data));
  execFileSync(setting('VORLIX_WRITE_PAGE'), [dataPath, pagePath]);
  return pagePath;
}

// The glTF JSON of the page's model: a .glb's JSON chunk, or the .gltf itself.
function modelJson(files) {
  const bytes = Buffer.from(files.main, 'base64');
  return JSON.parse((files.binary ? bytes.subarray(20, 20 + bytes.readUInt32LE(12)) : bytes).toString('utf8'));
}

// Quaternions as [x, y, z, w]; a turn about a frame axis is applied after the node's rotation.
function multiply([ax, ay, az, aw], [bx, by, bz, bw]) {
  return [
    aw * bx + ax * bw + ay * bz - az * by,
    aw * by - ax * bz + ay * bw + az * bx,
    aw * bz + ax * by - ay * bx + az * bw,
    aw * bw - ax * bx - ay * by - az * bz,
  ];
}
function turn([x, y, z], degrees) {
  const s = Math.sin((degrees * Math.PI) / 360) / Math.hypot(x, y, z);
  return [x * s, y * s, z * s, Math.cos((degrees * Math.PI) / 360)];
}

// Every node's rotation and mesh visibility after render k (-1: as modelled), from the renders.
function expectedAfter(data, model, k) {
  const { renders } = data;
  const rotation = new Map(model.nodes.map((node, i) => [i, node.rotation ?? [0, 0, 0, 1]]));
  const visible = new Map(model.nodes.map((_, i) => [i, true]));
  for (const render of renders.slice(0, k + 1)) {
    for (const [frame, axis, angle] of render.rotations) {
      const node = data.frames[frame].node;
      if (Number.isFinite(angle)) rotation.set(node, multiply(rotation.get(node), turn(data.axes[axis], angle)));
    }
    for (const [frame, object, flag] of render.flags) {
      if (object === 0) visible.set(data.frames[frame].node, (flag & 4) !== 0);
    }
  }
  return { rotation, visible };
}

let data;
let model;
let samplePage;
let profile;
let context;

// The data embedded in a page, as the page itself reads it.
function pageData(path) {
  const page = readFileSync(path, 'utf8');
  const start = page.indexOf('>', page.indexOf('<script type="application/json" id="vorlix-data"')) + 1;
  return JSON.parse(page.slice(start, page.indexOf('</script>', start)));
}

before(async () => {
  rmSync(folder, { recursive: true, force: true });
  mkdirSync(folder, { recursive: true });
  execFileSync(setting('VORLIX_SIM'), ['preview', setting('VORLIX_MODEL'), '--out', folder]);
  samplePage = join(folder, 'preview.html');
  data = pageData(samplePage);
  model = modelJson(data.model);
  profile = mkdtempSync(join(tmpdir(), 'vorlix-chromium-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: '/usr/bin/chromium',
    headless: true,
    args: chromiumFlags,
  });
});

after(async () => {
  await context?.close();
  if (profile) rmSync(profile, { recursive: true, force: true });
});

// Without a GPU the browser reads each WebGL frame back to composite it, and its GL layer notes
// the stall in the page's console: that note is the browser's, not the page's.
const softwareCompositing =
  /^\[\.WebGL-0x[0-9a-f]+\]GL Driver Message \(OpenGL, Performance, .*\): GPU stall due to ReadPixels/;

// Opens a page, waits for its model, and collects what it logged and any request off the machine.
async function open(path) {
  const page = await context.newPage();
  const noise = [];
  page.on('console', (message) => {
    if (!softwareCompositing.test(message.text())) noise.push(`console.${message.type()}: ${message.text()}`);
  });
  page.on('pageerror', (error) => noise.push(`error: ${error.message}`));
  page.on('request', (request) => {
    if (!/^(file|data|blob):/.test(request.url())) noise.push(`request: ${request.url()}`);
  });
  await page.goto(pathToFileURL(path).href);
  await page.evaluate(() => window.vorlixPreview.ready);
  return { page, noise };
}

// The rotation and mesh visibility that the page shows for each of `nodes`, after render k if given.
const poseOf = (page, nodes, k) =>
  page.evaluate(
    ({ nodes, k }) => {
      const preview = window.vorlixPreview;
      if (k !== undefined) preview.seek(k);
      return nodes.map((node) => [preview.nodeQuaternion(node), preview.meshVisible(node)]);
    },
    { nodes, k },
  );

function assertPose(actual, expected, nodes, k) {
  nodes.forEach((node, i) => {
    const [quaternion, visible] = actual[i];
    const want = expected.rotation.get(node);
    const where = `${model.nodes[node].name} after render ${k}`;
    quaternion.forEach((value, j) => {
      assert.ok(Math.abs(value - want[j]) < 1e-6, `${where}: ${quaternion} is not ${want}`);
    });
    if (model.nodes[node].mesh !== undefined) {
      assert.equal(visible, expected.visible.get(node), `${where}: visibility`);
    }
  });
}

test('every animated frame of the sample model is posed as its renders say', async () => {
  const { page, noise } = await open(samplePage);
  const renders = await page.evaluate(() => window.vorlixPreview.renders);
  const lines = data.renders;
  const touched = (field) => new Set(lines.flatMap((line) => line[field].map(([f]) => data.frames[f].name)));
  // The ride moves every kind of component of the sample model.
  const turned = [...touched('rotations')].join(' ');
  for (const part of ['vx_fbrake', 'vx_rbrake', 'vx_cl', 'vx_gl', 'vx_sm', 'vx_rpm', 'odo_digit_3', 'odo_digit_6']) {
    assert.ok(turned.includes(part), `nothing turns ${part}`);
  }
  for (const part of ['chain_links_d', 'gear_3']) {
    assert.ok(touched('flags').has(part), `${part} is never shown or hidden`);
  }
  const firstFlags = lines.findIndex((line) => line.flags.length > 0);
  const nodes = model.nodes.map((_, i) => i);

  // Forward, then back, which replays from the modelled pose.
  const third = Math.floor(renders / 3);
  for (const k of [-1, 0, firstFlags, third, 2 * third, renders - 1, Math.floor(third / 2), -1]) {
    assertPose(await poseOf(page, nodes, k), expectedAfter(data, model, k), nodes, k);
  }
  assert.equal(await page.evaluate(() => window.vorlixPreview.axesName), data.axes.name);
  // One plot for the ride and one for each component.
  assert.equal(await page.locator('#plots svg').count(), data.components.length + 1);
  assert.deepEqual(noise, []);
  await page.close();
});

test('playing moves on in time and shows the pose and values of the render it stops at', async () => {
  const { page, noise } = await open(samplePage);
  await page.selectOption('#speed', '4');
  await page.click('#play');
  await page.waitForTimeout(600);
  await page.click('#play');
  const k = Number(await page.inputValue('#time'));
  assert.ok(k > 0, `stopped at render ${k}`);
  const nodes = model.nodes.map((_, i) => i);
  assertPose(await poseOf(page, nodes), expectedAfter(data, model, k), nodes, k);
  const values = await tableValues(page);
  data.components.forEach((component, i) => {
    const value = component.values[k];
    if (component.rows) {
      assert.equal(values[i], { [-1]: component.none, [-2]: component.several }[value] ?? component.rows[value]);
    } else {
      const shown = Number(values[i].match(/-?[0-9.]+/)?.[0]);
      assert.ok(Math.abs(shown - value) < 0.05, `${component.key}: ${values[i]} after render ${k}`);
    }
  });
  assert.deepEqual(noise, []);
  await page.close();
});

const tableValues = (page) =>
  page.$$eval('#components tbody tr', (rows) => rows.map((row) => row.cells[2].textContent));

test('no value of the ride shows an internal marker of the library', async () => {
  const { page, noise } = await open(samplePage);
  const internal = /^-[12]$|-0\.0|gear -|link -/;
  for (let k = -1; k < data.renders.length; k++) {
    await page.evaluate((k) => window.vorlixPreview.seek(k), k);
    for (const value of await tableValues(page)) assert.doesNotMatch(value, internal, `after render ${k}`);
  }
  assert.doesNotMatch(await page.locator('#plots').innerText(), internal);
  // The sample's six wheels show six digits.
  const odometer = data.components.findIndex((c) => c.unit === 'reading');
  assert.match((await tableValues(page))[odometer], /^[0-9]{6}$/);
  assert.deepEqual(noise, []);
  await page.close();
});

test('the view frames a chosen part, turns to preset views, and marks gears and brakes', async () => {
  const { page, noise } = await open(samplePage);
  const camera = () => page.evaluate(() => window.vorlixPreview.camera);
  const along = ({ position, target }) => {
    const d = position.map((p, i) => p - target[i]);
    return d.map((v) => v / Math.hypot(...d));
  };
  // z-up: the vehicle's forward is the scene's -Z, its up +Y, its right +X.
  for (const [view, axis, sign] of [
    ['front', 2, -1],
    ['side', 0, 1],
    ['top', 1, 1],
  ]) {
    await page.click(`#view-${view}`);
    assert.ok(sign * along(await camera())[axis] > 0.95, `${view}: ${along(await camera())}`);
  }
  await page.click('#view-reset');
  const reset = await camera();

  // A row chosen: its part selected and framed, the row marked; a click on the part picks it again.
  const brake = data.components.findIndex((c) => c.key === 'vx_fbrake');
  await page.click(`#components tbody tr:nth-child(${brake + 1})`);
  const node = data.frames[data.components[brake].frame].node;
  assert.equal(await page.evaluate(() => window.vorlixPreview.selectedNode()), node);
  assert.notDeepEqual((await camera()).target, reset.target);
  assert.equal(await page.locator('#components tr.chosen').count(), 1);
  await page.click('#view-side');
  await page.evaluate(() => window.vorlixPreview.choose(-5));
  assert.equal(await page.evaluate(() => window.vorlixPreview.selectedNode()), undefined);
  await page.evaluate((frame) => window.vorlixPreview.choose(frame), data.components[brake].frame);
  await page.check('#xray');
  const box = await page.locator('#viewport canvas').boundingBox();
  await page.evaluate(() => window.vorlixPreview.choose(-5));
  await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  assert.equal(await page.evaluate(() => window.vorlixPreview.selectedNode()), node);

  // One mark per gear change and per brake put on; a click on one goes there.
  const marks = await page.evaluate(() => window.vorlixPreview.marks);
  const gearChanges = data.renders.filter((r, k) => k > 0 && r.gear !== data.renders[k - 1].gear).length;
  assert.equal(marks.filter((m) => m.kind === 'gear').length, gearChanges);
  assert.deepEqual(
    new Set(marks.filter((m) => m.kind === 'brake').map((m) => m.text)),
    new Set(['front brake on', 'rear brake on']),
  );
  await page.locator('#marks .brake').first().click();
  assert.equal(Number(await page.inputValue('#time')), marks.find((m) => m.kind === 'brake').render);
  assert.equal(await page.locator('#warnings').isHidden(), true);
  assert.deepEqual(noise, []);
  await page.close();
});

test('names are shown as text, and a turn by a non-finite angle leaves the frame as it was', async () => {
  const name = '<script>window.injected = 1</script> "quoted" Gänge 漢字 <!-- <b>bold</b>';
  const hostile = structuredClone(data);
  const component = hostile.components[0];
  hostile.title = name;
  component.title = name;
  hostile.frames[component.frame].name = name;
  hostile.renders[0].rotations.push([component.frame, 'x', 'nan'], [component.frame, 'y', 'inf']);
  hostile.warnings = [
    { frame: component.frame, text: name },
    { frame: -1, text: 'of no frame' },
  ];
  const { page, noise } = await open(writePage('hostile', hostile));

  const shown = await page.evaluate(() => ({
    title: document.getElementById('title').textContent,
    documentTitle: document.title,
    row: [...document.querySelector('#components tbody tr').cells]
      .slice(0, 2)
      .map((cell) => cell.firstChild.textContent),
    injected: window.injected,
    bold: document.querySelectorAll('header b, aside b').length,
    problem: document.getElementById('problem').hidden ? '' : document.getElementById('problem').textContent,
    axes: document.getElementById('axes').textContent,
  }));
  assert.deepEqual(shown.row, [name, name]);
  assert.equal(shown.title, name);
  assert.ok(shown.documentTitle.startsWith(name));
  assert.equal(shown.injected, undefined);
  assert.equal(shown.bold, 0);
  assert.match(shown.problem, /^2 frame rotations/);
  assert.match(shown.axes, new RegExp(data.axes.name));
  // A warning lists as text; a click on one with a frame picks that frame.
  assert.deepEqual(await page.locator('#warnings li').allInnerTexts(), [`warning: ${name}`, 'warning: of no frame']);
  await page.click('#warnings button');
  assert.equal(await page.evaluate(() => window.vorlixPreview.selectedNode()), hostile.frames[component.frame].node);

  const node = hostile.frames[component.frame].node;
  assertPose(await poseOf(page, [node], 0), expectedAfter(hostile, model, 0), [node], 0);
  assert.deepEqual(noise, []);
  await page.close();
});

test('a .gltf whose buffer is a file beside it is shown from the page alone', async () => {
  const sample = readFileSync(setting('VORLIX_MODEL'));
  const jsonEnd = 20 + sample.readUInt32LE(12);
  const split = join(folder, 'split');
  mkdirSync(split);
  writeFileSync(
    join(split, 'motor bike.bin'),
    sample.subarray(jsonEnd + 8, jsonEnd + 8 + sample.readUInt32LE(jsonEnd)),
  );
  const gltf = structuredClone(model);
  gltf.buffers[0].uri = 'motor%20bike.bin';
  writeFileSync(join(split, 'bike.gltf'), JSON.stringify(gltf));
  execFileSync(setting('VORLIX_SIM'), ['preview', join(split, 'bike.gltf'), '--out', split]);
  const splitData = pageData(join(split, 'preview.html'));
  assert.deepEqual(Object.keys(splitData.model.resources), ['motor%20bike.bin']);

  const { page, noise } = await open(join(split, 'preview.html'));
  const nodes = model.nodes.map((_, i) => i);
  const k = Math.floor((await page.evaluate(() => window.vorlixPreview.renders)) / 2);
  assertPose(await poseOf(page, nodes, k), expectedAfter(splitData, model, k), nodes, k);
  assert.deepEqual(noise, []);
  await page.close();
});

test('models compressed with Draco and with meshopt are decoded in the page alone', async () => {
  for (const kind of ['draco', 'meshopt']) {
    const out = join(folder, kind);
    const source = fileURLToPath(new URL(`../../models/motorbike-${kind}.glb`, import.meta.url));
    execFileSync(setting('VORLIX_SIM'), ['preview', source, '--out', out]);
    const compressedData = pageData(join(out, 'preview.html'));
    const compressed = modelJson(compressedData.model);
    assert.ok(compressed.extensionsRequired.some((name) => name.toLowerCase().includes(kind)));

    const { page, noise } = await open(join(out, 'preview.html'));
    const nodes = compressed.nodes.map((_, i) => i);
    const k = Math.floor(compressedData.renders.length / 2);
    assertPose(await poseOf(page, nodes, k), expectedAfter(compressedData, compressed, k), nodes, k);
    assert.equal(await page.isHidden('#problem'), true, kind);
    assert.deepEqual(noise, [], kind);
    await page.close();
  }
});

test('a model the browser cannot show leaves the table and plots, and says why', async () => {
  const broken = structuredClone(data);
  broken.model = { binary: true, main: Buffer.from('glTF, but not quite').toString('base64'), resources: {} };
  // The sample's own page, plots and all, with the model's bytes spoilt.
  const sample = readFileSync(samplePage, 'utf8');
  const start = sample.indexOf('>', sample.indexOf('<script type="application/json" id="vorlix-data"')) + 1;
  const unshown = join(folder, 'unshown.html');
  writeFileSync(
    unshown,
    sample.slice(0, start) + JSON.stringify(broken) + sample.slice(sample.indexOf('</script>', start)),
  );
  const page = await context.newPage();
  await page.goto(pathToFileURL(unshown).href);
  await page.evaluate(() => window.vorlixPreview.ready.catch(() => {}));
  assert.match(
    await page.textContent('#problem'),
    new RegExp(`^${data.title.replace('.', '\\.')}: the model cannot be shown: .+`),
  );
  assert.equal(await page.locator('#components tbody tr').count(), data.components.length);
  assert.equal(await page.locator('#plots svg').count(), data.components.length + 1);
  await page.evaluate(() => window.vorlixPreview.seek(10));
  assert.match(await page.textContent('#position'), /^render 11 of /);
  await page.close();
});

// The sample's page data with its model's glTF JSON changed by `change`, its binary chunk kept.
function withModelJson(change) {
  const glb = Buffer.from(data.model.main, 'base64');
  const jsonEnd = 20 + glb.readUInt32LE(12);
  const json = structuredClone(model);
  change(json);
  const text = Buffer.from(JSON.stringify(json).padEnd(Math.ceil(JSON.stringify(json).length / 4) * 4, ' '));
  const head = Buffer.alloc(20);
  head.write('glTF', 0);
  head.writeUInt32LE(2, 4);
  head.writeUInt32LE(20 + text.length + glb.length - jsonEnd, 8);
  head.writeUInt32LE(text.length, 12);
  head.write('JSON', 16);
  const changed = structuredClone(data);
  changed.model.main = Buffer.concat([head, text, glb.subarray(jsonEnd)]).toString('base64');
  return changed;
}
const nodeNamed = (name) => model.nodes.findIndex((node) => node.name === name);

test('the rider view frames the handlebar and the dash, however long the model', async () => {
  // A long load behind the rider moves the model's middle far from the handlebar.
  const long = withModelJson((json) => {
    json.nodes.push({ name: 'trailer', mesh: 1, translation: [0, 0.5, 4], scale: [3, 3, 10] });
    json.nodes[0].children.push(json.nodes.length - 1);
  });
  const riderKeys = ['vx_fbrake', 'vx_cl', 'vx_sm', 'vx_rpm', 'vx_gm', 'vx_om'];
  const nodes = data.components.filter((c) => riderKeys.includes(c.key)).map((c) => data.frames[c.frame].node);
  for (const [name, path] of [
    ['sample', samplePage],
    ['long', writePage('long', long)],
  ]) {
    const { page, noise } = await open(path);
    await page.click('#view-rider');
    const boxes = await page.evaluate((nodes) => nodes.map((node) => window.vorlixPreview.onScreen(node)), nodes);
    const min = [0, 1].map((a) => Math.min(...boxes.map((box) => box.min[a])));
    const max = [0, 1].map((a) => Math.max(...boxes.map((box) => box.max[a])));
    assert.ok(min.every((v) => v >= -1) && max.every((v) => v <= 1), `${name}: cut off, ${min} to ${max}`);
    assert.ok(max[0] - min[0] > 0.6, `${name}: the handlebar spans only ${max[0] - min[0]} of 2`);
    if (name === 'long') await page.screenshot({ path: join(folder, 'rider-long.png') });
    assert.deepEqual(noise, []);
    await page.close();
  }
});

test('slider marks are apart and each is easy to hit', async () => {
  const { page, noise } = await open(samplePage);
  const marks = await page.evaluate(() => window.vorlixPreview.marks);
  // The sample ride puts on both brakes at one render.
  assert.ok(marks.some((m, i) => marks.findIndex((n) => n.render === m.render) !== i));
  const boxes = await page
    .locator('#marks .mark')
    .evaluateAll((elements) => elements.map((element) => element.getBoundingClientRect().toJSON()));
  const overlap = (a, b) => a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
  for (const [i, box] of boxes.entries()) {
    assert.ok(box.width >= 8 && box.height >= 8, `mark ${i}: ${box.width}×${box.height} px`);
    assert.ok(!boxes.some((other, j) => j !== i && overlap(box, other)), `mark ${i} overlaps another`);
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
    assert.equal(Number(await page.inputValue('#time')), marks[i].render, `mark ${i}: ${marks[i].text}`);
  }
  assert.deepEqual(noise, []);
  await page.close();
});

test('a part picked inside a closed body is shown through it, and a part in sight is not', async () => {
  // A closed, two-sided box close about the speedometer's needle, as exporters write by default.
  const boxed = withModelJson((json) => {
    const [primitive] = json.meshes[json.nodes[nodeNamed('fuel_tank')].mesh].primitives;
    json.materials.push({ ...json.materials[primitive.material], doubleSided: true });
    json.meshes.push({ primitives: [{ ...primitive, material: json.materials.length - 1 }] });
    json.nodes.push({
      name: 'cowl',
      mesh: json.meshes.length - 1,
      translation: [0, 0, 0.01],
      scale: [0.3, 0.45, 0.05],
    });
    json.nodes[nodeNamed('speedometer')].children.push(json.nodes.length - 1);
  });
  const { page, noise } = await open(writePage('boxed', boxed));
  const row = (key) => `#components tbody tr:nth-child(${data.components.findIndex((c) => c.key === key) + 1})`;
  for (const [key, through] of [
    ['vx_sm', true],
    ['vx_fbrake', false],
  ]) {
    await page.click(row(key));
    assert.equal(await page.evaluate(() => window.vorlixPreview.xray()), through, key);
    assert.equal(await page.isChecked('#xray'), through, key);
    if (through) await page.screenshot({ path: join(folder, 'boxed-needle.png') });
  }
  assert.deepEqual(noise, []);
  await page.close();
});

test('the table says which child fills each slot, and the gear shown names its display', async () => {
  // An exporter that sorts children by name writes the neutral display after gear_6.
  const sorted = withModelJson((json) => {
    const meter = json.nodes[nodeNamed('vx_gm_display')];
    meter.children.sort((a, b) => (json.nodes[a].name < json.nodes[b].name ? -1 : 1));
  });
  const out = join(folder, 'sorted');
  mkdirSync(out, { recursive: true });
  writeFileSync(join(out, 'sorted.glb'), Buffer.from(sorted.model.main, 'base64'));
  execFileSync(setting('VORLIX_SIM'), ['preview', join(out, 'sorted.glb'), '--out', out], { stdio: 'ignore' });
  const sortedData = pageData(join(out, 'preview.html'));
  const meter = sortedData.components.findIndex((c) => c.key === 'vx_gm');
  const { page, noise } = await open(join(out, 'preview.html'));
  const slots = await page.locator(`#components tbody tr:nth-child(${meter + 1}) .slot`).allTextContents();
  assert.deepEqual(slots.slice(0, 2), ['gear 0 (neutral) → gear_1', 'gear 1 → gear_2']);
  assert.equal(slots[6], 'gear 6 → gear_n');
  // A display picked says its slot in the gear meter's row.
  const display = sortedData.frames.findIndex((frame) => frame.name === 'gear_1');
  await page.evaluate((frame) => window.vorlixPreview.choose(frame), display);
  assert.deepEqual(await page.locator('#components tr.chosen .slot.chosen').allTextContents(), [
    'gear 0 (neutral) → gear_1',
  ]);
  await page.evaluate((k) => window.vorlixPreview.seek(k), sortedData.components[meter].values.indexOf(0));
  assert.equal((await tableValues(page))[meter], 'gear 0 (neutral) → gear_1');
  await page.screenshot({ path: join(folder, 'slots.png') });
  assert.deepEqual(noise, []);
  await page.close();
});
