// Writes the sample motorbike compressed with Draco and with meshopt, as exporters and optimisers
// write them, for the tests: tests/models/motorbike-draco.glb and motorbike-meshopt.glb. Only the
// geometry is compressed; the nodes stay as they are.
//   mkdir /tmp/gt && npm --prefix /tmp/gt install @gltf-transform/core@4 @gltf-transform/extensions@4 \
//       @gltf-transform/functions@4 draco3dgltf meshoptimizer
//   node scripts/make-compressed-models.mjs /tmp/gt
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const packages = process.argv[2] ?? (console.error('usage: make-compressed-models.mjs PACKAGES'), process.exit(2));
const resolve = createRequire(join(packages, 'package.json')).resolve;
const load = (name) => import(pathToFileURL(resolve(name)).href);
const { NodeIO } = await load('@gltf-transform/core');
const { ALL_EXTENSIONS, EXTMeshoptCompression, KHRDracoMeshCompression } = await load('@gltf-transform/extensions');
const draco3d = (await load('draco3dgltf')).default;
const { MeshoptDecoder, MeshoptEncoder } = await load('meshoptimizer');

const tree = (name) => fileURLToPath(new URL(`../${name}`, import.meta.url));
await MeshoptEncoder.ready;
const io = new NodeIO().registerExtensions(ALL_EXTENSIONS).registerDependencies({
  'draco3d.decoder': await draco3d.createDecoderModule(),
  'draco3d.encoder': await draco3d.createEncoderModule(),
  'meshopt.decoder': MeshoptDecoder,
  'meshopt.encoder': MeshoptEncoder,
});

for (const [suffix, compress] of [
  ['draco', (document) => document.createExtension(KHRDracoMeshCompression).setRequired(true)],
  [
    'meshopt',
    (document) =>
      document
        .createExtension(EXTMeshoptCompression)
        .setRequired(true)
        .setEncoderOptions({ method: EXTMeshoptCompression.EncoderMethod.QUANTIZE }),
  ],
]) {
  const document = await io.read(tree('scenes/models/motorbike.glb'));
  compress(document);
  await io.write(tree(`tests/models/motorbike-${suffix}.glb`), document);
}
