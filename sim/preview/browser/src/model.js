// Loads the embedded model and gives its nodes by glTF node index.
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';

function parseGlb(bytes) {
  return new Promise((resolve, reject) => {
    new GLTFLoader().parse(bytes.buffer, '', resolve, reject);
  });
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

export async function loadModel(bytes) {
  const gltf = await parseGlb(bytes);
  const { parser } = gltf;
  const nodeCount = parser.json.nodes?.length ?? 0;
  const nodes = await Promise.all(Array.from({ length: nodeCount }, (_, i) => parser.getDependency('node', i)));
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
