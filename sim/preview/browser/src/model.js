// Loads the embedded model and gives its nodes by glTF node index.
import { LoadingManager } from 'three';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';
import { base64Bytes } from './data.js';
import { addDecoders } from './decoders.js';

// The author's own files: a .glb, or glTF JSON whose buffers and images are handed their bytes by
// the uri written in it (data: URIs load as they are). Nothing is fetched. The files stay at hand
// until release(): nodes outside the scene load later, on request.
async function parseModel(files) {
  const urls = new Map(
    Object.entries(files.resources).map(([uri, bytes]) => [uri, URL.createObjectURL(new Blob([base64Bytes(bytes)]))]),
  );
  const manager = new LoadingManager();
  manager.setURLModifier((url) => urls.get(url) ?? url);
  const loader = new GLTFLoader(manager);
  const releaseDecoders = addDecoders(loader);
  const release = () => {
    urls.forEach((url) => URL.revokeObjectURL(url));
    releaseDecoders();
  };
  try {
    const gltf = await new Promise((resolve, reject) => {
      loader.parse(base64Bytes(files.main).buffer, '', resolve, reject);
    });
    return { gltf, release };
  } catch (error) {
    release();
    throw error;
  }
}

// The meshes that belong to a node itself: the node when it is a mesh, and the primitives that the
// loader hangs under it, but not the meshes of child nodes.
function ownMeshes(object, associations) {
  const meshes = [];
  const visit = (o) => {
    if (o !== object && associations.get(o)?.nodes !== undefined) return;
    if (o.isMesh) meshes.push(o);
    o.children.forEach(visit);
  };
  visit(object);
  return meshes;
}

export async function loadModel(files) {
  const { gltf, release } = await parseModel(files);
  const { parser } = gltf;
  const nodeCount = parser.json.nodes?.length ?? 0;
  let nodes;
  try {
    nodes = await Promise.all(Array.from({ length: nodeCount }, (_, i) => parser.getDependency('node', i)));
  } finally {
    release();
  }
  const meshes = nodes.map((object) => ownMeshes(object, parser.associations));
  // Hiding a three.js object hides its subtree, but a frame's render flag belongs to its own mesh
  // only: hide through the material, one of its own per mesh.
  for (const mesh of meshes.flat()) {
    mesh.material = Array.isArray(mesh.material) ? mesh.material.map((m) => m.clone()) : mesh.material.clone();
  }
  const materials = (mesh) => [mesh.material].flat();
  return {
    root: gltf.scene,
    // -1 stands for the root frame made for a scene with several root nodes.
    nodeObject: (node) => (node === -1 ? gltf.scene : nodes[node]),
    meshVisible: (node) =>
      (meshes[node]?.length ?? 0) > 0 && meshes[node].every((mesh) => materials(mesh).every((m) => m.visible)),
    setMeshVisible(node, visible) {
      for (const mesh of meshes[node] ?? []) for (const material of materials(mesh)) material.visible = visible;
    },
    nodeCount,
  };
}
