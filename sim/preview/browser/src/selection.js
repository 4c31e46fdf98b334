// The part the author picked: outlined and lit in the view, and x-ray, which lets every other part
// be seen through, for parts inside a closed body. A click on a part picks its node.
import { Box3, Box3Helper, Color, Raycaster, Vector2 } from 'three';

const accent = new Color(0x4cc9f0);
const xrayOpacity = 0.18;

const materialsOf = (object) => {
  const materials = [];
  object.traverse((o) => {
    if (o.isMesh) materials.push(...[o.material].flat());
  });
  return materials;
};

export function createSelection(model, view) {
  const nodeOfObject = new Map(Array.from({ length: model.nodeCount }, (_, i) => [model.nodeObject(i), i]));
  // Each material as loaded: the page only ever changes it from there and back.
  const original = new Map(
    materialsOf(model.root).map((m) => [
      m,
      {
        emissive: m.emissive?.clone(),
        transparent: m.transparent,
        opacity: m.opacity,
        depthWrite: m.depthWrite,
      },
    ]),
  );

  const outline = new Box3Helper(new Box3(), accent);
  outline.visible = false;
  view.scene.add(outline);
  let selected = null; // the node's three.js object
  let xray = false;

  function paint() {
    const chosen = new Set(selected ? materialsOf(selected) : []);
    for (const [material, was] of original) {
      const through = xray && !chosen.has(material);
      material.transparent = through || was.transparent;
      material.opacity = through ? xrayOpacity : was.opacity;
      material.depthWrite = !through && was.depthWrite;
      if (was.emissive)
        material.emissive.copy(chosen.has(material) ? accent.clone().multiplyScalar(0.45) : was.emissive);
      material.needsUpdate = true;
    }
    view.requestRender();
  }

  // The outline follows the part as the ride moves it.
  view.onRender(() => {
    if (selected) outline.box.setFromObject(selected);
    outline.visible = selected !== null && !outline.box.isEmpty();
  });

  // The nodes under the pointer: the node of the first shown mesh hit, then those above it.
  const raycaster = new Raycaster();
  function nodesAt(x, y) {
    const rect = view.canvas.getBoundingClientRect();
    const pointer = new Vector2(((x - rect.left) / rect.width) * 2 - 1, -((y - rect.top) / rect.height) * 2 + 1);
    raycaster.setFromCamera(pointer, view.camera);
    const hit = raycaster
      .intersectObject(model.root, true)
      .find(({ object }) => [object.material].flat().some((m) => m.visible));
    const nodes = [];
    for (let o = hit?.object; o; o = o.parent) {
      if (nodeOfObject.has(o)) nodes.push(nodeOfObject.get(o));
    }
    return nodes;
  }

  return {
    // Selects node (-1: the scene's root, undefined: nothing), optionally framing it.
    select(node, { frame = false } = {}) {
      selected = node === undefined ? null : (model.nodeObject(node) ?? null);
      paint();
      if (frame && selected) view.frame(selected);
    },
    get selectedNode() {
      return selected ? (nodeOfObject.get(selected) ?? -1) : undefined;
    },
    get xray() {
      return xray;
    },
    set xray(on) {
      xray = on;
      paint();
    },
    // Calls pick(nodes), the node clicked and those above it, for a click that did not drag the
    // camera.
    onPick(pick) {
      let down = null;
      view.canvas.addEventListener('pointerdown', (event) => {
        down = [event.clientX, event.clientY];
      });
      view.canvas.addEventListener('pointerup', (event) => {
        if (!down || Math.hypot(event.clientX - down[0], event.clientY - down[1]) > 4) return;
        const nodes = nodesAt(event.clientX, event.clientY);
        if (nodes.length > 0) pick(nodes);
      });
    },
  };
}
